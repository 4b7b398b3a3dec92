#!/bin/bash
# The programs load on Windows 95 and NT 4.0: every name in their import
# tables is one that both systems' DLLs export. The loader refuses a program
# whose import it cannot resolve, before the program's first line, and Wine
# exports every name whatever Windows it plays, so this is read from the
# built files: each imported name is looked up in oldest_systems.table.
# Fails on a name the table does not know, a name Windows 95 or NT 4.0
# lacks, an import by ordinal only, a program that is not 32-bit, and a
# subsystem version newer than 4.0 (both systems refuse such an image).
# Usage: oldest_systems_check.sh [--table FILE] OBJDUMP PROGRAM...
here=$(cd "$(dirname "$0")" && pwd)
table=$here/oldest_systems.table
if [ "${1:-}" = --table ]; then
  table=${2:-}
  shift 2
fi
objdump=${1:-}
[ $# -gt 0 ] && shift
if [ -z "$objdump" ] || [ $# -eq 0 ]; then
  echo "usage: $0 [--table FILE] OBJDUMP PROGRAM..." >&2
  exit 2
fi
if [ ! -r "$table" ]; then
  echo "FAIL: the table $table cannot be read" >&2
  exit 2
fi
if ! command -v "$objdump" >/dev/null; then
  echo "FAIL: $objdump, which reads the import tables, is not installed (scripts/install-deps.sh installs it)" >&2
  exit 2
fi

# Reads the table (first file), then one program's `objdump -p` (second),
# and prints the verdict on that program. Exit 1: the program does not load
# on one of the two systems; 2: the table itself is malformed.
read -r -d '' check <<'AWK'
function table_error(why) {
  printf "FAIL: %s line %d: %s: %s\n", tableshown, FNR, why, $0
  table_bad = 1
}
function fail(why) {
  printf "FAIL: %s %s\n", program, why
  failures++
}
function dll_key(dll) {
  dll = toupper(dll)
  sub(/\.DLL$/, "", dll)
  return dll
}
function since(version) { return version == "none" ? "none" : "from " version }
function join(list, n,    s, i) {
  s = ""
  for (i = 1; i <= n; i++) s = s (i > 1 ? ", " : "") list[i]
  return s
}
BEGIN {
  n = split("95 98 Me none", v); for (i = 1; i <= n; i++) line9x[v[i]] = 1
  n = split("3.1 3.5 3.51 4.0 2000 XP 2003 Vista 7 8 8.1 10 none", v); for (i = 1; i <= n; i++) lineNT[v[i]] = 1
  n = split("3.1 3.5 3.51 4.0", v); for (i = 1; i <= n; i++) loadsNT[v[i]] = 1
  n = split("yes part stub -", v); for (i = 1; i <= n; i++) on9x[v[i]] = 1
}

FILENAME == tablename {
  if ($0 ~ /^[ \t]*(#|$)/) next
  if (NF < 5) { table_error("five columns wanted (dll name 9x nt on9x [note])"); next }
  if (!($3 in line9x)) { table_error("9x column \"" $3 "\" is none of 95, 98, Me, none"); next }
  if (!($4 in lineNT)) { table_error("NT column \"" $4 "\" is no NT version (3.1 ... 10) nor none"); next }
  if (!($5 in on9x)) { table_error("on9x column \"" $5 "\" is none of yes, part, stub, -"); next }
  if (($3 == "none") != ($5 == "-")) { table_error("on9x is \"-\" exactly when the 9x column is none"); next }
  note = $0
  sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+[^ \t]+[ \t]+[^ \t]+[ \t]+[^ \t]+[ \t]*/, "", note)
  if ($5 == "part" && note == "") { table_error("a \"part\" line names its limit in the note"); next }
  key = dll_key($1) SUBSEP $2
  if (key in first9x) { table_error($1 " " $2 " is listed twice"); next }
  first9x[key] = $3; firstNT[key] = $4; does9x[key] = $5; notes[key] = note
  next
}

/ file format / { format = $NF }
/^MajorSubsystemVersion/ { submajor = $2 }
/^MinorSubsystemVersion/ { subminor = $2 }
/^The Import Tables/ { inside = 1; next }
# Any heading at the start of a line ends the import tables.
inside && /^[^ \t]/ { inside = 0 }
inside && /^\tDLL Name:/ { dll = $3; next }
# "<tab>vma<tab> hint  name": a name of "<none>" is an import by ordinal.
inside && /^\t[0-9a-fA-F]+\t/ {
  count++
  importdll[count] = dll
  importname[count] = $3
  importhint[count] = $2
  next
}

END {
  if (table_bad) exit 2
  if (format != "pei-i386") {
    fail("is not a 32-bit Windows program (objdump reads \"" format "\"): the shipped programs are the i686 ones")
    exit 1
  }
  if (submajor == "" || submajor + 0 > 4 || (submajor + 0 == 4 && subminor + 0 > 0)) {
    printf "FAIL: %s has subsystem version %s.%s: Windows 95 and NT 4.0 load 4.0 at most (link with --subsystem windows:4.0)\n", program, submajor, subminor
    header_bad = 1
  }
  if (count == 0) {
    fail("has no import table that objdump -p shows")
    exit 1
  }
  for (i = 1; i <= count; i++) {
    d = importdll[i]; name = importname[i]; key = dll_key(d) SUBSEP name
    if (!(d in names)) { dlls[++ndlls] = d; names[d] = 0 }
    names[d]++
    if (name == "<none>") {
      fail("imports ordinal " importhint[i] " of " d " by number only: numbers differ between systems, import it by name")
      continue
    }
    if (!(key in first9x)) {
      fail("imports " name " from " d ", which " tableshown " does not know: look up the oldest Windows 95 and NT systems that export it and add its line")
      continue
    }
    lacks95 = first9x[key] != "95"
    lacksNT = !(firstNT[key] in loadsNT)
    if (lacks95 || lacksNT) {
      which = lacks95 && lacksNT ? "Windows 95 and NT 4.0 lack" : lacks95 ? "Windows 95 lacks" : "NT 4.0 lacks"
      fail("imports " name " from " d ", which " which " (9x line: " since(first9x[key]) "; NT line: " since(firstNT[key]) ")" \
           (notes[key] != "" ? "; " notes[key] : ""))
      continue
    }
    if (does9x[key] == "stub") stubs[++nstubs] = name
    if (does9x[key] == "part") limited[++nlimited] = name
  }
  if (failures) printf "FAIL: %s: %d of its %d imported names %s it from loading on Windows 95 or NT 4.0 (take a newer call at run time through base/win/lazy_dll.h, or drop what brings it)\n", program, failures, count, failures == 1 ? "keeps" : "keep"
  if (failures || header_bad) exit 1
  printf "%s imports %d names:\n", program, count
  for (i = 1; i <= ndlls; i++) printf "  %-14s %4d\n", dlls[i], names[dlls[i]]
  printf "%s: every one of the %d is exported by Windows 95 and NT 4.0", program, count
  if (nstubs) printf "; 9x exports %d of them only as stubs (%s)", nstubs, join(stubs, nstubs)
  else printf "; 9x exports none of them as a stub"
  if (nlimited) printf ", and carries out %d with a limit (%s)", nlimited, join(limited, nlimited)
  printf "\n"
}
AWK

status=0
for program in "$@"; do
  name=$(basename "$program")
  if [ ! -f "$program" ]; then
    echo "FAIL: $program was not built (the shipped programs come from the i686 tree: scripts/build.sh mingw)"
    status=1
    continue
  fi
  if ! dump=$("$objdump" -p "$program" 2>&1); then
    echo "FAIL: $objdump -p $program failed: $dump"
    status=1
    continue
  fi
  printf '%s\n' "$dump" | awk -v tablename="$table" -v tableshown="$(basename "$table")" -v program="$name" "$check" "$table" -
  rc=$?
  [ $rc -eq 2 ] && exit 2
  [ $rc -ne 0 ] && status=1
done
exit $status
