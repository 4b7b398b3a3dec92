#!/usr/bin/env bash
# Pictures of the main road under each Windows version the prefix shows the
# programs (Wine's own, Windows 98, NT 4.0): the road's version cases run on
# a virtual X display with Wine's X11 driver, in a prefix of their own, and
# save the screen at four steps (User Settings with the common entry saved,
# the console with the protected link, the gate asking, the Log View with
# the run). Run by hand:
#   tests/road/road_screenshot.sh BUILD_TREE [OUT_DIR] [CASE...]
# CASE: WineDefault, Win98, NT40 (default: all three).
# Pictures: OUT_DIR/<case>-1-usersettings.png, -2-protected.png, -3-gate.png,
# -4-logview.png.
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "road_screenshot.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
usage="usage: road_screenshot.sh BUILD_TREE [OUT_DIR] [CASE...]"
tree=$(cd "${1:?$usage}" && pwd)
out=$(realpath -m "${2:-$tree/screenshots}")
shift $(( $# >= 2 ? 2 : 1 ))
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(WineDefault Win98 NT40)
program="$tree/tests/road/road_test.exe"
[ -f "$program" ] || { echo "road_screenshot.sh: $program is not built" >&2; exit 1; }
env_sh="$(dirname "$0")/../../scripts/wine-env.sh"
. "$env_sh"
. "$env_sh" "$(lk_exe_arch "$program")"
export WINEPREFIX="$tree/road-shot-wine" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
mkdir -p "$out"
"$(dirname "$0")/../../scripts/wine-prefix.sh" "$WINEPREFIX" "$WINEARCH" --display x11 ||
  { echo "road_screenshot.sh: the prefix could not be made" >&2; exit 1; }
winout=$("$LK_WINE" winepath -w "$out" 2>/dev/null | tr -d '\r')
[ -n "$winout" ] || { echo "road_screenshot.sh: winepath gave no Windows name for $out" >&2; exit 1; }
filter=""
for c in "${cases[@]}"; do filter="$filter:Versions/RoadOnVersion.*/$c"; done
for c in "${cases[@]}"; do rm -f "$out/$c"-*.bmp "$out/$c"-*.png; done
rc=0
LK_ROAD_SHOTS=$winout xvfb-run -a -s "-screen 0 1024x768x24" \
  "$LK_WINE" "$program" --gtest_filter="${filter#:}" || rc=$?
"$LK_WINESERVER" -k || true
shopt -s nullglob
shots=("$out"/*-[1-4]-*.bmp)
[ ${#shots[@]} -gt 0 ] || { echo "road_screenshot.sh: no picture was taken (the cases ended with $rc)" >&2; exit 1; }
for b in "${shots[@]}"; do
  convert "$b" "${b%.bmp}.png" && rm -f "$b"
done
ls "$out"/*-[1-4]-*.png
[ "$rc" = 0 ] || { echo "road_screenshot.sh: the road's cases ended with $rc (see their output above)" >&2; exit 1; }
