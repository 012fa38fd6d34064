# Source this file: it defines harness_start / harness_stop and helpers for running Windows
# programs under Wine on a private Xvfb display. Everything it starts is remembered by pid
# and only those processes are stopped.
#
#   TROVELL_BUILD   folder that keeps the prepared Wine prefix (default: build)
#   HARNESS_PREFIX  name of the prefix this harness runs in (default: wine-prefix); the program run
#                   by tools/run.sh has its own, so stopping the tests never touches it

harness_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${TROVELL_BUILD:=$harness_root/build}"
HARNESS_XVFB_PID=""

# How Wine runs here (both loaders, or the 64-bit one alone) is decided in one place.
# shellcheck source=wine-env.sh
. "$harness_root/tools/wine-env.sh"

# harness_prefix_ready DIR: the prefix was made completely, by the loader that runs here. A
# prefix made by the other loader is not taken: its 32-bit half differs.
harness_prefix_ready() { [ "$(cat "$1/.trovell-ready" 2>/dev/null)" = "$TROVELL_WINE_KIND" ]; }

# harness_make_prefix DIR: every step checked, made beside DIR and moved into place only when
# complete, so that a run killed half-way leaves no prefix that looks ready.
harness_make_prefix() {
  local prefix=$1 making="$1.making" fonts
  WINEPREFIX="$making" wineserver -k 2>/dev/null
  rm -rf "$making" "$prefix"
  mkdir -p "$(dirname "$prefix")"
  echo "harness: preparing Wine prefix in $prefix ($TROVELL_WINE_KIND)" >&2
  export WINEPREFIX="$making"
  # In a 64-bit-only prefix wineboot says that syswow64's rundll32 cannot start: harmless.
  timeout 300 wineboot -i >"$making.log" 2>&1 </dev/null || { echo "harness: wineboot failed:" >&2; tail -5 "$making.log" >&2; return 1; }
  wineserver -w
  [ -f "$making/system.reg" ] && [ -f "$making/user.reg" ] &&
    [ -f "$making/drive_c/windows/system32/kernel32.dll" ] ||
    { echo "harness: wineboot left no complete prefix in $making" >&2; return 1; }
  mkdir -p "$making/drive_c/windows/Fonts" &&
    fonts=(/usr/share/wine/fonts/*.ttf) && [ -f "${fonts[0]}" ] &&
    cp "${fonts[@]}" "$making/drive_c/windows/Fonts/" ||
    { echo "harness: Wine's fonts (fonts-wine) could not be copied into the prefix" >&2; return 1; }
  # Managed=N: Wine draws frames itself and never waits for a window manager.
  # ShowCrashDialog=0: a crash ends the process instead of blocking in winedbg.
  timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null &&
    timeout 120 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null &&
    wineserver -w &&
    grep -q '^"Managed"="N"' "$making/user.reg" && grep -q '^"ShowCrashDialog"=dword:00000000' "$making/user.reg" ||
    { echo "harness: the prefix's settings could not be written" >&2; return 1; }
  echo "$TROVELL_WINE_KIND" >"$making/.trovell-ready" && mv "$making" "$prefix" && rm -f "$making.log"
}

# Prefix prepared once and kept: a fresh one costs ~20 s, reuse is free.
harness_prefix() {
  local prefix="$TROVELL_BUILD/wine-prefix" own="$TROVELL_BUILD/${HARNESS_PREFIX:-wine-prefix}"
  if ! harness_prefix_ready "$prefix"; then
    (harness_make_prefix "$prefix") || return 1
  fi
  # A copy of the prepared prefix costs seconds where a new one costs twenty.
  if [ "$own" != "$prefix" ] && ! harness_prefix_ready "$own"; then
    rm -rf "$own" "$own.making"
    cp -a "$prefix" "$own.making" && mv "$own.making" "$own" || return 1
  fi
  echo "$own"
}

harness_free_display() {
  local n
  for n in $(seq 90 199); do
    [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] || continue
    # A server in another root (a chroot, a container sharing the network) is invisible in
    # /tmp but answers on its abstract socket.
    DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && continue
    echo "$n"
    return 0
  done
  return 1
}

# harness_start [--use-display]: with --use-display an existing working $DISPLAY is kept.
harness_start() {
  local prefix n i
  prefix=$(harness_prefix) || return 1
  if [ "${1:-}" = "--use-display" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    :
  else
    n=$(harness_free_display) || { echo "harness: no free display" >&2; return 1; }
    # -noreset: otherwise the screen resets whenever its last client disconnects.
    # Its own session, as Wine's below: Ctrl+C in the terminal of tools/run.sh must reach the
    # script, which closes the program first, and not the display or Wine's tray under it.
    setsid Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    HARNESS_XVFB_PID=$!
    export DISPLAY=":$n"
    for i in $(seq 1 200); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.05
    done
    xdpyinfo >/dev/null 2>&1 || { echo "harness: Xvfb did not start" >&2; return 1; }
  fi
  export WINEPREFIX="$prefix" WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  export WINEDLLOVERRIDES="mscoree,mshtml=" XDG_DATA_HOME="$prefix/xdg"
  # A persistent server makes each later start cost tens of milliseconds instead of ~0.6 s.
  setsid wineserver -p
  # Wine's own background processes (its tray among them) must not inherit our pipes.
  setsid -w timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# Ends every Wine process of this harness's own prefix (all of them started by it) and the
# Xvfb it started.
harness_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  if [ -n "$HARNESS_XVFB_PID" ]; then
    kill "$HARNESS_XVFB_PID" 2>/dev/null || true
    wait "$HARNESS_XVFB_PID" 2>/dev/null || true
    HARNESS_XVFB_PID=""
  fi
}

# harness_wait_window CAPTION [SECONDS]: wait until a visible window has exactly this caption.
harness_wait_window() {
  local caption=$1 limit=${2:-30} end
  end=$(( $(date +%s) + limit ))
  while [ "$(date +%s)" -le "$end" ]; do
    xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null | head -1 | grep . && return 0
    sleep 0.03
  done
  return 1
}

# harness_wait_file PATH [SECONDS]
harness_wait_file() {
  local path=$1 limit=${2:-30} end
  end=$(( $(date +%s) + limit ))
  while [ "$(date +%s)" -le "$end" ]; do
    [ -e "$path" ] && return 0
    sleep 0.03
  done
  return 1
}

harness_shot() { import -window root "$1"; }
