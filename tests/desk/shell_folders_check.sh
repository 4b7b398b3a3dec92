#!/usr/bin/env bash
# Writes a file into every shell folder of the test prefix (through a Windows
# program) and checks that each one landed inside the prefix and none in the
# home folder.
#   shell_folders_check.sh WINE_RUN PROBE_EXE PREFIX
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "shell_folders_check.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
wine_run=${1:?}; probe=${2:?}; prefix=${3:?}
tag="lk-home-probe-$$-$RANDOM"
rc=0
written=$("$wine_run" "$probe" "$tag" | tr -d '\r') || rc=$?
[ "$rc" -eq 0 ] || { echo "the probe failed (status $rc) after writing:"; echo "$written"; exit 1; }
count=$(grep -c . <<<"$written" || true)
[ "$count" -ge 8 ] || { echo "the probe wrote $count file(s):"; echo "$written"; exit 1; }
inside=$(find "$prefix/drive_c" -name "$tag*" | wc -l)
outside=$(find "$HOME" -maxdepth 3 -name "$tag*" 2>/dev/null || true)
find "$prefix/drive_c" -name "$tag*" -delete
echo "$written"
if [ -n "$outside" ]; then
  echo "in the home folder:"; echo "$outside"; exit 1
fi
[ "$inside" -eq "$count" ] || { echo "only $inside of $count files are inside the prefix"; exit 1; }
echo "all $count files inside $prefix"
