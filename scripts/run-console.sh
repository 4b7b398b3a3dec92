#!/usr/bin/env bash
# Installs what is missing, builds the two Windows programs (and the
# developer tool that writes the demo links; nothing else of the tree: the
# tests are scripts/test.sh's), installs them into their own prefix
# (build/desktop-wine, or build/desktop-wine64) as an installation would, and
# starts the console under Wine:
#   - the console in "C:\Program Files\Lockmere\" of the prefix, its install
#     folder ("InstallPath" under HKLM\SOFTWARE\Velmora\Lockmere\LKData), with
#     its "skins\" folder: the user data, the log, the skins and the backups
#     stay there across rebuilds of the tree;
#   - the gate in the prefix's system folder, where protected links expect it.
# A machine that cannot run 32-bit programs starts the 64-bit build of the
# same sources. A new prefix gets a few links on its desktops to try the
# console on.
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "run-console.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
. "$root/scripts/wine-env.sh"
tree=$(lk_windows_tree)
. "$root/scripts/wine-env.sh" "$(lk_tree_arch "$tree")"
suffix=""
[ "$WINEARCH" = win64 ] && suffix=64
prefix="$root/build/desktop-wine$suffix"
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"

# A new prefix boots while the programs build (the recipe below then finds it
# booted). It boots beside its place and moves in once complete, so that a
# boot cut short leaves no half-made prefix; its output is shown only when
# it fails.
boot_pid=""
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  rm -rf "$prefix.boot"
  (
    export WINEPREFIX="$prefix.boot"
    mkdir -p "$WINEPREFIX" && "$LK_WINE" wineboot --init && "$LK_WINESERVER" --wait &&
      { [ ! -e "$prefix" ] || rmdir "$prefix"; } && mv "$WINEPREFIX" "$prefix"
  ) >"$prefix.boot.log" 2>&1 &
  boot_pid=$!
fi
"$root/scripts/build.sh" "$tree" --target lkmain --target passbox --target lkdev
if [ -n "$boot_pid" ] && ! wait "$boot_pid"; then
  echo "run-console.sh: booting the prefix $prefix failed; the recipe tries again:" >&2
  cat "$prefix.boot.log" >&2 || true
fi

# Made by the one prefix recipe; the first time, with a few links to protect
# on the desktops (see the README).
"$root/scripts/wine-prefix.sh" "$prefix" "$WINEARCH" --display x11 \
  --demo "$root/build/$tree/tools/lkdev/lkdev.exe"
export WINEPREFIX=$prefix

install_win='C:\Program Files\Lockmere\'
install="$prefix/drive_c/Program Files/Lockmere"
mkdir -p "$install/skins"
# A prefix made before kept the console's data beside the build output
# (its "InstallPath" named build/<tree>/console/): what the new folder lacks
# comes along, the old files stay.
old=$(sed -n 's/^"InstallPath"="Z:\(.*\)"$/\1/p' "$prefix/system.reg" 2>/dev/null | sed 's/\\\\/\//g' | head -n 1)
old=${old%/}
if [ -n "$old" ] && [ -d "$old" ] && [ "$(cd "$old" && pwd)" != "$(cd "$install" && pwd)" ]; then
  for f in lmdata.bin lmlog.bin skins backup; do
    if [ -e "$old/$f" ] && { [ ! -e "$install/$f" ] || [ -z "$(ls -A "$install/$f" 2>/dev/null)" ]; }; then
      cp -a "$old/$f" "$install/"
      echo "run-console.sh: brought $old/$f into $install"
    fi
  done
fi
# put FILE DEST: a new file in its place (a copy of the program that is
# running keeps the file it started from).
put() { cmp -s "$1" "$2" || { cp "$1" "$2.new" && mv -f "$2.new" "$2"; }; }
put "$root/build/$tree/console/lkmain.exe" "$install/lkmain.exe"
put "$root/build/$tree/gate/passbox.exe" "$prefix/drive_c/windows/system32/passbox.exe"
# The install folder in the registry, as an installer writes it.
reg_file="$prefix/drive_c/windows/temp/lk-install.reg"
mkdir -p "$(dirname "$reg_file")"
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velmora\\Lockmere\\LKData]\r\n"InstallPath"="%s"\r\n' \
  "${install_win//\\/\\\\}" >"$reg_file"
"$LK_WINE" reg import 'C:\windows\temp\lk-install.reg' >/dev/null 2>&1 ||
  { echo "run-console.sh: could not write InstallPath into $prefix" >&2; exit 1; }
rm -f "$reg_file"
echo "run-console.sh: the console's install folder is $install"

if [ -z "${DISPLAY:-}" ]; then
  echo "run-console.sh: no DISPLAY; starting under xvfb-run (nothing visible)."
  exec xvfb-run -a "$LK_WINE" "$install/lkmain.exe"
fi
exec "$LK_WINE" "$install/lkmain.exe"
