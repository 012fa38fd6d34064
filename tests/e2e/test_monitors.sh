#!/usr/bin/env bash
# Clipping on two monitors: an X server of the test's own shows two screens side by side, and
# Wine is told to take the right one as its primary, so the left one lies at negative
# coordinates. The frozen picture covers both, a selection across them stores exactly their
# frozen pixels with black where no monitor shows anything, and the drop window opens on the
# monitor where the drag began.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

ME=$(id -un)
# X screens: the left one 800x600 at X (0, 0), the right one 800x480 at X (800, 0). On the
# virtual screen the right one, the primary, starts at (0, 0): X x = virtual x + 800. (With
# screens of different widths this Xorg keeps the pointer out of part of the wider one as soon
# as a window sets its own pointer shape.)
LEFT_W=800 LEFT_H=600 RIGHT_W=800 RIGHT_H=480
SHIFT_X=$LEFT_W
# The selection, in X pixels: across both monitors and below the right one's bottom edge, into
# the strip that no monitor shows. The pointer cannot enter that strip, so the frame is drawn
# from its top right corner, on the right monitor, to its bottom left one, on the left.
SEL_X=700 SEL_Y=400 SEL_W=200 SEL_H=160

[ "$(id -u)" -eq 0 ] || skip "the test's own X server (Xorg with the dummy driver) needs root"
command -v Xorg >/dev/null && [ -f /usr/lib/xorg/modules/drivers/dummy_drv.so ] ||
  skip "Xorg with its dummy driver is missing (tools/setup.sh installs it)"

XORG_PID=""
MY_PREFIX="$E2E_TMP/prefix"
monitors_cleanup() {
  e2e_cleanup
  [ ! -d "$MY_PREFIX" ] || WINEPREFIX="$MY_PREFIX" wineserver -k 2>/dev/null
  [ -z "$XORG_PID" ] || { kill "$XORG_PID" 2>/dev/null; wait "$XORG_PID" 2>/dev/null; }
}
# Files of a failed run are kept by e2e_cleanup; the prefix is not worth keeping.
trap 'monitors_cleanup' EXIT

