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

# CMake takes a toolchain file's compilers only when it first configures a
# tree; a tree made before the file changed (as when the thread model did)
# would go on with the old ones. So the files' checksum stays with the tree,
# and a tree whose files changed since is configured anew (its cache goes;
# what it built is rebuilt, its Wine prefix stays).
toolchain_sum() { cat "$root/cmake/mingw-common.cmake" "$1" | sha1sum | cut -d' ' -f1; }

for t in "${trees[@]}"; do
  toolchain=""
  case "$t" in
    native) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    fuzz) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLK_FUZZ=ON) ;;
    mingw) toolchain="$root/cmake/mingw-i686.cmake" ;;
    mingw64) toolchain="$root/cmake/mingw-x86_64.cmake" ;;
    *) echo "build.sh: unknown tree '$t'" >&2; exit 2 ;;
  esac
  if [ -n "$toolchain" ]; then
    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$toolchain")
    sum=$(toolchain_sum "$toolchain")
    stamp="build/$t/.lk-toolchain"
    if [ -f "build/$t/CMakeCache.txt" ] && [ "$(cat "$stamp" 2>/dev/null)" != "$sum" ]; then
      echo "build.sh: build/$t was configured with other toolchain files; configuring it anew"
      rm -rf "build/$t/CMakeCache.txt" "build/$t/CMakeFiles"
    fi
  fi
  cmake -S "$root" -B "build/$t" -G Ninja "${args[@]}" >/dev/null
  [ -z "$toolchain" ] || echo "$sum" > "build/$t/.lk-toolchain"
  cmake --build "build/$t" -j "$(nproc)" "${only[@]}"
done
