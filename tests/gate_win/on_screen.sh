#!/usr/bin/env bash
# on_screen.sh BUILD_DIR PROGRAM.exe [ARGS...]: runs a Windows test program
# under a virtual X display, in a prefix of its own (BUILD_DIR/wine-screen)
# with Wine's X11 driver, so that what a window paints can be read back from
# the screen. The tests' own prefix draws nothing (null driver).
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "on_screen.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
build=${1:?usage: on_screen.sh BUILD_DIR PROGRAM.exe [ARGS...]}
program=${2:?usage: on_screen.sh BUILD_DIR PROGRAM.exe [ARGS...]}
shift 2
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
. "$scripts/wine-env.sh"
arch=$(lk_exe_arch "$program")
. "$scripts/wine-env.sh" "$arch"
export WINEPREFIX="$build/wine-screen" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.lk-screen-ready" ]; then
    "$LK_WINE" wineboot --init >/dev/null 2>&1 || true
    "$LK_WINESERVER" --wait || true
    setting() { "$LK_WINE" reg add "$@" >/dev/null 2>&1 || { echo "on_screen.sh: reg add $* failed in $WINEPREFIX" >&2; exit 1; }; }
    setting 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    # No window manager on the virtual display: Wine draws frames itself.
    setting 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    "$LK_WINESERVER" -k || true
    touch "$WINEPREFIX/.lk-screen-ready"
  fi
  # The fonts a user's machine has (Tahoma among them): the message is
  # measured and drawn in them.
  lk_prefix_fonts "$WINEPREFIX"
) 9>"$WINEPREFIX.lock"
inner='"$LK_WINE" "$@"; rc=$?; "$LK_WINESERVER" -k 2>/dev/null || true; exit $rc'
LK_WINE=$LK_WINE LK_WINESERVER=$LK_WINESERVER \
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$inner" inner "$program" "$@"
