#!/usr/bin/env bash
# Clipping the screen with the real mouse: a tray left click freezes the screen, a selection
# drawn on it is dragged onto the drop window's picture and stored with the very pixels of the
# screen; a release elsewhere and moves over the label store nothing; the menu item opens the
# capture window too, and JPEG stores a .jpg of the selection's size.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

ME=$(id -un)
# The drop window's layout at 96 dpi, in client pixels.
PICTURE_LEFT=10 PICTURE_TOP=4 PICTURE_WIDTH=163 PICTURE_HEIGHT=85
LABEL_LEFT=12 LABEL_TOP=38 LABEL_WIDTH=157 LABEL_HEIGHT=29
# The selection: 120 x 80 from (400, 300), away from Wine's tray at the top left.
SEL_X=400 SEL_Y=300 SEL_W=120 SEL_H=80

BACKGROUND="$E2E_TMP/background.png"

# A picture on the root window: every part of it differs from every other. display sets it and
# then reports 1 all the same; what counts is the screen.
set_background() {
  convert -size 1280x800 -seed 8 plasma:fractal -blur 0x1 -depth 8 -type TrueColor "$BACKGROUND" ||
    return 1
  timeout 60 display -window root "$BACKGROUND" 2>/dev/null
  shot "$E2E_TMP/root.png"
  [ "$(pixel "$E2E_TMP/root.png" 640 400)" = "$(pixel "$BACKGROUND" 640 400)" ]
}

capture_shown() { probe visible "$CAPTURE_CAPTION" >/dev/null; }
capture_gone() { probe gone "$CAPTURE_CAPTION" "$E2E_WAIT" >/dev/null; }
drop_shown() { probe visible "$DROP_CAPTION" >/dev/null; }
drop_hidden() { ! probe visible "$DROP_CAPTION" >/dev/null; }

# frame_is shown|hidden: the selection frame's corners are black on the screen, or not.
frame_is() {
  local file="$E2E_TMP/frame.png" a b
  shot "$file"
  a=$(pixel "$file" "$SEL_X" "$SEL_Y") b=$(pixel "$file" $((SEL_X + SEL_W - 1)) $((SEL_Y + SEL_H - 1)))
  if [ "$1" = shown ]; then [ "$a" = "#000000" ] && [ "$b" = "#000000" ]; else [ "$a" != "#000000" ] && [ "$b" != "#000000" ]; fi
}

select_region() {
  xdotool mousemove "$SEL_X" "$SEL_Y" mousedown 1 mousemove $((SEL_X + SEL_W / 2)) $((SEL_Y + SEL_H / 2)) \
    mousemove $((SEL_X + SEL_W)) $((SEL_Y + SEL_H)) mouseup 1
  wait_until "$E2E_WAIT" frame_is shown
}

# drop_point picture|label: a screen point "x y" on the drop picture clear of the label, or on
# the label; sets DROP_X and DROP_Y.
drop_point() {
  local l t r b
  read -r l t r b <<<"$(probe client "$DROP_CAPTION")" || return 1
  if [ "$1" = label ]; then
    DROP_X=$((l + LABEL_LEFT + LABEL_WIDTH / 2)) DROP_Y=$((t + LABEL_TOP + LABEL_HEIGHT / 2))
  else
    DROP_X=$((l + PICTURE_LEFT + 40)) DROP_Y=$((t + PICTURE_TOP + 12))
  fi
}

# drag_to picture|label|X Y: press on the frame, wait for the drop window, move and release.
# With DRAG_SHOT set, the screen is taken just before the release.
drag_to() {
  xdotool mousemove $((SEL_X + 30)) $((SEL_Y + 30)) mousedown 1
  wait_until "$E2E_WAIT" drop_shown || { xdotool mouseup 1; note "no drop window at the press"; return 1; }
  case $1 in
    picture | label) drop_point "$1" || return 1 ;;
    *) DROP_X=$1 DROP_Y=$2 ;;
  esac
  xdotool mousemove $((DROP_X + 25)) $((DROP_Y + 25)) mousemove "$DROP_X" "$DROP_Y"
  [ -z "${DRAG_SHOT:-}" ] || shot "$DRAG_SHOT"
  xdotool mouseup 1
}

pictures() { find "$APP/img/$ME" -mindepth 2 -maxdepth 2 -type f -name "*.$1" 2>/dev/null | sort; }
count_is() { [ "$(pictures "$1" | wc -l)" -eq "$2" ]; }
newest() { pictures "$1" | tail -1; }

same_as_screen() {
  convert "$E2E_TMP/before.png" -crop "${SEL_W}x${SEL_H}+$SEL_X+$SEL_Y" +repage "$E2E_TMP/expected.png"
  same_pixels "$E2E_TMP/expected.png" "$1"
}

