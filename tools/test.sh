#!/usr/bin/env bash
# Builds everything and runs the three test layers: native unit tests, window tests under
# Wine (32- and 64-bit), and the end-to-end tests of the real exe. Ends with the totals.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" || exit 1
"$root/tools/build.sh" native i686 x86_64 || { echo "0 passed, 1 failed"; exit 1; }
export TROVELL_BUILD=${TROVELL_BUILD:-$root/build}
build=$TROVELL_BUILD

passed=0; failed=0; skipped=0
run_ctest() {  # folder, extra ctest arguments
  local dir=$1 log
  shift
  log=$(mktemp)
  (cd "$dir" && ctest --output-on-failure --timeout 300 "$@") 2>&1 | tee "$log"
  local line total fails
  line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1)
  if [ -z "$line" ]; then failed=$((failed + 1)); rm -f "$log"; return; fi
  fails=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
  local skips
  skips=$(grep -cE '\*\*\*Skipped|Not Run' "$log" || true)
  skipped=$((skipped + skips))
  passed=$((passed + total - fails - skips))
  failed=$((failed + fails))
  rm -f "$log"
}

echo "== native unit tests"
run_ctest "$build/native"

# shellcheck source=wine-harness.sh
. "$root/tools/wine-harness.sh"
harness_start || { echo "$passed passed, $((failed + 1)) failed"; exit 1; }
trap harness_stop EXIT
echo "== 32-bit window and end-to-end tests (DISPLAY=$DISPLAY)"
run_ctest "$build/i686"
echo "== 64-bit window and end-to-end tests"
run_ctest "$build/x86_64"
harness_stop
trap - EXIT

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
