#!/usr/bin/env bash
# The whole check: installs what is missing, builds all three trees (and the
# 64-bit Windows tree where the machine runs no 32-bit programs) and runs
# every test (native, sanitized with a short run of each fuzzer, and the
# Windows programs under Wine). Exits non-zero when anything failed.
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "test.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"
. "$root/scripts/wine-env.sh"
# The Windows tests run on the 32-bit programs as shipped, or, where this
# machine cannot run 32-bit code, on the 64-bit build of the same sources
# (the 32-bit programs are still built).
wintree=$(lk_windows_tree)
if [ "$wintree" = mingw ]; then
  "$root/scripts/build.sh" native fuzz mingw
else
  echo "test.sh: this machine does not run 32-bit programs (the kernel's 32-bit support is off);"
  echo "test.sh: the 32-bit programs are built, and the Windows tests run on the 64-bit build."
  "$root/scripts/build.sh" native fuzz mingw mingw64
fi
arch=$(lk_tree_arch "$wintree")
. "$root/scripts/wine-env.sh" "$arch"

prefix="$root/build/$wintree/wine"
"$root/scripts/wine-prefix.sh" "$prefix" "$arch"
# The tests' wrapper (build/<tree>/wine-run) keeps one wine server alive
# between test programs; it is stopped at the end.

jobs=$(nproc)
passed=0
failed=0
status=0
for t in native fuzz "$wintree"; do
  echo "== ctest: $t"
  log="build/$t/ctest.log"
  extra=()
  # The Windows programs share one Wine desktop: under a full machine a window
  # can lose the focus or a deadline to a neighbour, so a failed case gets two
  # more tries there. Every retry is in the log.
  [ "$t" = "$wintree" ] && extra=(--repeat until-pass:3)
  rc=0
  ctest --test-dir "build/$t" -j "$jobs" --output-on-failure --no-tests=error "${extra[@]}" 2>&1 | tee "$log" ||
    rc=${PIPESTATUS[0]}
  if [ "$rc" -ne 0 ]; then status=1; fi
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1 || true)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  else
    echo "test.sh: ctest of build/$t printed no totals (status $rc)"
    status=1
  fi
done
WINEPREFIX="$prefix" "$LK_WINESERVER" -k 2>/dev/null || true

echo "total: $passed passed, $failed failed"
exit $status
