# Source this file: it decides once how Wine runs on this machine, and every script that runs
# Wine sources it (the harness, tools/run.sh, tools/test.sh, tools/bench.sh, the end-to-end
# scripts). Some machines run no 32-bit user code at all; Debian's wine, wine-stable and
# wineboot then still start the 32-bit loader whenever wine32:i386 is installed, and fail
# with "Exec format error". There every Wine command goes through the 64-bit loader, by
# putting tools/wine64/ first on PATH.
#
#   TROVELL_WINE64_ONLY=1   take the 64-bit-only path even where 32-bit programs run
#   TROVELL_WINE_LOADER32   the 32-bit loader to ask (default /usr/lib/wine/wine; the scripts'
#                           own test points it at stand-ins of either kind of machine)
#
# Exports, for the scripts and the child processes that inherit them:
#   TROVELL_WINE32      1 where 32-bit Windows programs run here, 0 where they do not
#   TROVELL_WINE32_WHY  why not (empty where they do)
#   TROVELL_WINE_KIND   the loader that runs everything: wine (both) or wine64
# A child that inherits the decision neither asks again nor says it again.

trovell_wine_decide() {
  local root loader32=${TROVELL_WINE_LOADER32:-/usr/lib/wine/wine} answer
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if [ -z "${TROVELL_WINE_KIND:-}" ]; then
    TROVELL_WINE32=1 TROVELL_WINE32_WHY=""
    if [ -n "${TROVELL_WINE64_ONLY:-}" ] && [ "${TROVELL_WINE64_ONLY}" != 0 ]; then
      TROVELL_WINE32_WHY="TROVELL_WINE64_ONLY is set"
    elif [ ! -x "$loader32" ]; then
      TROVELL_WINE32_WHY="there is no 32-bit Wine loader ($loader32; tools/setup.sh installs wine32:i386)"
    # Asking the loader itself: only starting a 32-bit program tells whether the kernel runs one.
    elif ! answer=$("$loader32" --version 2>&1 </dev/null); then
      TROVELL_WINE32_WHY="this machine cannot start 32-bit programs ($loader32: ${answer##*: })"
    fi
    if [ -n "$TROVELL_WINE32_WHY" ]; then
      TROVELL_WINE32=0 TROVELL_WINE_KIND=wine64
      echo "wine: 64-bit loader only, the 32-bit exe is not run: $TROVELL_WINE32_WHY" >&2
    else
      TROVELL_WINE_KIND=wine
    fi
    export TROVELL_WINE32 TROVELL_WINE32_WHY TROVELL_WINE_KIND
  fi
  if [ "$TROVELL_WINE_KIND" = wine64 ]; then
    case ":$PATH:" in *":$root/tools/wine64:"*) ;; *) export PATH="$root/tools/wine64:$PATH" ;; esac
    export WINELOADER=/usr/lib/wine/wine64
  fi
}
trovell_wine_decide

# pe_bits EXE: 32 or 64, from the machine field of the exe's PE header.
pe_bits() {
  local at machine
  at=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ') || return 1
  machine=$(od -An -t x2 -j $((at + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  case $machine in 014c) echo 32 ;; 8664) echo 64 ;; *) return 1 ;; esac
}

# wine_runs EXE: this machine's Wine can run the exe; where it cannot, says why on stdout.
wine_runs() {
  [ "$(pe_bits "$1")" != 32 ] || [ "$TROVELL_WINE32" = 1 ] && return 0
  echo "a 32-bit exe cannot run here: $TROVELL_WINE32_WHY"
  return 1
}
