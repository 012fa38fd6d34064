# Shared helpers of the end-to-end scripts: sourced by tests/e2e/test_*.sh, which ctest runs
# as `bash script <trovell.exe> <probe.exe>` inside the environment of harness_start
# (DISPLAY, WINEPREFIX, LANG=ja_JP.UTF-8 ...). Every process a script starts is remembered
# by pid and only those are stopped. Exit codes: 0 all checks passed, 1 a check failed,
# 77 skipped because Wine cannot do what a check needs.

set -u
# shellcheck source=../../tools/wine-env.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"

RESIDENT_CAPTION='Velloran トロベル'
MSGBOX_CAPTION='Velloran Trovell'
CAPTURE_CAPTION='1'
DROP_CAPTION='         トロベルに追加'
TEXT_ALREADY_RUNNING='このアプリケーションはすでに起動しています'
TEXT_NOT_SAVED='画像を保存できませんでした。'

# Geometry of Wine 8's own tray (no XEMBED tray manager on the display) and of its popup
# menus, measured on Xvfb 1280x800 with Managed=N. Offsets are from the X window's origin.
TRAY_TITLE='Wine System Tray'
TRAY_ICON_LEFT=5    # first icon's left edge
TRAY_ICON_TOP=25    # icons' top edge, below the caption Wine draws
TRAY_ICON_SIZE=16
TRAY_ICON_PITCH=20  # icons are added left to right; the newest is the last
MENU_PAD=3          # frame and margin above the first and below the last item
MENU_SEPARATOR=9    # an item's height follows the font, so it is measured from the menu
# Layout of the tray menu (I item, S separator) and of its submenus by the index path of
# the item that opens them; indices count separators, as menu positions do.
declare -A MENU_LAYOUT=([top]="IISIISI" ["3"]="II" ["4"]="II")
MENU_CAPTURE=0 MENU_LIST=1 MENU_FORMAT=3 MENU_METHOD=4 MENU_QUIT=6
SUB_BMP=0 SUB_JPEG=1 SUB_SELF=0 SUB_CLIPBOARD=1

E2E_POLL=0.03
E2E_WAIT=30
E2E_BUDGET=240

E2E_EXE="" E2E_PROBE="" E2E_TMP="" E2E_FAILED=0 E2E_CHECKS=0 E2E_PIDS=() E2E_START=0
APP="" APP_PID="" APP_ARGS=() APP_LOG_FROM=1 APP_SEQ=0 TRAY_ICONS_BEFORE=0 TRAY_ICON_X="" TRAY_ICON_Y=""

note() { printf '%s\n' "$*" | sed 's/^/   /'; }

