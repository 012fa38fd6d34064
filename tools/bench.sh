#!/usr/bin/env bash
# The speed and memory a user feels, each figure beside its floor (tools/bench/: small
# programs doing only the unavoidable work with the same calls, built with the same flags).
# Builds the release exes, starts a private 1920x1080x24 Xvfb showing a busy picture (and at
# the end one of 7680x2160 for the freeze and the drop store on a desktop that large), runs
# product and floor alternately (BENCH_RUNS each, at least 7), prints min / median / max, the
# ratio of the medians and the goal, then one line per missed goal or "all goals met", and
# writes the table to bench/last-run.md. Times are taken from outside: the X server reporting
# a window mapped and drawn, or a file appearing under its final name, against the moment the
# input was sent.
#
#   tools/bench.sh                 everything on the primary build (the 32-bit one, or the
#                                  64-bit one where this machine cannot run 32-bit programs);
#                                  idle memory for each build that runs here
#   BENCH_RUNS=9 tools/bench.sh    more runs
#   BENCH_CAPTURE_CYCLES, BENCH_BROWSER_CYCLES, BENCH_STEADY_SECONDS: the steady-memory loops
#   (1000 and 200 cycles, about 0.1 s each here; stopped after 360 s at the latest so that the
#   whole stays under 10 minutes)
#   BENCH_ONLY="start store capture browser steady big": only those groups (while working on one);
#   big is the freeze and the drop store on a 7680x2160 desktop
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TROVELL_BUILD=${TROVELL_BUILD:-$root/build}
RUNS=${BENCH_RUNS:-7}
[ "$RUNS" -ge 7 ] || RUNS=7
CAPTURE_CYCLES=${BENCH_CAPTURE_CYCLES:-1000}
BROWSER_CYCLES=${BENCH_BROWSER_CYCLES:-200}
STEADY_SECONDS=${BENCH_STEADY_SECONDS:-360}
work=$TROVELL_BUILD/bench
began=$(date +%s)

"$root/tools/setup.sh" || { echo "bench: set-up failed" >&2; exit 1; }
# shellcheck source=wine-env.sh
. "$root/tools/wine-env.sh"
mkdir -p "$TROVELL_BUILD" "$root/bench"
# Every figure comes from a build that runs here; PRIMARY is the one the timed figures use.
if [ "$TROVELL_WINE32" = 1 ]; then ARCHES=(i686 x86_64) PRIMARY=32; else ARCHES=(x86_64) PRIMARY=64; fi
targets=(trovell probe bench_watch bench_tray_floor bench_store_floor bench_capture_floor
         bench_browse_floor)
for arch in "${ARCHES[@]}"; do
  cmake -S "$root" -B "$TROVELL_BUILD/$arch" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build "$TROVELL_BUILD/$arch" --target "${targets[@]}" -j"$(nproc)" >"$work.build.log" 2>&1 ||
    { mkdir -p "$work"; cat "$work.build.log" >&2; echo "bench: the $arch build failed" >&2; exit 1; }
done
rm -rf "$work"
mkdir -p "$work/runs" "$work/values" "$work/signals"
cc -O2 -o "$work/xwatch" "$root/tools/bench/xwatch.c" -lX11 -lXdamage -lXtst ||
  { echo "bench: xwatch did not build (tools/setup.sh installs libxdamage-dev libxtst-dev)" >&2; exit 1; }
XW=$work/xwatch
B32=$TROVELL_BUILD/i686 B64=$TROVELL_BUILD/x86_64 BP=$TROVELL_BUILD/x86_64
[ "$PRIMARY" = 32 ] && BP=$B32
ME=$(id -un)

# ---------------------------------------------------------------- the store, prepared once

# 3,650 day folders; the first by name, which Windows and Wine both list first, holds 10,000
# files. Kept between runs of the bench: it takes a few seconds to make.
STORE=$TROVELL_BUILD/bench-store
FIRST=160101
if [ "$(ls "$STORE/$FIRST" 2>/dev/null | wc -l)" -ne 10000 ] || [ ! -f "$STORE/.ready" ]; then
  echo "bench: preparing the store (3,650 day folders, 10,000 files in the first)"
  rm -rf "$STORE"
  mkdir -p "$STORE"
  (cd "$STORE" && for d in $(seq 0 3649); do date -d "2016-01-01 + $d days" +%y%m%d; done | xargs mkdir)
  (cd "$STORE/$FIRST" && seq -f "${FIRST}%06g.bmp" 0 9999 | xargs touch)
  touch "$STORE/.ready"
fi
SECOND=160102
FOLDERS=3650 FILES=10000

# ---------------------------------------------------------------- display and Wine

