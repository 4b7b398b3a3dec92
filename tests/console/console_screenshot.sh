#!/usr/bin/env bash
# Takes screenshots of the console: a prefix of its own with the default
# display driver, a desktop with plain and protected links (console_fixture),
# then lkmain.exe in a Wine virtual desktop under Xvfb.
#   tests/console/console_screenshot.sh BUILD_TREE [OUT_DIR]
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "console_screenshot.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
tree=$(cd "$1" && pwd)
out=${2:-$tree/screenshots}
env_sh="$(dirname "$0")/../../scripts/wine-env.sh"
. "$env_sh"
. "$env_sh" "$(lk_exe_arch "$tree/console/lkmain.exe")"
export WINEPREFIX="$tree/screenshot-wine" WINEDEBUG=-all
if [ "${LK_SCREENSHOT_INNER:-}" = 1 ]; then
  cd "$tree"
  "$LK_WINE" explorer /desktop=lockmere,900x600 console/lkmain.exe >/dev/null 2>&1 &
  sleep 1.5; import -window root -crop 900x600+0+0 "$out/splash.png"
  sleep 8; import -window root -crop 900x600+0+0 "$out/main-window.png"
  "$LK_WINESERVER" -k || true
  exit 0
fi
mkdir -p "$out"
"$(dirname "$0")/../../scripts/wine-prefix.sh" "$WINEPREFIX" "$WINEARCH" --display x11
"$LK_WINE" "$tree/tests/console/console_fixture.exe" >/dev/null
LK_SCREENSHOT_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$tree" "$out"
echo "screenshots in $out"
