#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and starts the console
# under Wine in its own prefix (build/desktop-wine, or build/desktop-wine64),
# with the gate installed in that prefix's system folder where protected
# links expect it. A machine that cannot run 32-bit programs starts the
# 64-bit build of the same sources. A new prefix gets a few links on its
# desktops to try the console on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
. "$root/scripts/wine-env.sh"
tree=$(lk_windows_tree)
"$root/scripts/build.sh" "$tree"
. "$root/scripts/wine-env.sh" "$(lk_tree_arch "$tree")"

exe="$root/build/$tree/console/lkmain.exe"
if [ ! -f "$exe" ]; then
  echo "run-console: lkmain.exe is not built yet (the console is still being written); nothing to start."
  exit 0
fi
suffix=""
[ "$WINEARCH" = win64 ] && suffix=64
# Made by the one prefix recipe; the first time, with a few links to protect
# on the desktops (see the README).
"$root/scripts/wine-prefix.sh" "$root/build/desktop-wine$suffix" "$WINEARCH" --display x11 \
  --demo "$root/build/$tree/tools/lkdev/lkdev.exe"
export WINEPREFIX="$root/build/desktop-wine$suffix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
gate="$root/build/$tree/gate/passbox.exe"
[ -f "$gate" ] && cp "$gate" "$WINEPREFIX/drive_c/windows/system32/passbox.exe"
if [ -z "${DISPLAY:-}" ]; then
  echo "run-console: no DISPLAY; starting under xvfb-run (nothing visible)."
  exec xvfb-run -a "$LK_WINE" "$exe"
fi
exec "$LK_WINE" "$exe"
