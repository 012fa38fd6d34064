#!/usr/bin/env bash
# Test emulator for cross-built executables: runs one under Wine with a time limit.
# Expects the environment of harness_start (DISPLAY, WINEPREFIX, ...).
exec timeout --kill-after=5 "${TROVELL_TEST_TIMEOUT:-120}" wine "$@"
