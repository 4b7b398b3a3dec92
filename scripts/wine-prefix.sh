#!/usr/bin/env bash
# Creates the 32-bit Wine prefix the Windows tests run in: windows on Wine's
# null display driver, so nothing needs a screen. Test fixtures that need more
# (extra profiles, a gate in the system folder) add it from the tests themselves.
# Usage: wine-prefix.sh PREFIX
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
mkdir -p "$prefix" && prefix=$(cd "$prefix" && pwd)
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.lk-ready" ] && exit 0

export WINEARCH=win32 WINEPREFIX="$prefix" WINEDEBUG=-all
wineboot --init >/dev/null 2>&1 || true
wineserver --wait || true
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# No crash dialog: a crashing test program must end, not wait for a click.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -k || true
wineserver --wait || true
touch "$prefix/.lk-ready"
