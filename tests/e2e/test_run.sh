#!/usr/bin/env bash
# The README's run command: one at a time, and Ctrl+C in its terminal closes the program the
# way its quit item does, so the settings are saved before the display and server stop.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
ME=$(id -un)
export TROVELL_APP="$E2E_TMP/runapp" TROVELL_RUN_PREFIX=run-test-prefix
LOG="$E2E_TMP/run.log"
# Each build's layer runs its own exe; the build the machine runs by default is chosen by
# run.sh itself, which must say so.
BITS=$(pe_bits "$E2E_EXE") DEFAULT_BITS=64
[ "$TROVELL_WINE32" = 1 ] && DEFAULT_BITS=32
[ "$BITS" = "$DEFAULT_BITS" ] || export TROVELL_RUN_BITS=$BITS
# Whatever happens, the run's own Wine server does not outlive the script.
trap 'WINEPREFIX="${TROVELL_BUILD:-$ROOT/build}/$TROVELL_RUN_PREFIX" wineserver -k 2>/dev/null; e2e_cleanup' EXIT

# In its own session, as a terminal runs it: Ctrl+C then goes to its whole process group. A
# command started with & ignores SIGINT, as a terminal's foreground command does not. Without
# a display, as on a fresh machine: run.sh then starts its own, which Ctrl+C must not end
# before the program has closed.
setsid env --default-signal=INT -u DISPLAY bash "$ROOT/tools/run.sh" >"$LOG" 2>&1 </dev/null &
RUN_PID=$!
E2E_PIDS+=("$RUN_PID")
# The store root is made at start-up, just before the resident window.
wait_until 180 test -d "$TROVELL_APP/img/$ME" || { note "$(tail -5 "$LOG")"; fail_now "run.sh: the program did not start"; }

check "run.sh says it runs the $BITS-bit exe" grep -q "running the $BITS-bit exe" "$LOG"
if [ "$BITS" != 32 ] && [ -z "${TROVELL_RUN_BITS:-}" ]; then
  check "run.sh says why not the 32-bit one" grep -qF "cannot run here: $TROVELL_WINE32_WHY" "$LOG"
fi
check "the application folder holds the $BITS-bit exe" test "$(pe_bits "$TROVELL_APP/trovell.exe")" = "$BITS"

second=$(timeout 60 bash "$ROOT/tools/run.sh" 2>&1 </dev/null)
status=$?
check "a second run.sh ends with a non-zero status" test "$status" -ne 0 -a "$status" -ne 124
check "a second run.sh says that one runs" grep -q 'already runs' <<<"$second"
check "the first run goes on" alive "$RUN_PID"
check "nothing has written the settings yet" test ! -e "$TROVELL_APP/trovell.ini"

kill -INT -- "-$RUN_PID"
check "Ctrl+C: run.sh ends with status 0" eval 'wait_exit "$RUN_PID" 60 && ! grep -q "did not close" "$LOG"'
check "Ctrl+C: the program saved [$ME] SAVE=0 CAPC=0 on its way out" \
  section_is "$TROVELL_APP/trovell.ini" "$ME" 0 0

e2e_finish
