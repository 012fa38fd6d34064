#!/usr/bin/env bash
# Builds trovell.exe and runs it under Wine: the 32-bit exe, or the 64-bit one where this
# machine cannot run 32-bit programs (TROVELL_RUN_BITS=32|64 chooses). With a working
# $DISPLAY it appears there; otherwise on a private Xvfb display whose number is printed, so
# that
#   DISPLAY=:N import -window root shot.png
# shows it. The application folder is build/app (the exe, its img folder and trovell.ini), or
# $TROVELL_APP; the Wine prefix is build/app-prefix, or build/$TROVELL_RUN_PREFIX.
# Ctrl+C closes the program as its quit item does (settings saved, icon removed), then stops
# the display and the Wine server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TROVELL_BUILD=${TROVELL_BUILD:-$root/build}
app=${TROVELL_APP:-$TROVELL_BUILD/app}
mkdir -p "$app"

# One run at a time: a second would share the application folder and the Wine server.
exec 9>"$app/.run.lock"
if ! flock -n 9; then
  echo "trovell: tools/run.sh already runs from $app (pid $(cat "$app/.run.pid" 2>/dev/null || echo '?'));" >&2
  echo "         quit that one first (its tray menu, or Ctrl+C in its terminal)" >&2
  exit 1
fi
echo $$ >"$app/.run.pid"

"$root/tools/setup.sh"
# shellcheck source=wine-env.sh
. "$root/tools/wine-env.sh"
bits=${TROVELL_RUN_BITS:-}
if [ -n "$bits" ]; then
  why="TROVELL_RUN_BITS=$bits"
elif [ "$TROVELL_WINE32" = 1 ]; then
  bits=32 why="the primary build"
else
  bits=64 why="the 32-bit one cannot run here: $TROVELL_WINE32_WHY"
fi
case $bits in
  32) arch=i686 ;;
  64) arch=x86_64 ;;
  *) echo "trovell: TROVELL_RUN_BITS must be 32 or 64, not $bits" >&2; exit 2 ;;
esac
[ "$bits" = 64 ] || [ "$TROVELL_WINE32" = 1 ] ||
  { echo "trovell: the 32-bit exe cannot run here: $TROVELL_WINE32_WHY" >&2; exit 1; }
cmake -S "$root" -B "$TROVELL_BUILD/$arch" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" >/dev/null
cmake --build "$TROVELL_BUILD/$arch" --target trovell -j"$(nproc 2>/dev/null || echo 2)"
cp "$TROVELL_BUILD/$arch/trovell.exe" "$app/"
echo "trovell: running the $bits-bit exe ($TROVELL_BUILD/$arch/trovell.exe), $why"

# shellcheck source=wine-harness.sh
HARNESS_PREFIX=${TROVELL_RUN_PREFIX:-app-prefix}
. "$root/tools/wine-harness.sh"
harness_start --use-display
trap 'harness_stop; rm -f "$app/.run.pid"' EXIT

# Ctrl+C asks the program to close (WM_CLOSE through taskkill without /f) and waits for it,
# so that it saves its settings and removes its icon before the server goes away.
# A 32-bit taskkill does not see a 64-bit process under Wine: ask with the exe's own loader.
taskkill_loader=wine
[ "$bits" = 32 ] || taskkill_loader="$root/tools/wine64/wine"
exe_pid=""
stopping=0
close_program() {
  stopping=1
  local i
  for i in $(seq 1 100); do
    kill -0 "$exe_pid" 2>/dev/null || return 0
    [ $((i % 20)) -eq 1 ] && timeout 20 "$taskkill_loader" taskkill /im trovell.exe >/dev/null 2>&1 </dev/null
    sleep 0.1
  done
  echo "trovell: the program did not close; ending it" >&2
  kill -KILL "$exe_pid" 2>/dev/null || true
}
trap close_program INT TERM

echo "trovell: running on DISPLAY=$DISPLAY from $app (the icon is in Wine's system tray;"
echo "         quit from its right-click menu, or press Ctrl+C here)"
# Its own process group: Ctrl+C in the terminal reaches this script, not the program.
setsid wine "$app/trovell.exe" </dev/null &
exe_pid=$!
status=0
while kill -0 "$exe_pid" 2>/dev/null; do
  wait "$exe_pid" && status=0 || status=$?
done
[ "$stopping" -eq 0 ] || status=0
exit "$status"