HARNESS_PREFIX=bench-prefix
# shellcheck source=wine-harness.sh
. "$root/tools/wine-harness.sh"
# Our own server, not one of another root that answers on the same number; a number whose
# last server is still going away is passed over.
XVFB_PID=""
# start_display WIDTHxHEIGHT: an Xvfb of that size showing a busy picture; sets DISPLAY.
start_display() {
  local size=$1 n
  XVFB_PID=""
  for _ in 1 2 3; do
    n=$(harness_free_display) || break
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
    if kill -0 "$XVFB_PID" 2>/dev/null && [[ $(xdpyinfo 2>/dev/null) == *"dimensions:    $size "* ]]; then
      break
    fi
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
    sleep 1
  done
  [ -n "$XVFB_PID" ] || { echo "bench: no Xvfb of our own could be started at $size" >&2; return 1; }
  # A busy screen: soft colour fields under fine noise, nothing a codec or a blit can skip.
  convert -size 480x270 plasma:fractal -resize "$size!" \
    \( -size "$size" xc: +noise Random -colorspace gray \) -compose overlay -composite \
    -type TrueColor "BMP3:$work/busy.bmp"
  # display reports 1 even when the picture is on the root window.
  display -window root "$work/busy.bmp" || true
}
stop_display() {
  kill "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
}
start_display 1920x1080 || exit 1

CLIP_PID=""
cleanup() {
  [ -z "$CLIP_PID" ] || kill "$CLIP_PID" 2>/dev/null
  harness_stop
  stop_display
}
trap cleanup EXIT
trap 'exit 1' INT TERM
harness_start --use-display || { echo "bench: Wine did not start" >&2; exit 1; }

# The tray and menu helpers of the end-to-end tests, and their probe.exe.
# shellcheck source=../tests/e2e/lib.sh
. "$root/tests/e2e/lib.sh"
E2E_PROBE=$BP/probe.exe E2E_TMP=$work/runs E2E_WAIT=20

winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

# The Wine process of a run's exe, by its command line, where Wine shows the exe's path: the
# Unix path for a 32-bit exe, Z:\... for a 64-bit one.
exe_pid() {
  local run name
  run=$(basename "$(dirname "$1")") name=$(basename "$1")
  pgrep -f "runs[/\\]$run[/\\]${name//./\\.}( |\$)" | head -1
}
private_dirty() { awk '/^Private_Dirty/ { print $2 }' "/proc/$1/smaps_rollup" 2>/dev/null; }

# stop_program CAPTION EXE: ask its window to close, then wait until the process has gone.
STOPPING=""
stopped() { [ -z "$(exe_pid "$STOPPING")" ]; }
stop_program() {
  local pid
  STOPPING=$2
  pid=$(exe_pid "$2")
  probe close "$1" >/dev/null 2>&1
  wait_until 20 stopped && return 0
  echo "bench: $2 did not close; killed" >&2
  kill -KILL "$pid" 2>/dev/null
  wait_until 5 stopped
}

tray_empty() { ! xdotool search --onlyvisible --name "^$TRAY_TITLE\$" >/dev/null 2>&1; }