# Two dummy screens with Xinerama: Xorg then has no RandR, and Wine takes its monitors from
# Xinerama, as they are placed by the layout.
start_xorg() {
  local n modes
  for n in $(seq 150 199); do [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break; done
  mode() {  # NAME W H: a mode line the dummy driver accepts at any size
    echo "    Modeline \"$1\" 40.0 $2 $(($2 + 40)) $(($2 + 168)) $(($2 + 256)) $3 $(($3 + 1)) $(($3 + 5)) $(($3 + 28))"
  }
  {
    printf 'Section "ServerFlags"\n  Option "AutoAddDevices" "false"\n  Option "DontVTSwitch" "true"\n  Option "Xinerama" "true"\nEndSection\n'
    for s in 0 1; do
      local w=$LEFT_W h=$LEFT_H
      [ "$s" = 1 ] && w=$RIGHT_W h=$RIGHT_H
      printf 'Section "Device"\n  Identifier "card%s"\n  Driver "dummy"\n  VideoRam 64000\nEndSection\n' "$s"
      printf 'Section "Monitor"\n  Identifier "mon%s"\n  HorizSync 5.0-1000.0\n  VertRefresh 5.0-200.0\n%s\nEndSection\n' "$s" "$(mode "m$s" "$w" "$h")"
      printf 'Section "Screen"\n  Identifier "screen%s"\n  Device "card%s"\n  Monitor "mon%s"\n  DefaultDepth 24\n  SubSection "Display"\n    Depth 24\n    Modes "m%s"\n    Virtual %s %s\n  EndSubSection\nEndSection\n' "$s" "$s" "$s" "$s" "$w" "$h"
    done
    printf 'Section "ServerLayout"\n  Identifier "two"\n  Screen 0 "screen0" 0 0\n  Screen 1 "screen1" RightOf "screen0"\nEndSection\n'
  } >"$E2E_TMP/xorg.conf"
  Xorg ":$n" -config "$E2E_TMP/xorg.conf" -noreset -nolisten tcp -logfile "$E2E_TMP/xorg.log" \
    >/dev/null 2>&1 &
  XORG_PID=$!
  export DISPLAY=":$n"
  wait_until 20 eval 'xdpyinfo -ext XINERAMA 2>/dev/null | grep -q "head #1"'
}
start_xorg || skip "Xorg with two dummy screens did not start (see $E2E_TMP/xorg.log)"

# A prefix of the test's own: Wine keeps the monitors of one display per prefix. XF86VidMode
# off: with two Xinerama heads Wine 8 aborts while listing the second head's modes.
cp -a "$WINEPREFIX" "$MY_PREFIX" && rm -f "$MY_PREFIX/.trovell-ready" || fail_now "no copy of the prefix"
export WINEPREFIX="$MY_PREFIX"
for value in 'UseXVidMode REG_SZ N' 'PrimaryMonitor REG_SZ 1'; do
  read -r name type data <<<"$value"
  timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$name" /t "$type" /d "$data" /f \
    >/dev/null 2>&1 </dev/null || fail_now "wine reg add $name"
done
wineserver -k; wineserver -w
LAYOUT=$(probe monitors | tr -d '\r')
EXPECTED_LAYOUT="0 0 $RIGHT_W $RIGHT_H 0 0 $RIGHT_W $RIGHT_H
-$LEFT_W 0 0 $LEFT_H -$LEFT_W 0 0 $LEFT_H
virtual -$LEFT_W 0 $((LEFT_W + RIGHT_W)) $LEFT_H"
[ "$LAYOUT" = "$EXPECTED_LAYOUT" ] || { note "Wine's monitors:" "$LAYOUT"; skip "Wine does not see the two screens as two monitors side by side"; }
echo "   Wine's monitors: the primary at (0, 0), the other at (-$LEFT_W, 0)"

BACKGROUND="$E2E_TMP/background.png"
convert -size $((LEFT_W + RIGHT_W))x$LEFT_H -seed 5 plasma:fractal -blur 0x1 -depth 8 -type TrueColor "$BACKGROUND" ||
  fail_now "no background picture"
timeout 60 display -window root "$BACKGROUND" 2>/dev/null

capture_shown() { probe visible "$CAPTURE_CAPTION" >/dev/null; }
drop_shown() { probe visible "$DROP_CAPTION" >/dev/null; }
drop_hidden() { ! drop_shown; }
pictures() { find "$APP/img/$ME" -mindepth 2 -maxdepth 2 -type f -name '*.bmp' 2>/dev/null; }
count_is() { [ "$(pictures | wc -l)" -eq "$1" ]; }
# client_is CAPTION LEFT TOP RIGHT BOTTOM: the client area on the virtual screen.
client_is() {
  local got
  got=$(probe client "$1" | tr -d '\r')
  [ "$got" = "$2 $3 $4 $5" ] || { note "client area of '$1': $got"; return 1; }
}
# drop_on left|right: the drop window lies wholly in that monitor's work area.
drop_on() {
  local l t r b
  read -r l t r b <<<"$(probe client "$DROP_CAPTION" | tr -d '\r')" || return 1
  # The frame lies around the client area; a few pixels each side are enough for the check.
  if [ "$1" = left ]; then ((l > -LEFT_W && r < 0 && b < LEFT_H)); else ((l > 0 && r < RIGHT_W && b < RIGHT_H)); fi ||
    { note "drop window's client area $l $t $r $b is not on the $1 monitor"; return 1; }
}
frozen_shown() {
  local region
  shot "$E2E_TMP/after.png"
  for region in "600x400+100+150" "500x300+$((SHIFT_X + 100))+100"; do
    convert "$E2E_TMP/before.png" -crop "$region" +repage "$E2E_TMP/want.png"
    convert "$E2E_TMP/after.png" -crop "$region" +repage "$E2E_TMP/got.png"
    same_pixels "$E2E_TMP/want.png" "$E2E_TMP/got.png" || return 1
  done
}
# The frozen pixels of the selection, black where it reaches below the right monitor.
stored_as_frozen() {
  convert "$E2E_TMP/before.png" -crop "${SEL_W}x${SEL_H}+$SEL_X+$SEL_Y" +repage \
    -fill black -draw "rectangle $((SHIFT_X - SEL_X)),$((RIGHT_H - SEL_Y)) $((SEL_W - 1)),$((SEL_H - 1))" \
    "$E2E_TMP/expected.png"
  size_is "$1" "BMP3 ${SEL_W}x$SEL_H" && same_pixels "$E2E_TMP/expected.png" "$1"
}

start_clipping
shot "$E2E_TMP/before.png"

tray_click left
wait_until "$E2E_WAIT" capture_shown || fail_now "no capture window after a left click on the tray icon"
check "the capture window covers both monitors" client_is "$CAPTURE_CAPTION" -$LEFT_W 0 $RIGHT_W $LEFT_H
check "both monitors show the screen as it was" frozen_shown

xdotool mousemove $((SEL_X + SEL_W)) "$SEL_Y" mousedown 1 mousemove $((SEL_X + SEL_W / 2)) $((SEL_Y + SEL_H / 2)) \
  mousemove "$SEL_X" $((SEL_Y + SEL_H)) mouseup 1
frame_drawn() {  # its top corners, one on each monitor
  shot "$E2E_TMP/frame.png"
  [ "$(pixel "$E2E_TMP/frame.png" "$SEL_X" "$SEL_Y")" = "#000000" ] &&
    [ "$(pixel "$E2E_TMP/frame.png" $((SEL_X + SEL_W - 1)) "$SEL_Y")" = "#000000" ]
}
wait_until "$E2E_WAIT" frame_drawn || fail_now "no selection frame across the two monitors"

# A drag begun on the right monitor: the drop window opens there. Released on the left
# monitor, far from it: it hides.
xdotool mousemove $((SHIFT_X + 80)) $((SEL_Y + 20)) mousedown 1
wait_until "$E2E_WAIT" drop_shown || { xdotool mouseup 1; fail_now "no drop window at the press"; }
check "a drag begun on the primary monitor opens the drop window there" drop_on right
xdotool mousemove 300 150 mousemove 310 160 mouseup 1
check "released elsewhere, the drop window hides" wait_until "$E2E_WAIT" drop_hidden

# Begun on the left monitor: the drop window moves there, and a drop on it stores.
xdotool mousemove $((SHIFT_X - 80)) $((SEL_Y + 20)) mousedown 1
wait_until "$E2E_WAIT" drop_shown || { xdotool mouseup 1; fail_now "no drop window at the second press"; }
check "a drag begun on the left monitor shows the drop window there" drop_on left
read -r l t _ _ <<<"$(probe client "$DROP_CAPTION" | tr -d '\r')"
# The drop picture's middle band, above the label; client pixels to X pixels.
DROP_X=$((l + 50 + SHIFT_X)) DROP_Y=$((t + 16))
xdotool mousemove $((DROP_X + 25)) $((DROP_Y + 25)) mousemove "$DROP_X" "$DROP_Y" mouseup 1
xdotool mousemove_relative 3 2
check "a drop on the left monitor stores one picture" wait_until "$E2E_WAIT" count_is 1
STORED=$(pictures | head -1)
[ -z "$STORED" ] || check "it holds the frozen pixels of both monitors, black where neither shows" stored_as_frozen "$STORED"

xdotool key Escape
check "Escape closes the capture window" probe gone "$CAPTURE_CAPTION" "$E2E_WAIT"
check "the program runs on" alive "$PID"
close_resident
check "close: the process ends" wait_exit "$PID"
e2e_finish