# e2e_init "$@": the two paths ctest passes; sets up the scratch folder and the cleanup.
e2e_init() {
  E2E_START=$(date +%s.%N)
  [ $# -ge 2 ] || { echo "usage: bash $0 <trovell.exe> <probe.exe>" >&2; exit 2; }
  E2E_EXE=$(readlink -f "$1") E2E_PROBE=$(readlink -f "$2")
  local missing="" tool
  for tool in wine xdotool import convert compare identify xclip iconv timeout; do
    command -v "$tool" >/dev/null || missing="$missing $tool"
  done
  [ -z "$missing" ] || { echo "FAIL: missing tools:$missing (tools/setup.sh)" >&2; exit 1; }
  [ -n "${DISPLAY:-}" ] && [ -n "${WINEPREFIX:-}" ] ||
    { echo "FAIL: run inside the harness (source tools/wine-harness.sh; harness_start)" >&2; exit 1; }
  [ -f "$E2E_EXE" ] && [ -f "$E2E_PROBE" ] || { echo "FAIL: $E2E_EXE or $E2E_PROBE missing" >&2; exit 1; }
  local why
  why=$(wine_runs "$E2E_EXE") || skip "$why"
  E2E_TMP=$(mktemp -d /tmp/trovell-e2e.XXXXXX)
  trap e2e_cleanup EXIT
  trap 'exit 1' INT TERM
  echo "== $(basename "$0") against $E2E_EXE"
}

e2e_cleanup() {
  local pid child
  release_pointer
  for pid in "${E2E_PIDS[@]}"; do
    if alive "$pid"; then
      # The exe is timeout's child: killing it first lets timeout reap it and end, so no
      # zombie is left to init. A killed Wine process leaves nothing behind in the server.
      child=$(pgrep -P "$pid" | head -1)
      kill -KILL "${child:-$pid}" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
  done
  E2E_PIDS=()
  if [ -n "$E2E_TMP" ]; then
    if [ "$E2E_FAILED" -eq 0 ] || [ -n "${E2E_KEEP:-}" ]; then
      [ -n "${E2E_KEEP:-}" ] && echo "kept $E2E_TMP" || rm -rf "$E2E_TMP"
    else
      echo "files of the failed run kept in $E2E_TMP"
    fi
  fi
}

# release_pointer: no button left down and the pointer in the far corner, away from where
# windows open. A process killed during a drag leaves the button down in Wine's input state,
# and the next window under the pointer would then start a move loop that waits for ever.
release_pointer() {
  xdotool mouseup 1 2>/dev/null
  xdotool mouseup 3 2>/dev/null
  xdotool mousemove "$(($(xdotool getdisplaygeometry | cut -d' ' -f1) - 1))" \
    "$(($(xdotool getdisplaygeometry | cut -d' ' -f2) - 1))" 2>/dev/null
}

# check DESCRIPTION COMMAND...: one acceptance check, reported either way.
check() {
  local what=$1
  shift
  # Stop in time for the cleanup when failing checks wait out their time-outs, before
  # ctest's own limit of 300 s kills the script.
  [ $(($(date +%s) - ${E2E_START%.*})) -le "$E2E_BUDGET" ] ||
    fail_now "stopped after $E2E_BUDGET s, before: $what"
  E2E_CHECKS=$((E2E_CHECKS + 1))
  if "$@"; then
    echo "ok   - $what"
  else
    echo "FAIL - $what"
    E2E_FAILED=$((E2E_FAILED + 1))
  fi
}

# fail_now REASON: a step the remaining checks depend on did not happen.
fail_now() {
  echo "FAIL - $*"
  E2E_FAILED=$((E2E_FAILED + 1))
  if [ -s "$E2E_TMP/trovell.log" ]; then
    note "what Wine printed for trovell.exe:"
    note "$(iconv -f CP932 -t UTF-8 -c "$E2E_TMP/trovell.log" | tail -20)"
  fi
  e2e_finish
}

# skip REASON: Wine cannot do what the check needs; never used for a product fault.
skip() {
  echo "SKIP: $*"
  [ "$E2E_FAILED" -eq 0 ] || exit 1
  exit 77
}

e2e_finish() {
  local took
  took=$(awk -v a="$E2E_START" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
  if [ "$E2E_FAILED" -eq 0 ]; then
    printf '== %s: all %d checks passed in %.1f s\n' "$(basename "$0")" "$E2E_CHECKS" "$took"
    exit 0
  fi
  printf '== %s: %d of %d checks FAILED (%.1f s)\n' "$(basename "$0")" "$E2E_FAILED" "$E2E_CHECKS" "$took"
  exit 1
}

# wait_until SECONDS COMMAND...: poll until the command succeeds.
wait_until() {
  local limit=$1 end
  shift
  end=$(($(date +%s%N) + ${limit%.*} * 1000000000))
  while :; do
    "$@" && return 0
    [ "$(date +%s%N)" -lt "$end" ] || return 1
    sleep "$E2E_POLL"
  done
}

# probe ARGS...: run probe.exe; status 0 yes, 1 no. Wine now and then fails to launch a
# program at all (its start.exe then reports "ShellExecuteEx failed" and returns 1, which the
# probe never does): that launch is repeated, and its words are not passed on.
probe() {
  local out rc attempt
  for attempt in 1 2 3; do
    out=$(timeout --kill-after=5 90 wine "$E2E_PROBE" "$@" </dev/null 2>/dev/null)
    rc=$?
    case $rc in
      0 | 2) break ;;
      3) rc=1 && break ;;
    esac
    echo "   (Wine could not launch probe.exe $1, status $rc; again)" >&2
  done
  [ -z "$out" ] || printf '%s\n' "$out"
  return "$rc"
}

