#!/usr/bin/env bash
# Runs a Windows program under a virtual X display with Wine's default (X11)
# driver, in a prefix of its own (not the tests' null-driver prefix), and
# saves a screenshot of the whole screen as PNG.
# Usage: screenshot.sh PROGRAM.exe OUT.png [SECONDS_BEFORE_SHOT] [ARGS...]
# The prefix is $LK_SHOT_PREFIX (default: build/shot-wine of the source tree,
# with "64" added for a 64-bit program: a program of the mingw64 tree), made
# by the one prefix recipe (scripts/wine-prefix.sh) for the X display.
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "screenshot.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
program=${1:?usage: screenshot.sh PROGRAM.exe OUT.png [SECONDS] [ARGS...]}
out=${2:?usage: screenshot.sh PROGRAM.exe OUT.png [SECONDS] [ARGS...]}
delay=${3:-4}
shift $(( $# >= 3 ? 3 : $# ))
program=$(realpath "$program")
out=$(realpath -m "$out")
. "$(dirname "$0")/wine-env.sh"
arch=$(lk_exe_arch "$program")
. "$(dirname "$0")/wine-env.sh" "$arch"
suffix=""
[ "$arch" = win64 ] && suffix=64
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${LK_SHOT_PREFIX:-$root/build/shot-wine$suffix}
"$root/scripts/wine-prefix.sh" "$prefix" "$arch" --display x11
export WINEPREFIX=$(realpath "$prefix") WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"

# Inside the virtual display: start the program, wait, take the shot, end it.
inner=$(cat <<'INNER'
set -u
"$LK_WINE" "$LK_PROGRAM" "$@" >/dev/null 2>&1 &
pid=$!
sleep "$LK_DELAY"
import -window root "$LK_OUT"
kill "$pid" 2>/dev/null || true
"$LK_WINESERVER" -k 2>/dev/null || true
INNER
)
LK_PROGRAM=$program LK_DELAY=$delay LK_OUT=$out LK_WINE=$LK_WINE LK_WINESERVER=$LK_WINESERVER \
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$inner" inner "$@"
[ -s "$out" ] || { echo "screenshot.sh: no picture was taken" >&2; exit 1; }
echo "$out"
