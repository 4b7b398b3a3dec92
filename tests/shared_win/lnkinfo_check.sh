#!/bin/sh
# Writes links with the shared services under Wine and checks that lnkinfo
# (liblnk) reads the same target, arguments, description and working folder:
# one with ordinary fields, one with 1000 characters of arguments.
# Usage: lnkinfo_check.sh WINE_RUN SVC_PROBE WORK_DIR
set -eu
wine_run=$1 probe=$2 work=$3
mkdir -p "$work/lnkinfo"
fail=0
check_link() {  # name [argument length]
  link_unix="$work/lnkinfo/$1.lnk"
  rm -f "$link_unix"
  link_win="Z:$(printf '%s' "$link_unix" | tr / '\\')"
  out=$("$wine_run" "$probe" writelink "$link_win" ${2:-} | tr -d '\r') || true
  if [ ! -f "$link_unix" ]; then printf 'no link written\n%s\n' "$out"; fail=1; return; fi
  if ! info=$(lnkinfo "$link_unix" 2>&1); then printf 'lnkinfo could not read %s:\n%s\n' "$1" "$info"; fail=1; return; fi
  for pair in "Local path=target" "Command line arguments=arguments" "Description=description" \
              "Working directory=working"; do
    label=${pair%%=*} key=${pair#*=}
    want=$(printf '%s\n' "$out" | sed -n "s/^$key=//p")
    got=$(printf '%s\n' "$info" | sed -n "s/^[[:space:]]*$label[[:space:]]*: //p" | head -n 1)
    if [ "$got" != "$want" ]; then
      printf 'MISMATCH %s %s: lnkinfo "%s", written "%s"\n' "$1" "$label" "$got" "$want"
      fail=1
    else
      printf 'ok %s %s: %.60s (%d characters)\n' "$1" "$label" "$got" "${#got}"
    fi
  done
}
check_link fields
check_link long 1000
exit $fail