# frozen_shown [framed]: the middle of the screen is as it was before the capture window
# opened, with the selection frame drawn over it when asked.
frozen_shown() {
  local region="900x500+200+150" frame=()
  [ "${1:-}" != framed ] ||
    frame=(-fill none -stroke black +antialias
      -draw "rectangle $SEL_X,$SEL_Y $((SEL_X + SEL_W - 1)),$((SEL_Y + SEL_H - 1))")
  shot "$E2E_TMP/after.png"
  convert "$E2E_TMP/before.png" "${frame[@]}" -crop "$region" +repage "$E2E_TMP/expected-screen.png"
  convert "$E2E_TMP/after.png" -crop "$region" +repage "$E2E_TMP/after-crop.png"
  same_pixels "$E2E_TMP/expected-screen.png" "$E2E_TMP/after-crop.png"
}

set_background || skip "ImageMagick cannot set the root window's picture on this display"
start_clipping
shot "$E2E_TMP/before.png"
check "the background picture is on the screen" eval \
  'test "$(pixel "$E2E_TMP/before.png" 640 400)" = "$(pixel "$BACKGROUND" 640 400)"'

# -- The tray's left click opens the capture window over the frozen screen.
tray_click left
wait_until "$E2E_WAIT" capture_shown || fail_now "no capture window after a left click on the tray icon"
check "tray: the capture window shows the screen as it was" frozen_shown
select_region || fail_now "no selection frame drawn from ($SEL_X, $SEL_Y) to ($((SEL_X + SEL_W)), $((SEL_Y + SEL_H)))"

# -- Dropped on the picture, stored at the next move over it.
# The release itself may count as the first move over the picture (the system reports the
# pointer's place when the capture ends); otherwise the next move stores.
DRAG_SHOT="$E2E_TMP/drop-window.png" drag_to picture || fail_now "the drag to the drop picture"
xdotool mousemove_relative 3 2
check "drop: a move over the picture stores one BMP" wait_until "$E2E_WAIT" count_is bmp 1
FIRST=$(newest bmp)
if [ -n "$FIRST" ]; then
  check "drop: stored as img/$ME/yymmdd/yymmddhhmmss.bmp" stored_name_ok "$FIRST" "$(($(date +%s) - 60))" "$(date +%s)"
  check "drop: 120 x 80 pixels equal to that part of the screen" same_as_screen "$FIRST"
fi
check "drop: the drop window closes after storing" probe gone "$DROP_CAPTION" "$E2E_WAIT"
check "drop: the capture window still shows the frozen screen and the selection" frozen_shown framed

# -- The same selection again stores a second file.
drag_to picture || fail_now "the second drag"
xdotool mousemove_relative 3 2
check "again: a second drag stores a second BMP" wait_until "$E2E_WAIT" count_is bmp 2
check "again: equal to that part of the screen too" same_as_screen "$(newest bmp)"

# -- A release beside the drop window hides it and stores nothing.
drag_to 1000 700 || fail_now "the drag elsewhere"
check "elsewhere: the drop window hides at the release" wait_until "$E2E_WAIT" drop_hidden
xdotool mousemove 1010 710
check "elsewhere: nothing is stored" count_is bmp 2

# -- Released on the label the drop waits; moves over the label store nothing.
drag_to label || fail_now "the drag to the label"
for step in 5 -10 5; do xdotool mousemove_relative -- "$step" 1; done
# A right press on the frame is handled after those moves: once the frame has gone, they have
# been handled too.
xdotool mousemove $((SEL_X + 30)) $((SEL_Y + 30)) click 3
check "label: a right press on the frame hides it" wait_until "$E2E_WAIT" frame_is hidden
check "label: moves over the label stored nothing" count_is bmp 2
check "label: the drop window still waits" drop_shown
drop_point picture && xdotool mousemove "$DROP_X" "$DROP_Y"
check "label: a move over the picture then stores" wait_until "$E2E_WAIT" count_is bmp 3

# -- A right press beside the frame closes the capture window.
xdotool mousemove 1100 100 click 3
check "close: a right press on the canvas closes the capture window" capture_gone

# -- JPEG, and the menu item opens the capture window.
check "menu: 保存形式 ▶ JPEG" eval 'menu_open && menu_click "$MENU_FORMAT" "$SUB_JPEG"'
if menu_open && menu_click "$MENU_CAPTURE" && wait_until "$E2E_WAIT" capture_shown; then
  check "menu: キャプチャー opens the capture window" true
  select_region || fail_now "no selection frame after opening from the menu"
  drag_to picture || fail_now "the drag for the JPEG"
  xdotool mousemove_relative 3 2
  check "jpeg: a drop stores a .jpg" wait_until "$E2E_WAIT" count_is jpg 1
  [ -z "$(newest jpg)" ] || check "jpeg: 120 x 80 pixels" size_is "$(newest jpg)" "JPEG 120x80"
  xdotool key Escape
  check "escape: closes the capture window" capture_gone
else
  check "menu: キャプチャー opens the capture window" false
fi
check "the program runs on" alive "$PID"
close_resident
check "close: the process ends" wait_exit "$PID"
e2e_finish
