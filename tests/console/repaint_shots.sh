#!/usr/bin/env bash
# Pictures of the console's window right after the commands that change it
# (view buttons, a change of user, a browsed folder, the Configuration page,
# the About box closed),
# drawn by Wine's X11 driver on a virtual display, in a prefix of its own.
#   tests/console/repaint_shots.sh BUILD_TREE [OUT_DIR]
set -euo pipefail
tree=$(cd "${1:?usage: repaint_shots.sh BUILD_TREE [OUT_DIR]}" && pwd)
out=$(realpath -m "${2:-$tree/screenshots}")
program="$tree/tests/console/console_repaint_shots.exe"
[ -f "$program" ] || { echo "repaint_shots.sh: $program is not built" >&2; exit 1; }
env_sh="$(dirname "$0")/../../scripts/wine-env.sh"
. "$env_sh"
. "$env_sh" "$(lk_exe_arch "$program")"
export WINEPREFIX="$tree/repaint-shot-wine" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
mkdir -p "$out"
"$(dirname "$0")/../../scripts/wine-prefix.sh" "$WINEPREFIX" "$WINEARCH" --display x11 ||
  { echo "repaint_shots.sh: the prefix could not be made" >&2; exit 1; }
winout=$("$LK_WINE" winepath -w "$out" 2>/dev/null | tr -d '\r')
rc=0
xvfb-run -a -s "-screen 0 1024x768x24" "$LK_WINE" "$program" "$winout" || rc=$?
"$LK_WINESERVER" -k || true
xvfb-run -a -s "-screen 0 1024x768x24" "$LK_WINE" "$program" "$winout" about || rc=$?
"$LK_WINESERVER" -k || true
for b in "$out"/desk-*.bmp "$out"/config*.bmp "$out"/about-*.bmp; do
  convert "$b" "${b%.bmp}.png" && rm -f "$b"
done
ls "$out"/desk-*.png "$out"/config*.png "$out"/about-*.png
[ "$rc" = 0 ] || { echo "repaint_shots.sh: the shot program ended with $rc" >&2; exit 1; }
