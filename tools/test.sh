#!/usr/bin/env bash
# Builds everything and runs the three test layers: native unit tests, window tests under
# Wine (32- and 64-bit), and the end-to-end tests of the real exe. On a machine that cannot
# run 32-bit programs the 32-bit tests are skipped, each with the reason. Every ending, a
# failed set-up or build too, prints the totals line.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TROVELL_BUILD=${TROVELL_BUILD:-$root/build}
build=$TROVELL_BUILD

passed=0; failed=0; skipped=0
totals() { echo "$passed passed, $failed failed, $skipped skipped"; }
# A step that could not run counts as one failure, and ends the run.
give_up() {
  echo "test: $1" >&2
  failed=$((failed + 1))
  totals
  exit 1
}

"$root/tools/setup.sh" || give_up "set-up failed"
"$root/tools/build.sh" native i686 x86_64 || give_up "the build failed"
# The release zip, checked by e2e.test_release of the 64-bit layer.
"$root/tools/release.sh" || give_up "the release zip could not be made"

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
harness_start || { harness_stop; give_up "the Wine harness did not start"; }
trap 'harness_stop; totals' EXIT
if [ "$TROVELL_WINE32" = 1 ]; then
  echo "== 32-bit window and end-to-end tests (DISPLAY=$DISPLAY)"
else
  # Still listed, so that the count shows what was not run.
  echo "== 32-bit window and end-to-end tests: each counted as skipped, because $TROVELL_WINE32_WHY"
fi
run_ctest "$build/i686"
# The end-to-end tests drive the real pointer: nothing of theirs may reach the next tests.
xdotool mouseup 1 mouseup 3 mousemove 1279 799 2>/dev/null
echo "== 64-bit window and end-to-end tests"
run_ctest "$build/x86_64"
harness_stop
trap - EXIT

totals
[ "$failed" -eq 0 ]
