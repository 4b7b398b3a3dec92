#!/usr/bin/env bash
# The menu painter on a real display: menu_shot.exe opens a popup menu of
# the console's main window (MENU: popupmenu1, the Desktop page's;
# popupmenu1row, the same for a selected row; or popupmenu3, the message
# editor's with its sub-menu open) in a Wine virtual
# desktop under Xvfb (a prefix of its own with the default display driver),
# reads the painter's colours off the screen, and this script takes the
# picture while the menu is open.
#   tests/menus/menu_screenshot.sh MENU_SHOT_EXE OUT_DIR [MENU]
# Exit 0 when every probe matched; the picture is OUT_DIR/MENU.png and the
# probes OUT_DIR/MENU-probes.txt.
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "menu_screenshot.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
exe=$(realpath "$1")
out=$(realpath -m "$2")
menu=${3:-popupmenu1}
here=$(cd "$(dirname "$0")" && pwd)
env_sh="$here/../../scripts/wine-env.sh"
. "$env_sh"
. "$env_sh" "$(lk_exe_arch "$exe")"
export WINEPREFIX="$out/wine" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
if [ "${LK_SHOT_INNER:-}" = 1 ]; then
  talk="$WINEPREFIX/drive_c/lkmenushot"
  rm -rf "$talk"
  "$LK_WINE" explorer /desktop=lkmenu,800x600 "$exe" 'C:\lkmenushot' "$menu" >/dev/null 2>&1 &
  for _ in $(seq 1 600); do [ -e "$talk/ready" ] || [ -e "$talk/probes.txt" ] && break; sleep 0.1; done
  [ -e "$talk/ready" ] && import -window root -crop 800x600+0+0 "$out/$menu.png"
  mkdir -p "$talk"; touch "$talk/shot-done"
  for _ in $(seq 1 200); do [ -e "$talk/closed" ] && break; sleep 0.1; done
  cp "$talk/probes.txt" "$out/$menu-probes.txt" 2>/dev/null || echo "no probes" > "$out/$menu-probes.txt"
  "$LK_WINESERVER" -k || true
  exit 0
fi
mkdir -p "$out"
# The one prefix recipe: shell folders inside the prefix, Wine's fonts, no
# crash dialog.
"$here/../../scripts/wine-prefix.sh" "$WINEPREFIX" "$WINEARCH" --display x11 ||
  { echo "menu_screenshot.sh: the prefix could not be made" >&2; exit 1; }
LK_SHOT_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$exe" "$out" "$menu"
cat "$out/$menu-probes.txt"
tail -n 1 "$out/$menu-probes.txt" | grep -qx PASS || { echo "menu_screenshot.sh: the probes above did not all match"; exit 1; }
