#!/usr/bin/env bash
# The one recipe for every Wine prefix of the project: the tests' prefix of
# each build tree, the console's (scripts/run-console.sh) and the
# screenshots' (scripts/screenshot.sh and the test screenshot scripts).
#
#   wine-prefix.sh PREFIX [win32|win64] [--display null|x11] [--demo LKDEV_EXE]
#
# - Wine's menu builder is off: it would write .desktop files and icons into
#   the home folder for every program that puts a link on a start menu.
# - Every shell folder of the login user (Desktop, Documents, Music, ...) is
#   a real folder inside the prefix. A fresh prefix links them to the home
#   folder: link files written to "the desktop" would land in $HOME, and
#   every prefix of the machine would share that one desktop.
# - Display null (the default): windows work without a screen, for the
#   tests. x11: the X display; Wine draws the frames itself, since no window
#   manager runs on a virtual display.
# - No crash dialog: a crashing program ends instead of waiting for a click.
# - --demo: the first time the recipe makes the prefix ready, a few links to
#   programs Wine ships on the login user's and on the common desktop,
#   written by lkdev.exe (the Windows build of the developer tool).
#
# A prefix made ready carries a stamp; running the recipe again does nothing
# unless the stamp is older than the recipe, or a shell folder became a link
# again (a Wine update re-creates them), in which case it is brought up to date.
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "wine-prefix.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
usage="usage: wine-prefix.sh PREFIX [win32|win64] [--display null|x11] [--demo LKDEV_EXE]"
prefix=${1:?$usage}
shift
arch=win32
case "${1:-}" in win32|win64) arch=$1; shift ;; esac
display=null
demo_tool=""
while [ $# -gt 0 ]; do
  case "$1" in
    --display) display=${2:?$usage}; shift 2 ;;
    --demo) demo_tool=${2:?$usage}; shift 2 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
case "$display" in null|x11) ;; *) echo "$usage" >&2; exit 2 ;; esac

. "$(dirname "$0")/wine-env.sh" "$arch"
mkdir -p "$prefix" && prefix=$(cd "$prefix" && pwd)
exec 9>"$prefix.lock"
flock 9

recipe=3
stamp="$prefix/.lk-prefix"
want="recipe $recipe display $display"
user_dir() { echo "$prefix/drive_c/users/$(id -un)"; }

# True when a shell folder of the user is a link (out of the prefix).
linked_folders() {
  local d
  for d in "$(user_dir)"/* "$(user_dir)"/AppData/Roaming/Microsoft/Windows/Templates; do
    [ -L "$d" ] && return 0
  done
  return 1
}

# Wine's own fonts where this Wine finds them, also into a prefix made
# before (only what is missing is linked; a new font is found at the next start).
lk_prefix_fonts "$prefix"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && ! linked_folders; then
  exit 0
fi
first_time=0
[ -f "$stamp" ] || first_time=1

export WINEPREFIX="$prefix" WINEDEBUG=-all
# For this script's own runs; the prefix keeps the menu builder off itself.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
if [ ! -f "$prefix/system.reg" ]; then
  "$LK_WINE" wineboot --init >/dev/null 2>&1 || true
  "$LK_WINESERVER" --wait || true
fi
lk_prefix_fonts "$prefix"

# The shell folders become real folders inside the prefix. A link that
# pointed into the home folder is dropped; nothing in $HOME is touched.
for d in "$(user_dir)"/* "$(user_dir)"/AppData/Roaming/Microsoft/Windows/Templates; do
  if [ -L "$d" ]; then
    rm -f "$d"
    mkdir -p "$d"
  fi
done

reg() { "$LK_WINE" reg "$@" >/dev/null 2>&1; }
# Settings the prefix must have: a failure ends the recipe (no stamp).
setting() { reg add "$@" || { echo "wine-prefix.sh: reg add $* failed" >&2; exit 1; }; }
setting 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d "" /f
setting 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
if [ "$display" = null ]; then
  setting 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
  reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f || true
else
  reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f || true
  setting 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
fi

if [ -n "$demo_tool" ] && [ "$first_time" = 1 ]; then
  # Programs that every Wine has, as shortcuts to protect: two on the login
  # user's desktop, two on the desktop of all users.
  user_desktop='C:\users\'"$(id -un)"'\Desktop'
  common_desktop='C:\users\Public\Desktop'
  mkdir -p "$(user_dir)/Desktop" "$prefix/drive_c/users/Public/Desktop"
  demo() { "$LK_WINE" "$demo_tool" link make "$@" >/dev/null 2>&1 || echo "wine-prefix.sh: could not write $1" >&2; }
  demo "$user_desktop\\Notepad.lnk" 'C:\windows\system32\notepad.exe' "" "Text editor"
  demo "$user_desktop\\Command Prompt.lnk" 'C:\windows\system32\cmd.exe' "" "Command prompt"
  demo "$common_desktop\\Registry Editor.lnk" 'C:\windows\regedit.exe' "" "Registry editor"
  demo "$common_desktop\\Minesweeper.lnk" 'C:\windows\system32\winemine.exe' "" "A game for everybody"
fi

"$LK_WINESERVER" -k || true
"$LK_WINESERVER" --wait || true
rm -f "$prefix/.lk-ready"
echo "$want" >"$stamp"
