#!/usr/bin/env bash
# Runs a Windows program under a virtual X display with Wine's default (X11)
# driver, in a prefix of its own (not the tests' null-driver prefix), and
# saves a screenshot of the whole screen as PNG.
# Usage: screenshot.sh PROGRAM.exe OUT.png [SECONDS_BEFORE_SHOT] [ARGS...]
# The prefix is $LK_SHOT_PREFIX (default: ~/.cache/lockmere-shot-prefix, with
# "64" added for a 64-bit program: a program of the mingw64 tree).
set -euo pipefail
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
prefix=${LK_SHOT_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/lockmere-shot-prefix$suffix}
mkdir -p "$prefix"
export WINEPREFIX=$(realpath "$prefix") WINEDEBUG=-all

if [ ! -f "$WINEPREFIX/.lk-shot-prefix-ready" ]; then
  "$LK_WINE" wineboot --init >/dev/null 2>&1 || true
  "$LK_WINESERVER" --wait || true
  "$LK_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  # No window manager runs on the virtual display: Wine draws the frames and captions itself.
  "$LK_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  "$LK_WINESERVER" -k || true
  touch "$WINEPREFIX/.lk-shot-prefix-ready"
fi

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
