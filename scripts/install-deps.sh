#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Safe to run again:
# it only asks apt for what is missing.
# Usage: install-deps.sh [--mingw64]
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "install-deps.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR

packages=(
  build-essential cmake ninja-build pkg-config
  g++-mingw-w64-i686-win32 mingw-w64-tools binutils-mingw-w64-i686
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  wine wine32:i386
  # Marlett, Webdings, Wingdings and Tahoma under Wine (a recommended package
  # that --no-install-recommends would skip): caption buttons, the markers.
  fonts-wine
  xvfb xauth imagemagick
  lhasa jlha-utils liblnk-utils openssl python3 linux-perf
  libxml2-dev libexpat1-dev
)
# Where the machine runs no 32-bit programs: the 64-bit build and 64-bit Wine
# that its Windows tests run on (scripts/wine-env.sh).
packages64=(g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 wine64)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi

# install PACKAGE...: those not installed yet (NAME or NAME:ARCH).
install() {
  local missing=() p name arch status
  for p in "$@"; do
    name=${p%%:*}; arch=${p#*:}
    [ "$arch" = "$p" ] && arch=""
    if [ -n "$arch" ]; then
      status=$(dpkg-query -W -f='${Status}' "$name:$arch" 2>/dev/null || true)
    else
      status=$(dpkg-query -W -f='${Status}' "$name" 2>/dev/null || true)
    fi
    case "$status" in *"install ok installed"*) ;; *) missing+=("$p") ;; esac
  done
  if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
    echo "install-deps: installing ${missing[*]:-(index only)}"
    "${sudo_cmd[@]}" apt-get update -qq
    need_update=""
    if [ ${#missing[@]} -gt 0 ]; then
      DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
  fi
}

install "${packages[@]}"
. "$(dirname "$0")/wine-env.sh"
# --mingw64: those too on a machine that runs 32-bit programs, to build and
# try the 64-bit tree there.
if [ "${1:-}" = --mingw64 ] || ! lk_runs_32bit; then install "${packages64[@]}"; fi
