#!/usr/bin/env bash
# Test emulator for cross-built executables: runs one under Wine with a time limit.
# Expects the environment of harness_start (DISPLAY, WINEPREFIX, ...). An exe that this
# machine cannot run is a skipped test (77, the tests' SKIP_RETURN_CODE), with the reason.
# shellcheck source=wine-env.sh
. "$(dirname "$0")/wine-env.sh"
why=$(wine_runs "$1") || { echo "SKIP: $why"; exit 77; }
exec timeout --kill-after=5 "${TROVELL_TEST_TIMEOUT:-120}" wine "$@"
