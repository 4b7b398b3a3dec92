#!/usr/bin/env bash
# Pictures of the console's pictures as a person sees them: each page's tool
# bar with the side bar, the link menu opened on a link of the Desktop page,
# the About box and the program password prompt. console_fixture.exe puts
# plain and protected links on the desktop of a prefix of its own (the X11
# display driver), then console_pictures_shot.exe shows each stage in a Wine
# virtual desktop under Xvfb and this script takes the pictures.
#   tests/console/pictures_screenshot.sh BUILD_TREE [OUT_DIR]
# Writes OUT_DIR/pictures-N-STAGE.png; fails, saying which, when a stage
# never showed.
set -euo pipefail
tree=$(cd "$1" && pwd)
out=$(realpath -m "${2:-$tree/screenshots/pictures}")
here=$(cd "$(dirname "$0")" && pwd)
env_sh="$here/../../scripts/wine-env.sh"
. "$env_sh"
. "$env_sh" "$(lk_exe_arch "$tree/tests/console/console_pictures_shot.exe")"
export WINEPREFIX="$tree/pictures-wine" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
stages=8
if [ "${LK_SHOT_INNER:-}" = 1 ]; then
  talk="$WINEPREFIX/drive_c/lkpictures"
  rm -rf "$talk"
  "$LK_WINE" explorer /desktop=lkpictures,900x600 "$tree/tests/console/console_pictures_shot.exe" 'C:\lkpictures' \
    >/dev/null 2>&1 &
  for n in $(seq 0 $((stages - 1))); do
    shown=""
    for _ in $(seq 1 400); do
      shown=$(ls "$talk" 2>/dev/null | grep "^stage-$n-" || true)
      [ -n "$shown" ] && break
      sleep 0.1
    done
    if [ -z "$shown" ]; then
      echo "pictures_screenshot.sh: stage $n never showed" >&2
      "$LK_WINESERVER" -k || true
      exit 1
    fi
    import -window root -crop 900x600+0+0 "$out/pictures-${shown#stage-}.png"
    touch "$talk/shot-$n"
  done
  for _ in $(seq 1 100); do [ -e "$talk/done" ] && break; sleep 0.1; done
  "$LK_WINESERVER" -k || true
  exit 0
fi
mkdir -p "$out"
"$here/../../scripts/wine-prefix.sh" "$WINEPREFIX" "$WINEARCH" --display x11
"$LK_WINE" "$tree/tests/console/console_fixture.exe" >/dev/null
LK_SHOT_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$tree" "$out"
ls "$out"/pictures-*.png
