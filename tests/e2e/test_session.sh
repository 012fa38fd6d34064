#!/usr/bin/env bash
# The end of the session, as Wine's wineboot ends it: with the capture window and the browser
# open and trovell.ini removed meanwhile, and in the middle of storing a large clipboard
# picture. The process must end having written its settings, taken its icon away, left no
# box, and left the store with whole pictures and no temporary file.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

ME=$(id -un)
LIST_CAPTION='Velloran トロベル一覧'

end_session() { timeout 60 wineboot --end-session </dev/null >>"$E2E_TMP/wineboot.log" 2>&1; }

# No window of ours is left on the screen: no box, no capture, no browser.
nothing_shown() {
  local shown
  shown=$(probe list | grep -v ' hidden ' | grep -F -e "$MSGBOX_CAPTION" -e 'トロベル' || true)
  [ -z "$shown" ] || { note "still shown: $shown"; return 1; }
}

no_temp_files() {
  local left
  left=$(find "$APP/img" -iname 'trv*.tmp' 2>/dev/null)
  [ -z "$left" ] || { note "left behind: $left"; return 1; }
}

# Every file in the store is a whole picture under its final name.
store_whole() {
  local f
  while IFS= read -r f; do
    identify "$f" >/dev/null 2>&1 || { note "not a whole picture: $f"; return 1; }
  done < <(find "$APP/img" -type f)
}

# -- Capture window and browser open, the ini removed: both settings written at the end.
app_new
app_start USER="$ME"
PID=$APP_PID
wait_resident && tray_require
check "menu: JPEG chosen" eval 'menu_open && menu_click "$MENU_FORMAT" "$SUB_JPEG"'
check "menu: JPEG written" wait_until "$E2E_WAIT" section_is "$APP/trovell.ini" "$ME" 1 0
rm -f "$APP/trovell.ini"
browser_shown() { xdotool search --onlyvisible --name "^$LIST_CAPTION\$" >/dev/null 2>&1; }
tray_click left
check "tray: the capture window opens" wait_until "$E2E_WAIT" eval 'probe visible 1 >/dev/null'
# The screen is covered now: the browser comes from the menu's command, sent as the menu sends it.
MNU_TROVELL=102
check "menu command: the browser opens over the capture" \
  eval 'probe command "$RESIDENT_CAPTION" $MNU_TROVELL && wait_until "$E2E_WAIT" browser_shown'
end_session
check "end: the process ends" wait_exit "$PID"
check "end: [$ME] is written again with SAVE=1 and CAPC=0" section_is "$APP/trovell.ini" "$ME" 1 0
check "end: the tray icon is gone" wait_until "$E2E_WAIT" icons_are "$TRAY_ICONS_BEFORE"
check "end: no box or window of ours is left" nothing_shown
check "end: no temporary file is left" no_temp_files

# -- In the middle of a store of a large clipboard picture.
app_new
app_write_ini "[$ME]" 'SAVE=1' 'CAPC=1'
app_start USER="$ME"
PID=$APP_PID
wait_resident && tray_require
rm -f "$APP/trovell.ini"  # read at the start; written again at the end
convert -size 8000x6000 gradient:'#e01010-#1030d0' -type TrueColor "BMP3:$E2E_TMP/large.bmp"
# Text first, so that no picture of an earlier run is still offered when the large one is.
clip_text "before" >/dev/null
clip_bmp "$E2E_TMP/large.bmp" >/dev/null
tray_click left
# Ended while the store writes its temporary file.
writing() { [ -n "$(find "$APP/img/$ME" -mindepth 2 -iname 'trv*.tmp' 2>/dev/null)" ]; }
check "store: the store begins" wait_until "$E2E_WAIT" writing
note "in the day folder when the session ends: $(find "$APP/img/$ME" -mindepth 2 -type f -printf '%f %s\n' | tr '\n' ' ')"
end_session
check "store: the process ends" wait_exit "$PID"
check "store: the settings are written" section_is "$APP/trovell.ini" "$ME" 1 1
check "store: the tray icon is gone" wait_until "$E2E_WAIT" icons_are "$TRAY_ICONS_BEFORE"
check "store: every file in the store is a whole picture" store_whole
check "store: no temporary file is left" no_temp_files
note "stored: $(find "$APP/img" -type f -printf '%f %s\n' | tr '\n' ' ')"

e2e_finish
