#!/bin/bash
# Menu items go to the system only in the form Windows 95 and NT 4.0 know:
# MIIM_TYPE. They refuse an item that names MIIM_STRING, MIIM_FTYPE or
# MIIM_BITMAP (Windows 98 and 2000 on), so the programs' sources name none
# of them (the tests may, to read items back).
# Usage: oldest_systems_sources.sh SOURCE_ROOT
root=$1
if [ -z "$root" ] || [ ! -d "$root/forms" ]; then
  echo "usage: $0 SOURCE_ROOT (the folder that holds forms/, controls/, console/, gate/ ...)" >&2
  exit 2
fi
hits=$(grep -rnE --include='*.cpp' --include='*.h' '\bMIIM_(STRING|FTYPE|BITMAP)\b|\bhbmpItem\b' \
  "$root/base" "$root/forms" "$root/controls" "$root/console" "$root/gate" "$root/shared" 2>&1 |
  grep -v '^[^:]*structsizes\.h:')
if [ -n "$hits" ]; then
  echo "FAIL: menu item flags that Windows 95 and NT 4.0 refuse (use MIIM_TYPE with MFT_STRING, MFT_SEPARATOR or MFT_OWNERDRAW):" >&2
  printf '%s\n' "$hits" >&2
  exit 1
fi
echo "no MIIM_STRING, MIIM_FTYPE, MIIM_BITMAP or hbmpItem in the programs' sources"
