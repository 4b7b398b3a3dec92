#!/usr/bin/env bash
# Pictures of the Configuration and Log View pages (PNG), drawn by Wine's
# X11 driver on a virtual display, in a prefix of their own.
#   tests/console/pages_screenshot.sh BUILD_TREE [OUT_DIR]
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "pages_screenshot.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
tree=$(cd "$1" && pwd)
out=$(realpath -m "${2:-$tree/screenshots}")
env_sh="$(dirname "$0")/../../scripts/wine-env.sh"
. "$env_sh"
. "$env_sh" "$(lk_exe_arch "$tree/tests/console/console_pages_shots.exe")"
export WINEPREFIX="$tree/screenshot-wine" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
mkdir -p "$out"
# The one prefix recipe, for the X display (a prefix booted without one
# cannot create the program's windows under the virtual display).
"$(dirname "$0")/../../scripts/wine-prefix.sh" "$WINEPREFIX" "$WINEARCH" --display x11
winout=$("$LK_WINE" winepath -w "$out" 2>/dev/null | tr -d '\r')
xvfb-run -a -s "-screen 0 1024x768x24" "$LK_WINE" "$tree/tests/console/console_pages_shots.exe" "$winout"
"$LK_WINESERVER" -k || true
for b in "$out"/config*.bmp "$out"/logview*.bmp; do
  convert "$b" "${b%.bmp}.png" && rm -f "$b"
done
ls "$out"/config*.png "$out"/logview*.png
