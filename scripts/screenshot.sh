#!/usr/bin/env bash
# Runs a Windows program under a virtual X display with Wine's default (X11)
# driver, in a prefix of its own (not the tests' null-driver prefix), and
# saves a screenshot of the whole screen as PNG.
# Usage: screenshot.sh PROGRAM.exe OUT.png [SECONDS_BEFORE_SHOT] [ARGS...]
# The prefix is $LK_SHOT_PREFIX (default: ~/.cache/lockmere-shot-prefix).
set -euo pipefail
program=${1:?usage: screenshot.sh PROGRAM.exe OUT.png [SECONDS] [ARGS...]}
out=${2:?usage: screenshot.sh PROGRAM.exe OUT.png [SECONDS] [ARGS...]}
delay=${3:-4}
shift $(( $# >= 3 ? 3 : $# ))
program=$(realpath "$program")
out=$(realpath -m "$out")
prefix=${LK_SHOT_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/lockmere-shot-prefix}
mkdir -p "$prefix"
export WINEARCH=win32 WINEPREFIX=$(realpath "$prefix") WINEDEBUG=-all

if [ ! -f "$WINEPREFIX/.lk-shot-prefix-ready" ]; then
  wineboot --init >/dev/null 2>&1 || true
  wineserver --wait || true
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  # No window manager runs on the virtual display: Wine draws the frames and captions itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wineserver -k || true
  touch "$WINEPREFIX/.lk-shot-prefix-ready"
fi

# Inside the virtual display: start the program, wait, take the shot, end it.
inner=$(cat <<'INNER'
set -u
wine "$LK_PROGRAM" "$@" >/dev/null 2>&1 &
pid=$!
sleep "$LK_DELAY"
import -window root "$LK_OUT"
kill "$pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
INNER
)
LK_PROGRAM=$program LK_DELAY=$delay LK_OUT=$out \
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$inner" inner "$@"
[ -s "$out" ] || { echo "screenshot.sh: no picture was taken" >&2; exit 1; }
echo "$out"
