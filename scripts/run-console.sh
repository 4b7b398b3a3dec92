#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and starts the console
# under Wine in its own prefix (build/desktop-wine), with the gate installed in
# that prefix's system folder where protected links expect it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" mingw

exe="$root/build/mingw/console/lkmain.exe"
if [ ! -f "$exe" ]; then
  echo "run-console: lkmain.exe is not built yet (the console is still being written); nothing to start."
  exit 0
fi
export WINEARCH=win32 WINEPREFIX="$root/build/desktop-wine" WINEDEBUG=-all
[ -d "$WINEPREFIX" ] || { wineboot --init >/dev/null 2>&1; wineserver --wait; }
gate="$root/build/mingw/gate/passbox.exe"
[ -f "$gate" ] && cp "$gate" "$WINEPREFIX/drive_c/windows/system32/passbox.exe"
if [ -z "${DISPLAY:-}" ]; then
  echo "run-console: no DISPLAY; starting under xvfb-run (nothing visible)."
  exec xvfb-run -a wine "$exe"
fi
exec wine "$exe"
