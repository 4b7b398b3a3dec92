#!/usr/bin/env bash
# Configures and builds the three trees under build/:
#   native  g++, portable core, its tests and the benchmarks
#   fuzz    clang with ASan and UBSan: the core's tests again and the fuzzers
#   mingw   MinGW-w64 i686: everything, the Windows tests run through Wine
# and on request a fourth:
#   mingw64 MinGW-w64 x86_64: the same programs and tests as 64-bit Windows
#           programs, for machines that cannot run 32-bit Wine
# Usage: build.sh [native|fuzz|mingw|mingw64 ...] [--target NAME ...]
#   (default: the first three trees; --target builds only the named targets
#   of each tree and what they need, as scripts/run-console.sh does)
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "build.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
trees=()
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --target) targets+=("${2:?build.sh: --target needs a name}"); shift 2 ;;
    *) trees+=("$1"); shift ;;
  esac
done
[ ${#trees[@]} -eq 0 ] && trees=(native fuzz mingw)
only=()
[ ${#targets[@]} -gt 0 ] && only=(--target "${targets[@]}")

for t in "${trees[@]}"; do
  case "$t" in
    native) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    fuzz) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLK_FUZZ=ON) ;;
    mingw) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake") ;;
    mingw64) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake") ;;
    *) echo "build.sh: unknown tree '$t'" >&2; exit 2 ;;
  esac
  cmake -S "$root" -B "build/$t" -G Ninja "${args[@]}" >/dev/null
  cmake --build "build/$t" -j "$(nproc)" "${only[@]}"
done