# ---------------------------------------------------------------- application folders

# app_new [--with-img]: a fresh application folder holding a copy of the exe; sets APP.
app_new() {
  APP_SEQ=$((APP_SEQ + 1))
  APP="$E2E_TMP/app$APP_SEQ"
  mkdir -p "$APP"
  cp "$E2E_EXE" "$APP/trovell.exe"
  [ "${1:-}" != "--with-img" ] || mkdir "$APP/img"
}

# app_write_ini LINE...: trovell.ini as Windows writes it, code page 932 with CRLF.
app_write_ini() {
  printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$APP/trovell.ini"
}

# app_start [NAME=VALUE...]: start the exe ($APP_EXE, else trovell.exe) in the background from
# an unrelated folder, so that it must find its own folder; sets APP_PID (the pid of its
# `timeout` wrapper).
app_start() {
  APP_ARGS=("$@")
  APP_LOG_FROM=$(( $(stat -c %s "$E2E_TMP/trovell.log" 2>/dev/null || echo 0) + 1 ))
  TRAY_ICONS_BEFORE=$(tray_count_icons)
  mkdir -p "$E2E_TMP/cwd"
  (cd "$E2E_TMP/cwd" && exec env "$@" timeout --kill-after=5 240 wine "$APP/${APP_EXE:-trovell.exe}" \
    </dev/null >>"$E2E_TMP/trovell.log" 2>&1) &
  APP_PID=$!
  E2E_PIDS+=("$APP_PID")
}

# start_clipping: a fresh application folder whose left click clips and stores BMP, the
# program started there and its icon found in the tray; sets PID.
start_clipping() {
  app_new
  app_write_ini "[$(id -un)]" 'SAVE=0' 'CAPC=0'
  app_start USER="$(id -un)"
  PID=$APP_PID
  wait_resident || fail_now "start: no resident window '$RESIDENT_CAPTION'"
  tray_require
}

# size_is FILE "FORMAT WxH": the picture file is of that format and size.
size_is() {
  local got
  got=$(identify -format '%m %wx%h' "$1") || return 1
  [ "$got" = "$2" ] || { note "$(basename "$1") is $got, not $2"; return 1; }
}

# alive PID: the process has not ended (a zombie has).
alive() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "${state#Z}" = "$state" ]
}

ended() { ! alive "$1"; }

# wait_exit PID [SECONDS]: wait for the end of a process we started, and reap it.
wait_exit() {
  wait_until "${2:-$E2E_WAIT}" ended "$1" || return 1
  wait "$1" 2>/dev/null
  return 0
}

# kill_app PID: kill -9 of the exe process itself, as a crash or the task manager would.
kill_app() {
  local child
  for child in $(pgrep -P "$1"); do kill -KILL "$child"; done
}

# wait_resident [SECONDS]: the resident window of the last start exists. Wine, rarely, fails
# to launch a program at all ("ShellExecuteEx" in its output): that start is made once more.
wait_resident() {
  probe wait "$RESIDENT_CAPTION" "${1:-$E2E_WAIT}" && return 0
  if [ -n "$APP_PID" ] && ended "$APP_PID" && tail -c "+$APP_LOG_FROM" "$E2E_TMP/trovell.log" | grep -q ShellExecuteEx; then
    echo "   (Wine could not launch trovell.exe; again)" >&2
    app_start "${APP_ARGS[@]}"
    probe wait "$RESIDENT_CAPTION" "${1:-$E2E_WAIT}" && return 0
  fi
  return 1
}
close_resident() { probe close "$RESIDENT_CAPTION"; }

# ---------------------------------------------------------------- screen

shot() { import -window root "$1"; }

# pixels_unlike FILE GEOMETRY COLOUR: how many pixels of the region differ from the colour.
pixels_unlike() {
  convert "$1" -crop "$2" +repage -alpha off \( +clone -fill "$3" -colorize 100 \) \
    -compose difference -composite -threshold 0 -format '%[fx:round(mean*w*h)]' info:
}

