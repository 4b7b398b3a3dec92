#!/bin/bash
# The programs still load on Windows 95 and NT 4.0: no import table names an
# entry point that one of them lacks and that our code takes at run time
# instead (base/win/lazy_dll.h). An import the loader cannot resolve stops
# the program before its first line, so this is checked on the built files.
# Usage: oldest_systems_check.sh OBJDUMP PROGRAM...
objdump=$1
shift
if [ -z "$objdump" ] || [ $# -eq 0 ]; then
  echo "usage: $0 OBJDUMP PROGRAM..." >&2
  exit 2
fi

# Entry point, then the systems that lack it.
looked_up=(
  "GetGlyphIndicesA:Windows 95, 98, Me and NT 4.0 (came with Windows 2000)"
  "TrackMouseEvent:Windows 95"
  "SetSystemPowerState:NT 4.0 (came to the NT line with Windows 2000)"
)

failed=0
for program in "$@"; do
  if [ ! -f "$program" ]; then
    echo "FAIL: $program was not built" >&2
    failed=1
    continue
  fi
  if ! table=$("$objdump" -p "$program" 2>&1); then
    echo "FAIL: $objdump -p $program: $table" >&2
    failed=1
    continue
  fi
  # The names in the import tables: the last field of each "vma hint name" line.
  names=$(printf '%s\n' "$table" | sed -n '/^The Import Tables/,/^The Export Tables\|^PE File Base Relocations/p' |
    awk '/^\t[0-9a-f]+\t/{print $NF}')
  if [ -z "$names" ]; then
    echo "FAIL: no import table read from $program ($objdump -p gave no names)" >&2
    failed=1
    continue
  fi
  found=0
  for entry in "${looked_up[@]}"; do
    name=${entry%%:*}
    if printf '%s\n' "$names" | grep -qx "$name"; then
      echo "FAIL: $(basename "$program") imports $name (missing on ${entry#*:}), so it does not load there: take it through base/win/lazy_dll.h" >&2
      found=1
    fi
  done
  [ $found -eq 0 ] &&
    echo "$(basename "$program"): $(printf '%s\n' "$names" | wc -l) imports, none of the ${#looked_up[@]} entry points taken at run time"
  [ $found -eq 0 ] || failed=1
done
exit $failed
