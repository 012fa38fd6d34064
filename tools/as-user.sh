#!/usr/bin/env bash
# Runs a command as an ordinary user, under Wine in a prefix of that user's own, on the
# harness's display: for the tests of folders and files the user may not write, which root
# writes all the same. Not root: the command runs as it is, in the harness's prefix.
# Usage: tools/as-user.sh COMMAND [ARG...]   (inside the environment of harness_start)
#   TROVELL_TEST_USER   the user made and used when run as root (default trovell-test)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then exec "$@"; fi

user=${TROVELL_TEST_USER:-trovell-test}
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin "$user"
home=$(getent passwd "$user" | cut -d: -f6)
# A root folder closed to others (a chroot made with mktemp -d) lets the user run nothing.
runuser -u "$user" -- /bin/true 2>/dev/null ||
  { echo "SKIP: $user can run no program here (is / closed to other users?)"; exit 77; }
# The user's prefix, made once by the harness's own steps; it must belong to the user.
prefix="$home/wine-prefix"
# The user may have no way into the checkout (a clone in root's home): the scripts, and every
# file of the checkout the command names, run from copies in a stage of the user's own.
stage="$home/stage"
rm -rf "$stage"
mkdir -p "$stage"
cp -r "$root/tools" "$stage/"
args=()
for arg in "$@"; do
  case "$arg" in
    "$root"/*) [ -f "$arg" ] && mkdir -p "$stage/$(dirname "${arg#"$root"/}")" && cp "$arg" "$stage/${arg#"$root"/}"
               args+=("$stage/${arg#"$root"/}") ;;
    *) args+=("$arg") ;;
  esac
done
chown -R "$user:" "$stage"
PATH=${PATH//"$root/tools/wine64"/"$stage/tools/wine64"}
# What Wine needs of the harness's environment, and the decision on how Wine runs here.
as_user=(runuser -u "$user" -- env HOME="$home" PATH="$PATH" DISPLAY="$DISPLAY" WINEDEBUG=-all
  TROVELL_WINE_KIND="$TROVELL_WINE_KIND" TROVELL_WINE32="$TROVELL_WINE32"
  TROVELL_WINE32_WHY="$TROVELL_WINE32_WHY" ${WINELOADER:+WINELOADER="$WINELOADER"})
"${as_user[@]}" bash -c '
    . "$1/tools/wine-harness.sh"
    harness_prefix_ready "$2" || (harness_make_prefix "$2") >&2' _ "$stage" "$prefix"
exec "${as_user[@]}" WINEPREFIX="$prefix" LANG="${LANG:-ja_JP.UTF-8}" LC_ALL="${LC_ALL:-ja_JP.UTF-8}" \
  WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-}" XDG_DATA_HOME="$prefix/xdg" "${args[@]}"
