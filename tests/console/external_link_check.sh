#!/usr/bin/env bash
# Protects links through the console (the e2e program's export case), then
# reads them with the outside checkers: lnkinfo must parse each link and show
# the gate as its target, and `lkdev token unwrap` must give back the original
# target, arguments and mode.
#   external_link_check.sh WINE_RUN E2E_EXE LKDEV_EXE PREFIX
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "external_link_check.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
wine_run=$1 e2e=$2 lkdev=$3 prefix=$4
if ! made=$("$wine_run" "$e2e" --gtest_filter=Console.ExportProtectedLinks 2>&1); then
  echo "external_link_check.sh: the console's export case failed:"; echo "$made"; exit 1
fi
export_dir="$prefix/drive_c/lkfixture/export"
status=0
links=("$export_dir"/*.lnk)
[ -e "${links[0]}" ] || { echo "external_link_check.sh: the export case wrote no link into $export_dir"; exit 1; }
for link in "${links[@]}"; do
  name=$(basename "$link" .lnk)
  info=$(lnkinfo "$link") || { echo "$name: lnkinfo failed"; status=1; continue; }
  if ! grep -qi 'passbox.exe' <<<"$info"; then echo "$name: lnkinfo shows no gate target"; status=1; fi
  token=$(cat "$export_dir/$name.token")
  if ! grep -qF "$token" <<<"$info"; then echo "$name: lnkinfo shows other arguments"; status=1; fi
  if ! decoded=$("$wine_run" "$lkdev" token unwrap "$token" 2>&1 | tr -d '\r'); then
    echo "$name: lkdev token unwrap failed: $decoded"; status=1; continue
  fi
  expected=$(cat "$export_dir/$name.expect")
  if [ "$decoded" != "$expected" ]; then
    echo "$name: decoded"; echo "$decoded"; echo "expected"; echo "$expected"; status=1
  fi
  echo "$name: checked"
done
exit $status