# pixel FILE X Y: the colour as #RRGGBB.
pixel() { convert "$1" -format "#%[hex:p{$2,$3}]" info: | cut -c1-7; }

same_pixels() {
  local ae
  ae=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  [ "$ae" = "0" ] || { note "compare $1 $2: $ae pixels differ"; return 1; }
}

# ---------------------------------------------------------------- tray

# tray_window: "X Y WIDTH HEIGHT" of Wine's tray window while it is shown.
tray_window() {
  local id
  id=$(xdotool search --onlyvisible --name "^$TRAY_TITLE\$" 2>/dev/null | head -1)
  [ -n "$id" ] || return 1
  (eval "$(xdotool getwindowgeometry --shell "$id")" && echo "$X $Y $WIDTH $HEIGHT")
}

# tray_count_icons [SHOT]: how many icon cells of the tray are drawn (0 while it is hidden).
tray_count_icons() {
  local geometry x y w h file=${1:-$E2E_TMP/tray-count.png} bg k=0 cx
  geometry=$(tray_window) || { echo 0; return; }
  read -r x y w h <<<"$geometry"
  shot "$file"
  # Left of the first icon there is only the tray's background.
  bg=$(pixel "$file" $((x + TRAY_ICON_LEFT - 2)) $((y + TRAY_ICON_TOP + TRAY_ICON_SIZE / 2)))
  while :; do
    cx=$((x + TRAY_ICON_LEFT + k * TRAY_ICON_PITCH))
    [ $((cx + TRAY_ICON_SIZE)) -le $((x + w)) ] || break
    [ "$(pixels_unlike "$file" "${TRAY_ICON_SIZE}x${TRAY_ICON_SIZE}+$cx+$((y + TRAY_ICON_TOP))" "$bg")" -gt 0 ] || break
    k=$((k + 1))
  done
  echo "$k"
}

# tray_find [SECONDS]: wait for the icon added since app_start; sets TRAY_ICON_X/Y (centre)
# and TRAY_SHOT (the screenshot that shows it).
tray_find() {
  local end n x y w h
  end=$(($(date +%s) + ${1:-$E2E_WAIT}))
  TRAY_SHOT="$E2E_TMP/tray.png"
  while :; do
    n=$(tray_count_icons "$TRAY_SHOT")
    [ "$n" -gt "$TRAY_ICONS_BEFORE" ] && break
    [ "$(date +%s)" -lt "$end" ] || return 1
    sleep "$E2E_POLL"
  done
  read -r x y w h <<<"$(tray_window)"
  TRAY_ICON_X=$((x + TRAY_ICON_LEFT + (n - 1) * TRAY_ICON_PITCH + TRAY_ICON_SIZE / 2))
  TRAY_ICON_Y=$((y + TRAY_ICON_TOP + TRAY_ICON_SIZE / 2))
}

# tray_require: tray_find, or end the script. Under a virtual desktop Wine puts the icons
# into the desktop's own taskbar, where the geometry above does not hold: that is a skip.
tray_require() {
  tray_find && return 0
  if xdotool search --onlyvisible --name ' - Wine desktop$' >/dev/null 2>&1; then
    skip "Wine runs a virtual desktop; its tray is not the '$TRAY_TITLE' window these clicks need"
  fi
  fail_now "no tray icon appeared in '$TRAY_TITLE' within $E2E_WAIT s"
}

icons_are() { [ "$(tray_count_icons)" -eq "$1" ]; }

# tray_click left|right: a real click of the X pointer on the icon found by tray_find.
tray_click() {
  local button=1
  [ "$1" = right ] && button=3
  xdotool mousemove "$TRAY_ICON_X" "$TRAY_ICON_Y" click "$button"
}

# tray_tip TEXT_START: hover over the icon and print the text of the tooltip Wine's tray
# shows for it.
tray_tip() {
  local tip x y w h
  read -r x y w h <<<"$(tray_window)"
  # Wine learns of pointer moves only over its own windows, and the tip of an icon shows
  # once per entry: rest on the tray's caption until no tip is up, then enter the icon.
  xdotool mousemove $((x + w / 2)) $((y + 10))
  probe notshown tooltips_class32 "$1" || return 1
  xdotool mousemove "$TRAY_ICON_X" "$TRAY_ICON_Y"
  tip=$(probe shown tooltips_class32 "$1") || return 1
  printf '%s' "${tip#* }"
}

