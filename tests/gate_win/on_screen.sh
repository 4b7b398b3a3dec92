#!/usr/bin/env bash
# on_screen.sh BUILD_DIR PROGRAM.exe [ARGS...]: runs a Windows test program
# under a virtual X display, in a prefix of its own (BUILD_DIR/wine-screen)
# with Wine's X11 driver, so that what a window paints can be read back from
# the screen. The tests' own prefix draws nothing (null driver).
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "on_screen.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
build=$(cd "${1:?usage: on_screen.sh BUILD_DIR PROGRAM.exe [ARGS...]}" && pwd)
program=${2:?usage: on_screen.sh BUILD_DIR PROGRAM.exe [ARGS...]}
shift 2
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
. "$scripts/wine-env.sh"
arch=$(lk_exe_arch "$program")
. "$scripts/wine-env.sh" "$arch"
export WINEPREFIX="$build/wine-screen" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
# The one prefix recipe (it takes the prefix's lock itself), for the X
# display: shell folders inside the prefix, no crash dialog, Wine drawing the
# frames (no window manager on the virtual display), and the fonts a user's
# machine has (Tahoma among them): the message is measured and drawn in them.
"$scripts/wine-prefix.sh" "$WINEPREFIX" "$arch" --display x11 >/dev/null ||
  { echo "on_screen.sh: the prefix $WINEPREFIX could not be made" >&2; exit 1; }
inner='"$LK_WINE" "$@"; rc=$?; "$LK_WINESERVER" -k 2>/dev/null || true; exit $rc'
LK_WINE=$LK_WINE LK_WINESERVER=$LK_WINESERVER \
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$inner" inner "$program" "$@"
