#!/usr/bin/env bash
# Creates the Wine prefix the Windows tests run in (32-bit by default, or
# 64-bit for the 64-bit build): windows on Wine's null display driver, so
# nothing needs a screen. Test fixtures that need more (extra profiles, a
# gate in the system folder) add it from the tests themselves.
# Usage: wine-prefix.sh PREFIX [win32|win64]
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX [win32|win64]}
. "$(dirname "$0")/wine-env.sh" "${2:-win32}"
mkdir -p "$prefix" && prefix=$(cd "$prefix" && pwd)
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.lk-ready" ] && exit 0

export WINEPREFIX="$prefix" WINEDEBUG=-all
"$LK_WINE" wineboot --init >/dev/null 2>&1 || true
"$LK_WINESERVER" --wait || true
"$LK_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# No crash dialog: a crashing test program must end, not wait for a click.
"$LK_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$LK_WINESERVER" -k || true
"$LK_WINESERVER" --wait || true
touch "$prefix/.lk-ready"