# ---------------------------------------------------------------- popup menu

# menu_rects COUNT: wait until exactly COUNT popup menus are shown; one "l t r b pid" each.
menu_rects() { probe menus "$1" "${2:-$E2E_WAIT}"; }

# menu_item_centre "L T R B" LAYOUT INDEX: screen point in the middle of that item.
menu_item_centre() {
  local l t r b layout=$2 index=$3 items seps h y i
  read -r l t r b _ <<<"$1"
  items=${layout//S/} seps=${layout//I/}
  h=$(((b - t - 2 * MENU_PAD - ${#seps} * MENU_SEPARATOR) / ${#items}))
  y=$((t + MENU_PAD))
  for ((i = 0; i < index; i++)); do
    if [ "${layout:i:1}" = S ]; then y=$((y + MENU_SEPARATOR)); else y=$((y + h)); fi
  done
  echo "$(((l + r) / 2)) $((y + h / 2))"
}

# menu_open: right click on the icon and wait for the menu; sets MENU_MAIN.
menu_open() {
  tray_click right
  MENU_MAIN=$(menu_rects 1) || { note "no popup menu after a right click"; return 1; }
}

# menu_click INDEX...: with the menu open, hover through submenus and click the last
# index (menu_click 3 1 = second item of the submenu of the fourth position); waits until
# the menu has closed.
menu_click() {
  local rect=$MENU_MAIN path=top depth=1 x y index rects
  for index in "$@"; do
    read -r x y <<<"$(menu_item_centre "$rect" "${MENU_LAYOUT[$path]}" "$index")"
    if [ $# -eq "$depth" ]; then
      xdotool mousemove "$x" "$y" click 1
      menu_rects 0 >/dev/null || { note "the menu did not close after a click on $*"; return 1; }
      return 0
    fi
    xdotool mousemove "$x" "$y"
    depth=$((depth + 1))
    path=${path#top}
    path="${path:+$path }$index"
    rects=$(menu_rects "$depth") || { note "no submenu at $path"; return 1; }
    rect=$(tail -1 <<<"$rects")
  done
}

# menu_dismiss: click on the empty screen beside the menu.
menu_dismiss() {
  xdotool mousemove 700 600 click 1
  menu_rects 0 >/dev/null
}

# make_picture FILE: a 24-bit 61x47 BMP. The odd width needs row padding; the four corners
# differ, so a flipped or shifted copy shows.
make_picture() {
  convert -size 61x47 xc:'#e01010' -fill '#1030d0' -draw 'rectangle 0,0 29,22' \
    -fill '#10c040' -draw 'rectangle 30,23 60,46' -fill '#f0e020' -draw 'rectangle 0,38 8,46' \
    -fill '#ffffff' -draw 'point 60,0' -type TrueColor "BMP3:$1"
}

# ---------------------------------------------------------------- X clipboard

CLIP_PID=""

clip_stop() {
  [ -z "$CLIP_PID" ] || { kill "$CLIP_PID" 2>/dev/null; wait "$CLIP_PID" 2>/dev/null; }
  CLIP_PID=""
}

# clip_bmp FILE: own the X clipboard with FILE as image/bmp, the one X type Wine turns into
# CF_DIB with exact pixels; returns once Wine's clipboard offers CF_DIB.
clip_bmp() {
  clip_stop
  xclip -quiet -selection clipboard -t image/bmp -i "$1" >/dev/null 2>&1 &
  CLIP_PID=$!
  E2E_PIDS+=("$CLIP_PID")
  probe clip 8 "$E2E_WAIT"
}

# clip_png FILE: own the X clipboard with FILE as image/png only, as browsers do; returns once
# Wine's clipboard offers its registered "PNG" format.
clip_png() {
  clip_stop
  xclip -quiet -selection clipboard -t image/png -i "$1" >/dev/null 2>&1 &
  CLIP_PID=$!
  E2E_PIDS+=("$CLIP_PID")
  probe clip PNG "$E2E_WAIT"
}

# clip_text TEXT: only text on the clipboard; returns once Wine offers CF_UNICODETEXT and
# no CF_DIB.
clip_text() {
  clip_stop
  printf '%s' "$1" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
  CLIP_PID=$!
  E2E_PIDS+=("$CLIP_PID")
  probe clip 13 "$E2E_WAIT" && probe noclip 8 "$E2E_WAIT"
}

# ---------------------------------------------------------------- files

# ini_get FILE SECTION KEY: the value, read as Windows does (code page 932, CRLF).
ini_get() {
  iconv -f CP932 -t UTF-8 "$1" | tr -d '\r' | awk -v s="[$2]" -v k="$3" '
    /^\[/ { inside = ($0 == s); next }
    inside && index($0, k "=") == 1 { print substr($0, length(k) + 2); found = 1; exit }
    END { exit !found }'
}

# section_is FILE USER SAVE CAPC: the user's section holds these two values.
section_is() {
  local file=$1 user=$2 save=$3 capc=$4 got_save got_capc
  got_save=$(ini_get "$file" "$user" SAVE) && got_capc=$(ini_get "$file" "$user" CAPC) ||
    { note "no SAVE/CAPC in [$user] of $file"; return 1; }
  [ "$got_save" = "$save" ] && [ "$got_capc" = "$capc" ] ||
    { note "[$user] SAVE=$got_save CAPC=$got_capc, expected $save and $capc"; return 1; }
}

# entries_under DIR: every file and folder below DIR, relative, sorted.
entries_under() { (cd "$1" && find . -mindepth 1 | sort); }

# stamp_between NAME T0 T1: the yymmddhhmmss at the start of NAME is a local time within
# [T0, T1] (seconds since the epoch).
stamp_between() {
  local n=$1 t
  t=$(date -d "20${n:0:2}-${n:2:2}-${n:4:2} ${n:6:2}:${n:8:2}:${n:10:2}" +%s 2>/dev/null) || return 1
  [ "$t" -ge "$2" ] && [ "$t" -le "$3" ] || { note "$n is not between $(date -d @"$2" +%T) and $(date -d @"$3" +%T)"; return 1; }
}

# wait_stored USER EXT: wait until a picture of that type lies in a day folder of the user's
# store root and has been written completely; sets STORED to its path.
wait_stored() { wait_until "$E2E_WAIT" stored_complete "$APP/img/$1" "$2"; }

stored_complete() {
  local size declared
  STORED=$(find "$1" -mindepth 2 -maxdepth 2 -type f -name "*.$2" 2>/dev/null | sort | head -1)
  [ -n "$STORED" ] || return 1
  case $2 in
    bmp)
      size=$(stat -c %s "$STORED")
      declared=$(od -An -j 2 -N 4 -t u4 "$STORED" | tr -d ' ')
      [ -n "$declared" ] && [ "$declared" -gt 54 ] && [ "$size" -ge "$declared" ] ;;
    jpg) [ "$(tail -c 2 "$STORED" | od -An -t x1 | tr -d ' ')" = ffd9 ] ;;
  esac
}

# stored_name_ok PATH T0 T1: img/<user>/yymmdd/yymmddhhmmss.ext, named by a local time
# between T0 and T1, in the folder of its own day.
stored_name_ok() {
  local name day
  name=$(basename "$1") day=$(basename "$(dirname "$1")")
  [[ $name =~ ^[0-9]{12}\.(bmp|jpg)$ ]] || { note "unexpected name $name"; return 1; }
  [ "$day" = "${name:0:6}" ] || { note "$name lies in folder $day"; return 1; }
  stamp_between "$name" "$2" "$3"
}

# bmp_header FILE: "bits height" of a BMP's info header (height > 0: rows bottom-up).
bmp_header() {
  local bits height
  bits=$(od -An -j 28 -N 2 -t u2 "$1" | tr -d ' ')
  height=$(od -An -j 22 -N 4 -t d4 "$1" | tr -d ' ')
  echo "$bits $height"
}
