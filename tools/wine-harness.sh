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

# Prefix prepared once and kept: a fresh one costs ~20 s, reuse is free.
harness_prefix() {
  local prefix="$TROVELL_BUILD/wine-prefix" own="$TROVELL_BUILD/${HARNESS_PREFIX:-wine-prefix}"
  if [ ! -f "$prefix/.trovell-ready" ]; then
    rm -rf "$prefix"
    mkdir -p "$TROVELL_BUILD"
    echo "harness: preparing Wine prefix in $prefix" >&2
    WINEPREFIX="$prefix" wineboot -i >/dev/null 2>&1 </dev/null || true
    WINEPREFIX="$prefix" wineserver -w
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    # Managed=N: Wine draws frames itself and never waits for a window manager.
    # ShowCrashDialog=0: a crash ends the process instead of blocking in winedbg.
    WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
    WINEPREFIX="$prefix" wineserver -w
    touch "$prefix/.trovell-ready"
  fi
  # A copy of the prepared prefix costs seconds where a new one costs twenty.
  if [ "$own" != "$prefix" ] && [ ! -f "$own/.trovell-ready" ]; then
    rm -rf "$own"
    cp -a "$prefix" "$own"
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
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
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
  wineserver -p
  # Wine's own background processes must not inherit our pipes.
  timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
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
