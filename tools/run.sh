#!/usr/bin/env bash
# Builds trovell.exe (32-bit) and runs it under Wine. With a working $DISPLAY it appears
# there; otherwise on a private Xvfb display whose number is printed, so that
#   DISPLAY=:N import -window root shot.png
# shows it. The application folder is build/app (the exe, its img folder and trovell.ini).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" i686
export TROVELL_BUILD=${TROVELL_BUILD:-$root/build}
app="$TROVELL_BUILD/app"
mkdir -p "$app"
cp "$TROVELL_BUILD/i686/trovell.exe" "$app/"
# shellcheck source=wine-harness.sh
HARNESS_PREFIX=app-prefix
. "$root/tools/wine-harness.sh"
harness_start --use-display
trap harness_stop EXIT
echo "trovell: running on DISPLAY=$DISPLAY from $app (the icon is in Wine's system tray;"
echo "         quit from its right-click menu, or press Ctrl+C here)"
wine "$app/trovell.exe" </dev/null || true
