#!/usr/bin/env bash
# The tray menu chosen with the real mouse: the save format and the save method take effect
# at once and are in trovell.ini at once, so that a killed process keeps them; the quit item
# ends the program.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

ME=$(id -un)
PICTURE="$E2E_TMP/clip.bmp"
make_picture "$PICTURE"

choose() { menu_open && menu_click "$@"; }

# The JPEG encoder's quality cannot be checked under Wine (it ignores the setting): the
# picture must only be the same size and close in colour.
jpeg_like_picture() {
  local format error
  format=$(identify -format '%m %wx%h' "$1") || return 1
  [ "$format" = "JPEG 61x47" ] || { note "$1 is $format"; return 1; }
  error=$(compare -metric RMSE "$PICTURE" "$1" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
  note "JPEG against the clipboard picture: normalised RMSE $error"
  # About 0.06 here; a copy shifted by one pixel gives 0.12, a flipped one 0.6.
  awk -v e="$error" 'BEGIN { exit !(e < 0.09) }'
}

app_new
app_start USER="$ME"
FIRST=$APP_PID
ICONS_BEFORE=$TRAY_ICONS_BEFORE
wait_resident || fail_now "start: no resident window '$RESIDENT_CAPTION'"
tray_require

check "menu: 保存形式 ▶ JPEG can be clicked" choose "$MENU_FORMAT" "$SUB_JPEG"
check "menu: 保存方法 ▶ クリップボードから can be clicked" choose "$MENU_METHOD" "$SUB_CLIPBOARD"
check "menu: the program still runs after both choices" alive "$FIRST"
check "menu: トロベルの終了 ends the process" eval 'choose "$MENU_QUIT" && wait_exit "$FIRST"'
check "quit: the tray icon is removed" wait_until "$E2E_WAIT" icons_are "$ICONS_BEFORE"
check "quit: [$ME] has SAVE=1 (JPEG) and CAPC=1 (clipboard)" section_is "$APP/trovell.ini" "$ME" 1 1

# -- The next start reads both choices: a left click stores the clipboard as JPEG.
clip_bmp "$PICTURE" || skip "an image/bmp on the X clipboard does not reach Wine's clipboard as CF_DIB"
app_start USER="$ME"
SECOND=$APP_PID
wait_resident || fail_now "restart: no resident window '$RESIDENT_CAPTION'"
tray_require
t0=$(date +%s)
tray_click left
if wait_stored "$ME" jpg; then
  t1=$(date +%s)
  check "restart: a left click stores the clipboard as .jpg named by the time of the click" stored_name_ok "$STORED" "$t0" "$t1"
  check "restart: the JPEG holds the clipboard picture" jpeg_like_picture "$STORED"
else
  check "restart: a left click stores the clipboard as .jpg" false
  note "found: $(entries_under "$APP/img")"
fi

# -- Back to BMP: the next click stores a BMP with the very pixels.
check "menu: 保存形式 ▶ BMP can be clicked" choose "$MENU_FORMAT" "$SUB_BMP"
t0=$(date +%s)
tray_click left
if wait_stored "$ME" bmp; then
  t1=$(date +%s)
  check "BMP chosen: the next left click stores a .bmp named by the time" stored_name_ok "$STORED" "$t0" "$t1"
  check "BMP chosen: its pixels are the clipboard's" same_pixels "$PICTURE" "$STORED"
else
  check "BMP chosen: the next left click stores a .bmp" false
fi
clip_stop

# -- A choice survives a crash: it is in the file before the process ends.
check "menu: 保存方法 ▶ 自分で切り貼り can be clicked" choose "$MENU_METHOD" "$SUB_SELF"
check "menu: the choice is in trovell.ini at once" \
  wait_until "$E2E_WAIT" section_is "$APP/trovell.ini" "$ME" 0 0
kill_app "$SECOND"
wait_exit "$SECOND" 10 || true
check "killed: [$ME] keeps SAVE=0 and CAPC=0" section_is "$APP/trovell.ini" "$ME" 0 0

e2e_finish
