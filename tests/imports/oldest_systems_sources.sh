#!/bin/bash
# Menu items go to Windows 95 and NT 4.0 only in the form they know:
# MIIM_TYPE. They refuse an item that names MIIM_STRING, MIIM_FTYPE or
# MIIM_BITMAP (Windows 98 and 2000 on). So the programs' sources name
# MIIM_STRING and MIIM_FTYPE in one place only: forms/win/menus.cpp, inside
# the branch that the version decision takes for the newer systems
# (`if (... == TMenuItemForm::TypeAndText) {` up to its closing brace).
# MIIM_BITMAP and hbmpItem (whose field the structure size in
# base/win/structsizes.h leaves out) are named nowhere. The tests may name
# them all, to read items back.
# Usage: oldest_systems_sources.sh SOURCE_ROOT
root=$1
if [ -z "$root" ] || [ ! -d "$root/forms" ]; then
  echo "usage: $0 SOURCE_ROOT (the folder that holds forms/, controls/, console/, gate/ ...)" >&2
  exit 2
fi
dirs=("$root/base" "$root/forms" "$root/controls" "$root/console" "$root/gate" "$root/shared")
place=forms/win/menus.cpp
status=0

# Nowhere: MIIM_BITMAP, hbmpItem (structsizes.h says why it leaves the field out).
hits=$(grep -rnE --include='*.cpp' --include='*.h' '\bMIIM_BITMAP\b|\bhbmpItem\b' "${dirs[@]}" 2>&1 |
  grep -v '^[^:]*structsizes\.h:')
if [ -n "$hits" ]; then
  echo "FAIL: MIIM_BITMAP or hbmpItem in the programs' sources: Windows 95 and NT 4.0 refuse the flag, and the" >&2
  echo "      structure size every system takes (kMenuItemInfoSize) ends before hbmpItem:" >&2
  printf '%s\n' "$hits" >&2
  status=1
fi

# Outside the one place.
hits=$(grep -rnE --include='*.cpp' --include='*.h' '\bMIIM_(STRING|FTYPE)\b' "${dirs[@]}" 2>&1 |
  grep -v "^$root/$place:")
if [ -n "$hits" ]; then
  echo "FAIL: MIIM_STRING or MIIM_FTYPE outside $place, where nothing asks the version decision" >&2
  echo "      (MenuItemForm); Windows 95 and NT 4.0 refuse them (use MIIM_TYPE there):" >&2
  printf '%s\n' "$hits" >&2
  status=1
fi

# In the one place: only inside the branch of the newer form.
if [ ! -f "$root/$place" ]; then
  echo "FAIL: $place is missing: the check cannot tell where the newer menu flags stand" >&2
  exit 1
fi
# Line by line, with the braces counted from the branch's opening line; where
# the branch closes within a line ("} else {"), the rest of it is outside.
read -r inside outside < <(awk '
  function flags(text) { return text ~ /(^|[^A-Za-z0-9_])MIIM_(STRING|FTYPE)([^A-Za-z0-9_]|$)/ }
  BEGIN { branch = 0; inside = 0; outside = "" }
  {
    line = $0
    sub(/\/\/.*/, "", line)  # a comment hands no flag to the system
    head = ""
    if (!branch && line ~ /==[ \t]*TMenuItemForm::TypeAndText\)[ \t]*\{/) { branch = 1; depth = 0 }
    if (branch) {
      for (k = 1; k <= length(line); k++) {
        c = substr(line, k, 1)
        if (c == "{") depth++
        if (c == "}" && --depth == 0) break
      }
      head = substr(line, 1, k)
      line = substr(line, k + 1)
      if (depth == 0) branch = 0
      if (flags(head)) inside++
    }
    if (flags(line)) outside = outside (outside == "" ? "" : ",") NR
  }
  END { print inside, (outside == "" ? "-" : outside) }' "$root/$place")
if [ "$outside" != "-" ]; then
  echo "FAIL: MIIM_STRING or MIIM_FTYPE in $place outside the branch taken for TMenuItemForm::TypeAndText" >&2
  echo "      (lines $outside): Windows 95 and NT 4.0 would get them; keep MIIM_TYPE for TypeOnly" >&2
  status=1
fi
if [ "$inside" -eq 0 ] && [ "$status" -eq 0 ]; then
  echo "FAIL: no MIIM_STRING or MIIM_FTYPE inside the TMenuItemForm::TypeAndText branch of $place:" >&2
  echo "      the branch moved or was renamed, so this check would see nothing; bring it up to date" >&2
  status=1
fi
[ "$status" -eq 0 ] || exit "$status"
echo "MIIM_STRING and MIIM_FTYPE only in the TypeAndText branch of $place ($inside lines); no MIIM_BITMAP or hbmpItem"
