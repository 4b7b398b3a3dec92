#!/usr/bin/env bash
# The whole check: installs what is missing, builds all three trees and runs
# every test (native, sanitized with a short run of each fuzzer, and the
# Windows programs under Wine). Exits non-zero when anything failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" native fuzz mingw

prefix="$root/build/mingw/wine"
"$root/scripts/wine-prefix.sh" "$prefix"
# The tests' wrapper (build/mingw/wine-run) keeps one wine server alive
# between test programs; it is stopped at the end.

jobs=$(nproc)
passed=0
failed=0
status=0
for t in native fuzz mingw; do
  echo "== ctest: $t"
  log="build/$t/ctest.log"
  set +e
  extra=()
  # The Windows programs share one Wine desktop: under a full machine a window
  # can lose the focus or a deadline to a neighbour, so a failed case gets two
  # more tries there. Every retry is in the log.
  [ "$t" = mingw ] && extra=(--repeat until-pass:3)
  ctest --test-dir "build/$t" -j "$jobs" --output-on-failure --no-tests=error "${extra[@]}" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  set -e
  [ "$rc" -ne 0 ] && status=1
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1 || true)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  else
    status=1
  fi
done
WINEARCH=win32 WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true

echo "total: $passed passed, $failed failed"
exit $status
