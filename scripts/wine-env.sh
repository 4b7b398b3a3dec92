# Sourced by the scripts that run Windows programs: which Wine runs them.
#   . scripts/wine-env.sh win32|win64
# exports WINEARCH (and for win64 WINELOADER, WINESERVER) and sets LK_WINE
# and LK_WINESERVER to the commands to call.
#
# Debian's `wine` starts the 32-bit loader whenever it is installed, and
# that loader is a 32-bit Linux program; a 64-bit prefix takes the 64-bit
# loader and server by their own names.
case "${1:-win32}" in
  win64)
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
    LK_WINE=$WINELOADER
    LK_WINESERVER=$WINESERVER
    ;;
  *)
    export WINEARCH=win32
    LK_WINE=wine
    LK_WINESERVER=wineserver
    ;;
esac

# True when this machine runs 32-bit Linux programs, and so 32-bit Wine: a
# kernel booted without its 32-bit support (ia32_emulation off, as on some
# virtual machines) refuses them with "Exec format error".
lk_runs_32bit() {
  /usr/lib/wine/wineserver32 --version >/dev/null 2>&1
}

# The build tree whose Windows programs this machine runs: the 32-bit one
# (the programs as shipped) where it can, else the 64-bit build of the same
# sources.
lk_windows_tree() {
  if lk_runs_32bit; then echo mingw; else echo mingw64; fi
}

# The Wine architecture of a build tree.
lk_tree_arch() {
  case "$1" in *mingw64*) echo win64 ;; *) echo win32 ;; esac
}

# The Wine architecture of a Windows program, from its PE header's machine
# field (0x8664: x86-64).
lk_exe_arch() {
  local at
  at=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  if [ "$(od -An -tx2 -j$((at + 4)) -N2 "$1" | tr -d ' ')" = 8664 ]; then echo win64; else echo win32; fi
}

# Wine's own fonts (Debian's fonts-wine: Marlett, Webdings, Tahoma, ...) into
# a prefix's Fonts folder, where this Wine finds them; it does not look in its
# data folder for them. Without them a caption's close box shows "r".
lk_prefix_fonts() {
  local fonts=/usr/share/wine/fonts dest="$1/drive_c/windows/Fonts" f
  [ -d "$fonts" ] && [ -d "$1/drive_c/windows" ] || return 0
  mkdir -p "$dest"
  for f in "$fonts"/*.ttf; do
    [ -e "$dest/$(basename "$f")" ] || ln -s "$f" "$dest/"
  done
}