RUN=0
# new_run EXE [INI LINE...]: a fresh application folder with a copy of EXE; sets APP, EXE.
new_run() {
  RUN=$((RUN + 1))
  APP=$work/runs/$RUN
  mkdir -p "$APP"
  cp "$1" "$APP/"
  EXE=$APP/$(basename "$1")
  shift
  [ $# -eq 0 ] || printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$APP/trovell.ini"
}

LAUNCH_WRAP=()
# launch ARGS...: starts the run's exe and waits for its icon on the screen; sets STARTED (ms
# from the start to the tray drawn), LAUNCHED_AT (seconds) and ICON_X/ICON_Y. Each run begins
# with no icon in the tray: its window then appears with the new icon.
launch() {
  local out x y w h
  wait_until 10 tray_empty || { WHY="an icon of an earlier run stayed in the tray"; return 1; }
  LAUNCHED_AT=$(date +%s.%N)
  out=$(cd "$APP" && USER=$ME "$XW" -t 20 launch "${LAUNCH_WRAP[@]}" wine "$EXE" "$@" -- window "$TRAY_TITLE") ||
    { WHY="no tray icon within 20 s"; return 1; }
  STARTED=${out#* }
  read -r x y w h <<<"$(tray_window)"
  ICON_X=$((x + TRAY_ICON_LEFT + TRAY_ICON_SIZE / 2))
  ICON_Y=$((y + TRAY_ICON_TOP + TRAY_ICON_SIZE / 2))
  TRAY_ICON_X=$ICON_X TRAY_ICON_Y=$ICON_Y
  # Wine's tray takes clicks once it has settled.
  sleep 0.3
}

# sleep_until_after SECONDS: until that long after the last launch.
sleep_until_after() {
  local left
  left=$(awk -v a="$LAUNCHED_AT" -v s="$1" -v now="$(date +%s.%N)" 'BEGIN { d = a + s - now; print (d > 0 ? d : 0) }')
  sleep "$left"
}

record() { echo "$3" >>"$work/values/$1.$2"; }  # FIGURE product|floor VALUE
why() { [ -s "$work/values/$1.why" ] || echo "$2" >"$work/values/$1.why"; }  # first reason
# elsewhere FIGURE REASON: a figure of a build this machine cannot run: not measured, not missed.
elsewhere() { echo "$2" >"$work/values/$1.elsewhere"; }

PRODUCT_CAPTION='Velloran トロベル'
LIST_CAPTION='Velloran トロベル一覧'

# ---------------------------------------------------------------- start and idle memory

# start_run product|floor 32|64
start_run() {
  local side=$1 bits=$2 dir=$B32 exe caption
  [ "$bits" = 64 ] && dir=$B64
  if [ "$side" = product ]; then exe=$dir/trovell.exe caption=$PRODUCT_CAPTION
  else exe=$dir/bench_tray_floor.exe caption='bench tray floor'; fi
  new_run "$exe"
  if ! launch; then why "start" "$WHY"; stop_program "$caption" "$EXE"; return; fi
  [ "$bits" = "$PRIMARY" ] && record start "$side" "$STARTED"
  sleep_until_after 3
  local pid
  pid=$(exe_pid "$EXE")
  if [ -n "$pid" ]; then record "idle$bits" "$side" "$(private_dirty "$pid")"
  else why "idle$bits" "the process was not found by its command line"; fi
  stop_program "$caption" "$EXE"
}

# ---------------------------------------------------------------- clipboard stores

clipboard_ready() {
  xclip -quiet -selection clipboard -t image/bmp -i "$work/busy.bmp" >/dev/null 2>&1 &
  CLIP_PID=$!
  probe clip 8 20 >/dev/null || return 1
  # Read once, so that Wine holds the picture: the figures are the store, not the X transfer.
  [ "$(wine "$BP/bench_watch.exe" clipread </dev/null 2>/dev/null)" = "1920 1080" ]
}

BMP_BYTES=$((54 + 1920 * 1080 * 3))

# store_run product|floor bmp|jpeg
store_run() {
  local side=$1 format=$2 figure="store_$2" save=0 caption watch out file
  [ "$format" = jpeg ] && save=1
  if [ "$side" = product ]; then
    new_run "$BP/trovell.exe" "[$ME]" "SAVE=$save" 'CAPC=1'
    caption=$PRODUCT_CAPTION watch=$APP/img/$ME
  else
    new_run "$BP/bench_store_floor.exe"
    caption='bench store floor' watch=$APP/out
    mkdir -p "$watch"
  fi
  local args=()
  [ "$side" = floor ] && args=("$(winpath "$watch")" "$format")
  if ! launch "${args[@]}"; then why "$figure" "$WHY"; stop_program "$caption" "$EXE"; return; fi
  [ "$side" = product ] && ! wait_until 10 test -d "$watch" && why "$figure" "no store root"
  local suffix=.bmp
  [ "$format" = jpeg ] && suffix=.jpg
  if out=$("$XW" -t 20 click "$ICON_X" "$ICON_Y" file "$watch" "$suffix"); then
    file=$(find "$watch" -name "*$suffix" | head -1)
    if [ "$format" = bmp ] && [ "$(stat -c %s "$file" 2>/dev/null)" != "$BMP_BYTES" ]; then
      why "$figure" "$side stored $(stat -c %s "$file" 2>/dev/null) bytes, not $BMP_BYTES"
    else
      record "$figure" "$side" "$out"
    fi
    if [ "$format" = bmp ]; then
      sleep 3
      local pid
      pid=$(exe_pid "$EXE")
      [ -z "$pid" ] || record after_store "$side" "$(private_dirty "$pid")"
    fi
  else
    why "$figure" "$side: no $suffix file within 20 s of the click"
  fi
  stop_program "$caption" "$EXE"
}

# ---------------------------------------------------------------- freeze and drop store

# drag X0 Y0 X1 Y1: a press, moves in steps, a release, with the pauses Wine needs to see
# each position.
drag() {
  xdotool mousemove "$1" "$2" sleep 0.1 mousedown 1 sleep 0.1
  xdotool mousemove $((($1 + $3) / 2)) $((($2 + $4) / 2)) sleep 0.1 mousemove "$3" "$4" sleep 0.1
  xdotool mouseup 1 sleep 0.1
}

# The capture's figures and selection: a second pass on a larger desktop sets them anew.
FREEZE=freeze DROP=drop SEL_W=1000 SEL_H=700
capture_run() {
  local side=$1 caption window watch out
  if [ "$side" = product ]; then
    new_run "$BP/trovell.exe" "[$ME]" 'SAVE=0' 'CAPC=0'
    caption=$PRODUCT_CAPTION window=$CAPTURE_CAPTION watch=$APP/img/$ME
  else
    new_run "$BP/bench_capture_floor.exe"
    caption='bench capture floor' window='bench capture floor 1' watch=$APP/out
    mkdir -p "$watch"
  fi
  local args=()
  [ "$side" = floor ] && args=("$(winpath "$watch")" "$window" "$SEL_W" "$SEL_H")
  if ! launch "${args[@]}"; then why "$FREEZE" "$WHY"; stop_program "$caption" "$EXE"; return; fi
  if ! out=$("$XW" -t 5 click "$ICON_X" "$ICON_Y" window "$window" 2>/dev/null); then
    why "$FREEZE" "$side: no window \"$window\" appeared within 5 s of the tray click"
    why "$DROP" "the capture window did not appear"
    stop_program "$caption" "$EXE"
    return
  fi
  record "$FREEZE" "$side" "${out#* }"
  # A selection from (200, 150) dropped on the drop picture; the next move there stores it.
  local tx ty
  # Under Wine the store starts with the release itself: when the capture window lets the
  # pointer go, the drop picture under it is sent a pointer move. The floor stores on the
  # release.
  local tx ty
  if [ "$side" = product ]; then
    drag 200 150 $((200 + SEL_W)) $((150 + SEL_H))
    xdotool mousemove 700 500 sleep 0.1 mousedown 1 sleep 0.1
    local l t r b
    if read -r l t r b < <(wine "$BP/bench_watch.exe" client "$DROP_CAPTION" 5 </dev/null 2>/dev/null) &&
      [ -n "$b" ]; then
      # Above the label that lies across the middle of the drop picture.
      tx=$((l + (r - l) / 2)) ty=$((t + 16))
      xdotool mousemove $(((700 + tx) / 2)) $(((500 + ty) / 2)) sleep 0.1 mousemove "$tx" "$ty" sleep 0.1
    else
      xdotool mouseup 1
      why "$DROP" "product: no drop window \"$DROP_CAPTION\" after a press on the selection"
      stop_program "$caption" "$EXE"
      return
    fi
  else
    tx=700 ty=500
    xdotool mousemove "$tx" "$ty" sleep 0.1 mousedown 1 sleep 0.1
  fi
  if out=$("$XW" -t 10 release "$tx" "$ty" file "$watch" .bmp); then
    record "$DROP" "$side" "$out"
  else
    why "$DROP" "$side: no .bmp within 10 s of the release over the drop picture"
  fi
  stop_program "$caption" "$EXE"
}

# ---------------------------------------------------------------- browser

SIG=0
# armed_watch CAPTION LIST TREE: starts bench_watch filled in the background and returns once
# it is armed; sets DONE_DIR (the folder where its .done file will appear).
armed_watch() {
  SIG=$((SIG + 1))
  DONE_DIR=$work/signals/$SIG
  mkdir -p "$DONE_DIR"
  wine "$BP/bench_watch.exe" filled "$1" "$2" "$3" "$(winpath "$DONE_DIR/w.done")" \
    "$(winpath "$DONE_DIR/w.ready")" </dev/null >/dev/null 2>&1 &
  WATCH_PID=$!
  wait_until 20 test -e "$DONE_DIR/w.ready"
}

browser_run() {
  local side=$1 caption window out rect x y
  if [ "$side" = product ]; then
    new_run "$BP/trovell.exe"
    caption=$PRODUCT_CAPTION window=$LIST_CAPTION
    mkdir -p "$APP/img"
    ln -s "$STORE" "$APP/img/$ME"
  else
    new_run "$BP/bench_browse_floor.exe"
    caption='bench browse floor' window='bench browse floor list'
  fi
  local args=()
  [ "$side" = floor ] && args=("$(winpath "$STORE")" "$window")
  if ! launch "${args[@]}"; then why browser "$WHY"; stop_program "$caption" "$EXE"; return; fi
  tray_click right
  if ! rect=$(menu_rects 1); then
    why browser "$side: no menu after a right click"
    stop_program "$caption" "$EXE"
    return
  fi
  read -r x y <<<"$(menu_item_centre "$rect" "${MENU_LAYOUT[top]}" "$MENU_LIST")"
  armed_watch "$window" "$FILES" "$FOLDERS"
  if out=$("$XW" -t 20 click "$x" "$y" file "$DONE_DIR" .done); then
    record browser "$side" "$out"
  else
    why browser "$side: no window \"$window\" with $FOLDERS folders and $FILES files within 20 s"
    why folder "the browser did not open"
    kill "$WATCH_PID" 2>/dev/null
    stop_program "$caption" "$EXE"
    return
  fi
  wait "$WATCH_PID" 2>/dev/null
  # Another node first (an empty folder), then the timed click on the 10,000-file node.
  local second first
  second=$(wine "$BP/bench_watch.exe" treeitem "$window" 1 </dev/null 2>/dev/null)
  first=$(wine "$BP/bench_watch.exe" treeitem "$window" 0 </dev/null 2>/dev/null)
  if [ -z "$second" ] || [ -z "$first" ]; then
    why folder "$side: the tree's first nodes were not found"
  else
    armed_watch "$window" 0 0
    read -r x y <<<"$second"
    xdotool mousemove "$x" "$y" sleep 0.1 click 1
    if wait_until 20 test -e "$DONE_DIR/w.done"; then
      armed_watch "$window" "$FILES" 0
      read -r x y <<<"$first"
      if out=$("$XW" -t 20 click "$x" "$y" file "$DONE_DIR" .done); then
        record folder "$side" "$out"
      else
        why folder "$side: the list did not fill within 20 s of the click"
      fi
    else
      why folder "$side: a click on node $SECOND did not empty the list"
    fi
    kill "$WATCH_PID" 2>/dev/null
  fi
  stop_program "$caption" "$EXE"
}

# ---------------------------------------------------------------- steady memory

# A window of that name is visible on the X display (xdotool answers in milliseconds, where a
# probe.exe launch takes tens).
x_shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
x_gone() { wait_until 5 eval '! x_shown "$1"'; }

DROP_AT=""
# One capture-store-close cycle as a person does it, fast: freeze, select, drag onto the drop
# picture, release (stores), right click (closes). The stored file is removed again, so that
# a thousand cycles do not fill the disk.
capture_cycle() {
  local l t r b
  "$XW" -t 5 -q 20 click "$ICON_X" "$ICON_Y" window "$CAPTURE_CAPTION" >/dev/null || return 1
  xdotool mousemove 200 150 sleep 0.03 mousedown 1 sleep 0.03 mousemove 700 500 sleep 0.03 \
    mousemove 1200 850 sleep 0.03 mouseup 1 sleep 0.03 mousemove 700 500 sleep 0.03 mousedown 1
  if [ -z "$DROP_AT" ]; then
    read -r l t r b < <(wine "$BP/bench_watch.exe" client "$DROP_CAPTION" 5 </dev/null 2>/dev/null)
    [ -n "${b:-}" ] || { xdotool mouseup 1; return 1; }
    DROP_AT="$((l + (r - l) / 2)) $((t + 16))"
  else
    wait_until 5 x_shown "$DROP_CAPTION" || { xdotool mouseup 1; return 1; }
  fi
  local tx ty
  read -r tx ty <<<"$DROP_AT"
  xdotool sleep 0.03 mousemove 400 300 sleep 0.03 mousemove "$tx" "$ty" sleep 0.03
  "$XW" -t 5 release "$tx" "$ty" file "$APP/img/$ME" .bmp >/dev/null || return 1
  find "$APP/img/$ME" -name '*.bmp' -delete
  xdotool mousemove 1000 1000 click 3
  x_gone "$CAPTURE_CAPTION"
}

MENU_AT="" CLOSE_AT=""
# One browser opening: the menu item, then the toolbar's 閉じる, as a person closes it.
browser_cycle() {
  if [ -z "$MENU_AT" ]; then
    tray_click right
    local rect
    rect=$(menu_rects 1) || return 1
    MENU_AT=$(menu_item_centre "$rect" "${MENU_LAYOUT[top]}" "$MENU_LIST")
    xdotool mousemove $MENU_AT
  else
    xdotool mousemove "$ICON_X" "$ICON_Y" click 3 sleep 0.15 mousemove $MENU_AT sleep 0.05
  fi
  "$XW" -t 10 -q 20 click $MENU_AT window "$LIST_CAPTION" >/dev/null || return 1
  if [ -z "$CLOSE_AT" ]; then
    local l t r b
    read -r l t r b < <(wine "$BP/bench_watch.exe" client "$LIST_CAPTION" 5 </dev/null 2>/dev/null)
    [ -n "${b:-}" ] || return 1
    CLOSE_AT="$((l + 18)) $((t + 17))"  # the first of the 37 x 35 toolbar buttons
  fi
  xdotool mousemove $CLOSE_AT sleep 0.05 click 1
  x_gone "$LIST_CAPTION"
}

# GetGuiResources is a stub under Wine (0 for any process), but Wine's own trace of GDI handles
# counts every one the process makes and frees ("allocated bitmap 0x… 57/…"; a free shows the
# count before it): the last count is the number alive. Only the counts are kept.
GDI_LOG="" GDI_SEEN=()
# Under Wine the count at rest is not one number: the image lists of the last closed browser
# (bitmaps, memory DCs) stay alive until the process next handles X input, so it moves within
# a band (202-214 over the checkpoints of one run) without growing. A leak of one object in 60
# cycles of the 1,000 would leave that band.
GDI_BAND=16
GDI_COUNTER='/:(alloc|free)_gdi_handle / { split($NF, c, "/"); print c[1] - (/ freed / ? 1 : 0); fflush() }'
gdi_objects() { local n; n=$(tail -1 "$GDI_LOG" 2>/dev/null); echo "${n:-0}"; }

# quarters WHAT TOTAL DONE SECONDS ACTION ARGS...: xwatch's rounds of ACTION, a quarter of TOTAL
# at a time, until DONE (at least the first) reaches TOTAL or SECONDS have passed; the GDI count
# at rest after each quarter goes to GDI_SEEN. Sets DONE.
quarters() {
  local what=$1 total=$2 seconds=$4 quarter=$((($2 + 2) / 4)) end n status
  DONE=$3
  shift 4
  end=$(($(date +%s) + seconds))
  while [ "$DONE" -ge 1 ] && [ "$DONE" -lt "$total" ] && [ "$(date +%s)" -lt "$end" ]; do
    n=$("$XW" -t 10 -d $((end - $(date +%s))) "$1" $((total - DONE < quarter ? total - DONE : quarter)) \
      "${@:2}" 2>"$work/steady.err")
    status=$?
    DONE=$((DONE + ${n:-0}))
    sleep 1
    GDI_SEEN+=("$(gdi_objects)")
    [ "$status" -ne 3 ] || { why steady "$what $((DONE + 1)): $(cat "$work/steady.err")"; return; }
  done
}

steady_run() {
  new_run "$BP/trovell.exe" "[$ME]" 'SAVE=0' 'CAPC=0'
  mkdir -p "$APP/img/$ME"
  GDI_LOG=$work/steady.gdi
  # shellcheck disable=SC2016
  LAUNCH_WRAP=(env WINEDEBUG=-all,trace+gdi bash -c 'log=$1 prog=$2; shift 2
    exec "$@" 2> >(exec awk "$prog" >"$log")' gdi "$GDI_LOG" "$GDI_COUNTER")
  launch
  local started=$?
  LAUNCH_WRAP=()
  if [ "$started" -ne 0 ]; then why steady "$WHY"; stop_program "$PRODUCT_CAPTION" "$EXE"; return; fi
  local pid cycles=0 opened=0 first
  pid=$(exe_pid "$EXE")
  # After the first of each: what a first use loads for good is not growth.
  capture_cycle && cycles=1
  browser_cycle && opened=1
  sleep 1
  first="$(private_dirty "$pid") $(gdi_objects)"
  GDI_SEEN=()
  # The rest in one process per quarter, so that all of them fit into minutes; the GDI count
  # at rest after each quarter shows whether it grows with the cycles.
  quarters "capture cycle" "$CAPTURE_CYCLES" "$cycles" $((STEADY_SECONDS * 3 / 4)) captures \
    "$ICON_X" "$ICON_Y" "$CAPTURE_CAPTION" "$DROP_CAPTION" $DROP_AT "$APP/img/$ME"
  cycles=$DONE
  quarters "browser opening" "$BROWSER_CYCLES" "$opened" $((STEADY_SECONDS / 4)) openings \
    "$ICON_X" "$ICON_Y" $MENU_AT $CLOSE_AT "$LIST_CAPTION"
  opened=$DONE
  if [ "$cycles" -eq 0 ] && [ "$opened" -eq 0 ]; then
    why steady "neither a capture-store-close cycle nor a browser opening could be completed"
  else
    STEADY="$first $(private_dirty "$pid") $(gdi_objects) $cycles $opened"
  fi
  stop_program "$PRODUCT_CAPTION" "$EXE"
}

# ---------------------------------------------------------------- running

only() { [ -z "${BENCH_ONLY:-}" ] || [[ " $BENCH_ONLY " == *" $1 "* ]]; }
[ "$PRIMARY" = 32 ] || elsewhere idle32 "the 32-bit build cannot run here: $TROVELL_WINE32_WHY"
echo "bench: $RUNS runs each, product and floor alternately, on DISPLAY=$DISPLAY"
progress() { printf 'bench: %-28s %3ds\n' "$1" $(($(date +%s) - began)); }
if only start; then
  if [ "$PRIMARY" = 32 ]; then
    for i in $(seq 1 "$RUNS"); do start_run product 32; start_run floor 32; done
    progress "start, idle memory (32-bit)"
  fi
  for i in $(seq 1 "$RUNS"); do start_run product 64; start_run floor 64; done
  progress "idle memory (64-bit)"
fi
if ! only store; then
  :
elif clipboard_ready; then
  for i in $(seq 1 "$RUNS"); do store_run product bmp; store_run floor bmp; done
  for i in $(seq 1 "$RUNS"); do store_run product jpeg; store_run floor jpeg; done
else
  why store_bmp "the X clipboard's picture did not reach Wine's clipboard"
  why store_jpeg "the X clipboard's picture did not reach Wine's clipboard"
fi
only store && progress "clipboard stores"
only capture && capture_run product
if [ -s "$work/values/freeze.product" ]; then
  capture_run floor
  for i in $(seq 2 "$RUNS"); do capture_run product; capture_run floor; done
fi
only capture && progress "freeze, drop store"
only browser && browser_run product
if [ -s "$work/values/browser.product" ]; then
  browser_run floor
  for i in $(seq 2 "$RUNS"); do browser_run product; browser_run floor; done
fi
only browser && progress "browser open, folder click"
STEADY=""
if ! only steady; then
  why steady "not run (BENCH_ONLY)"
else
  steady_run
fi
only steady && progress "steady memory"
# Two 4K monitors' worth of desktop: the freeze copies 7680 x 2160, and a selection across
# both halves is stored. One Xvfb screen of that size: Wine sees one monitor, and the copy,
# the picture and the store are those of the two-monitor desktop.
BIG=7680x2160
if only big; then
  harness_stop
  stop_display
  if start_display "$BIG" && harness_start --use-display; then
    FREEZE=freeze_big DROP=drop_big SEL_W=7200 SEL_H=1800
    capture_run product
    if [ -s "$work/values/$FREEZE.product" ]; then
      capture_run floor
      for i in $(seq 2 "$RUNS"); do capture_run product; capture_run floor; done
    fi
  else
    why freeze_big "no Xvfb or Wine at $BIG"
    why drop_big "no Xvfb or Wine at $BIG"
  fi
  progress "freeze, drop store at $BIG"
fi

# ---------------------------------------------------------------- the table

# stats FILE: "min median max count"
stats() {
  sort -g "$1" | awk '{ v[NR] = $1 } END {
    if (NR == 0) exit 1
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%s %s %s %d\n", v[1], m, v[NR], NR }'
}

missed=() unmeasured=()
rows=()
# row FIGURE LABEL UNIT KIND LIMIT [BITS]: KIND ratio (median ratio <= LIMIT) or plus (product
# median <= floor median + LIMIT, in the figure's unit); BITS the build it comes from (the
# primary one unless named).
row() {
  local figure=$1 label=$2 unit=$3 kind=$4 limit=$5 build="${6:-$PRIMARY}-bit" p f pmin pmed pmax pn fmin fmed fmax fn
  local goal ratio verdict
  if [ "$kind" = ratio ]; then goal="≤ ${limit}x"; else goal="≤ floor + $limit $unit"; fi
  if ! p=$(stats "$work/values/$figure.product" 2>/dev/null) || ! f=$(stats "$work/values/$figure.floor" 2>/dev/null); then
    local reason
    if [ -s "$work/values/$figure.elsewhere" ]; then
      reason=$(cat "$work/values/$figure.elsewhere")
      rows+=("| $label | $build | not measured: $reason | | | $goal | — |")
      unmeasured+=("$label ($build): $reason")
      return
    fi
    reason=$(cat "$work/values/$figure.why" 2>/dev/null)
    rows+=("| $label | $build | not measured: ${reason:-no run completed} | | | $goal | — |")
    missed+=("$label: not measured: ${reason:-no run completed}")
    return
  fi
  read -r pmin pmed pmax pn <<<"$p"
  read -r fmin fmed fmax fn <<<"$f"
  ratio=$(awk -v a="$pmed" -v b="$fmed" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  if [ "$kind" = ratio ]; then
    # On the medians themselves: the printed ratio is rounded.
    verdict=$(awk -v a="$pmed" -v b="$fmed" -v l="$limit" 'BEGIN { print (a <= b * l ? "met" : "MISSED") }')
  else
    verdict=$(awk -v a="$pmed" -v b="$fmed" -v l="$limit" 'BEGIN { print (a <= b + l ? "met" : "MISSED") }')
  fi
  local note=""
  [ "$pn" -ge "$RUNS" ] && [ "$fn" -ge "$RUNS" ] || note=" (runs: $pn/$fn of $RUNS)"
  rows+=("| $label | $build | $pmin / $pmed / $pmax $unit | $fmin / $fmed / $fmax $unit | $ratio | $goal | $verdict$note |")
  [ "$verdict" = met ] || missed+=("$label: $pmed $unit against the floor's $fmed $unit (goal $goal)")
}

row start "start (process → tray icon drawn)" ms plus 20
row idle32 "idle memory (3 s after start)" KB plus 1024 32
row idle64 "idle memory (3 s after start)" KB plus 1024 64
row after_store "memory 3 s after a 1920x1080 store" KB plus 1024
row freeze "freeze (tray click → capture window drawn)" ms ratio 1.3
row store_bmp "clipboard store BMP (click → final name)" ms ratio 1.2
row store_jpeg "clipboard store JPEG (click → final name)" ms ratio 1.1
row drop "drop store 1000x700 (release → final name)" ms ratio 1.2
row freeze_big "freeze on a 7680x2160 desktop" ms ratio 1.3
row drop_big "drop store 7200x1800 on that desktop" ms ratio 1.2
row browser "browser open (click → tree and list filled)" ms ratio 1.5
row folder "folder click (10,000 files → list filled)" ms ratio 1.5

if [ -n "$STEADY" ]; then
  read -r m0 g0 m1 g1 cyc opn <<<"$STEADY"
  growth=$((m1 - m0))
  v=$( [ "$growth" -le 1024 ] && echo met || echo MISSED )
  rows+=("| steady memory ($cyc of $CAPTURE_CYCLES capture cycles, $opn of $BROWSER_CYCLES browser openings; after the first of each → after the last) | $PRIMARY-bit | $m0 → $m1 KB (+$growth KB) | | | growth ≤ 1024 KB | $v |")
  [ "$v" = met ] || missed+=("steady memory: grew by $growth KB")
  [ "$cyc" -ge "$CAPTURE_CYCLES" ] && [ "$opn" -ge "$BROWSER_CYCLES" ] ||
    missed+=("steady memory: only $cyc of $CAPTURE_CYCLES capture cycles and $opn of $BROWSER_CYCLES browser openings fit into $STEADY_SECONDS s")
  if [ "$g0" -eq 0 ]; then
    rows+=("| GDI objects | $PRIMARY-bit | not measured: Wine wrote no trace of GDI handles | | | no growth: every count at rest ≤ first + $GDI_BAND | — |")
    missed+=("GDI objects: not measured")
  else
    seen=$(IFS=,; echo "${GDI_SEEN[*]}" | sed 's/,/, /g')
    read -r low high < <(printf '%s\n' "$g0" "$g1" "${GDI_SEEN[@]}" | sort -n | sed -n '1p;$p' | xargs)
    # A leak grows with the cycles; the goal is no count at rest above the first by more than
    # Wine's own band (see GDI_BAND).
    v=$( [ $((high - g0)) -le "$GDI_BAND" ] && echo met || echo MISSED )
    rows+=("| GDI objects alive (Wine's count; GetGuiResources is a stub there), the same moments; at rest after each quarter of the captures and of the openings: $seen | $PRIMARY-bit | $g0 → $g1 (at rest $low–$high) | | | no growth: every count at rest ≤ first + $GDI_BAND | $v |")
    [ "$v" = met ] ||
      missed+=("GDI objects: $g0 after the first cycles, up to $high at rest after later ones (more than $GDI_BAND above)")
  fi
else
  reason=$(cat "$work/values/steady.why" 2>/dev/null)
  rows+=("| steady memory | $PRIMARY-bit | not measured: $reason | | | growth ≤ 1024 KB | — |")
  missed+=("steady memory: not measured: $reason")
fi

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
cores=$(nproc)
wine_version=$(wine --version 2>/dev/null)
load=$(cut -d' ' -f1-3 /proc/loadavg)
took=$(($(date +%s) - began))
{
  echo "# Benchmark: last run"
  echo
  echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "- CPU: $cpu ($cores cores); load average at the end: $load"
  echo "- Wine: $wine_version; Xvfb 1920x1080x24 (the last two capture rows: $BIG) with a busy picture; the build column names the exe each figure came from"
  echo "- Runs: $RUNS each for product and floor, alternately; min / median / max; took $took s"
  echo
  echo "| Figure | Build | Product | Floor | Ratio | Goal | Verdict |"
  echo "|---|---|---|---|---|---|---|"
  printf '%s\n' "${rows[@]}"
  echo
  if [ ${#missed[@]} -eq 0 ]; then echo "all goals met"; else printf -- '- %s\n' "${missed[@]}"; fi
  [ ${#unmeasured[@]} -eq 0 ] || printf -- '- not measured on this machine: %s\n' "${unmeasured[@]}"
  if [ -n "$STEADY" ] && { [ "$cyc" -lt "$CAPTURE_CYCLES" ] || [ "$opn" -lt "$BROWSER_CYCLES" ]; }; then
    echo
    echo "Steady memory ran as many cycles as fit into $STEADY_SECONDS s, so that the whole bench"
    echo "stays under 10 minutes; BENCH_STEADY_SECONDS=900 tools/bench.sh runs all of them."
  fi
} >"$root/bench/last-run.md.new"
mv "$root/bench/last-run.md.new" "$root/bench/last-run.md"
sed -n '/^| Figure/,$p' "$root/bench/last-run.md"
echo "bench: wrote bench/last-run.md in $took s"
