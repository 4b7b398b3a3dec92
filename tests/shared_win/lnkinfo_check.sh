#!/bin/sh
# Writes a link with the shared services under Wine and checks that lnkinfo
# (liblnk) reads the same target, arguments, description and working folder.
# Usage: lnkinfo_check.sh WINE_RUN SVC_PROBE WORK_DIR
set -eu
wine_run=$1 probe=$2 work=$3
mkdir -p "$work/lnkinfo"
link_unix="$work/lnkinfo/check.lnk"
rm -f "$link_unix"
link_win="Z:$(printf '%s' "$link_unix" | tr / '\\')"
out=$("$wine_run" "$probe" writelink "$link_win" | tr -d '\r')
field() { printf '%s\n' "$out" | sed -n "s/^$1=//p"; }
[ -f "$link_unix" ] || { echo "no link written"; printf '%s\n' "$out"; exit 1; }
info=$(lnkinfo "$link_unix")
printf '%s\n' "$info"
fail=0
check() {  # label expected
  got=$(printf '%s\n' "$info" | sed -n "s/^[[:space:]]*$1[[:space:]]*: //p" | head -n 1)
  if [ "$got" != "$2" ]; then echo "MISMATCH $1: lnkinfo '$got', written '$2'"; fail=1; else echo "ok $1: $got"; fi
}
check "Local path" "$(field target)"
check "Command line arguments" "$(field arguments)"
check "Description" "$(field description)"
check "Working directory" "$(field working)"
exit $fail
