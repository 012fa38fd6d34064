#!/usr/bin/env bash
# Start-up and ending of the real exe: the store folders, the tray icon and its answer to
# real clicks, the refusal of a second instance, and what closing or killing leaves in
# trovell.ini.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

ME=$(id -un)
JP='山田'

menu_is_apps() {
  local pid
  pid=$(probe pid "$RESIDENT_CAPTION") || return 1
  [ "${MENU_MAIN##* }" = "$pid" ] || { note "menu of pid ${MENU_MAIN##* }, resident window of $pid"; return 1; }
}

resident_hidden() { wait_resident && ! probe visible "$RESIDENT_CAPTION"; }

icon_cell() {
  convert "$1" -crop "${TRAY_ICON_SIZE}x${TRAY_ICON_SIZE}+$((TRAY_ICON_X - TRAY_ICON_SIZE / 2))+$((TRAY_ICON_Y - TRAY_ICON_SIZE / 2))" +repage "$2"
}

# The first icon is still drawn where it was, as it was.
icon_unchanged() {
  local now="$E2E_TMP/tray-now.png"
  icons_are "$ICONS_WITH_FIRST" || return 1
  shot "$now"
  icon_cell "$now" "$E2E_TMP/cell-now.png"
  same_pixels "$E2E_TMP/cell-first.png" "$E2E_TMP/cell-now.png"
}

# Wine draws the exclamation icon as an orange triangle (Windows: yellow); the error icon is
# red and the information and question icons blue.
exclamation_pixels() {
  local l t r b
  read -r l t r b <<<"$1"
  shot "$E2E_TMP/box.png"
  convert "$E2E_TMP/box.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage \
    -fx '(r >= 0.78 && g >= 0.39 && g <= 0.9 && b <= 0.35) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}

box_has_exclamation() {
  local rect
  rect=$(probe iconrect "$MSGBOX_CAPTION") || { note "the box has no icon"; return 1; }
  # The box may not be painted yet when its controls exist.
  wait_until "$E2E_WAIT" eval '[ "$(exclamation_pixels "$rect")" -ge 100 ]' ||
    { note "icon at $rect has only $(exclamation_pixels "$rect") orange pixels"; return 1; }
}

box_texts_are() {
  local got want
  got=$(probe texts "$MSGBOX_CAPTION" | sort)
  want=$(printf '%s\n' "$MSGBOX_CAPTION" OK "$TEXT_ALREADY_RUNNING" | sort)
  [ "$got" = "$want" ] || { note "texts of the box:"; note "$got"; return 1; }
}

box_is_seconds() {
  local box first
  box=$(probe pid "$MSGBOX_CAPTION") && first=$(probe pid "$RESIDENT_CAPTION") && [ "$box" != "$first" ]
}

bytes_cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# Every line of the file ends in CR LF and the file is valid code page 932 without a BOM.
ini_is_cp932_crlf() {
  local file=$1
  iconv -f CP932 -t UTF-8 "$file" >/dev/null 2>&1 || { note "$file is not valid code page 932"; return 1; }
  [ "$(head -c 1 "$file")" = "[" ] || { note "$file does not start with a section"; return 1; }
  [ "$(tail -c 2 "$file" | od -An -t x1 | tr -d ' ')" = "0d0a" ] || { note "$file does not end in CR LF"; return 1; }
  ! LC_ALL=C grep -q $'[^\r]$' "$file" || { note "$file has a line without CR"; return 1; }
}

contains_bytes() { LC_ALL=C grep -qF -- "$(bytes_cp932 "$2")" "$1"; }

# has_line FILE TEXT: a whole line of FILE is TEXT in code page 932 followed by CR.
has_line() { LC_ALL=C grep -qxF -- "$(bytes_cp932 "$2")"$'\r' "$1"; }

differ() { ! same_pixels "$1" "$2" >/dev/null; }

# -- A first start in a folder without img, beside an ini with two other users' sections.
app_new
app_write_ini '[佐藤]' 'SAVE=1' 'CAPC=1' '' '[guest]' 'SAVE=1' 'CAPC=0'
cp "$APP/trovell.ini" "$E2E_TMP/ini-before"
shot "$E2E_TMP/before.png"
started=$(date +%s%N)
app_start USER="$ME"
FIRST=$APP_PID
ICONS_BEFORE=$TRAY_ICONS_BEFORE
ICONS_WITH_FIRST=$((ICONS_BEFORE + 1))
check "start: the resident window '$RESIDENT_CAPTION' exists and is hidden" resident_hidden
check "start: img/ and the store root img/$ME/ are created beside the exe" wait_until "$E2E_WAIT" test -d "$APP/img/$ME"
tray_require
note "tray icon drawn $((($(date +%s%N) - started) / 1000000)) ms after the start, centre ($TRAY_ICON_X, $TRAY_ICON_Y)"
icon_cell "$E2E_TMP/before.png" "$E2E_TMP/cell-before.png"
icon_cell "$TRAY_SHOT" "$E2E_TMP/cell-first.png"
check "start: a tray icon is drawn where the screen before the start had none" \
  differ "$E2E_TMP/cell-before.png" "$E2E_TMP/cell-first.png"
check "start: hovering shows the tip '[ BMP保存 ]' CR LF '左クリックで切り貼り開始。'" \
  eval '[ "$(tray_tip "[ ")" = "$(printf "[ BMP保存 ]\r\n左クリックで切り貼り開始。")" ]'
check "start: the settings are not written at start" cmp -s "$E2E_TMP/ini-before" "$APP/trovell.ini"

check "tray: a real right click pops up the menu of trovell.exe" eval 'menu_open && menu_is_apps'
check "tray: a click beside the menu closes it" menu_dismiss
entries=$(entries_under "$APP")
tray_click left
check "tray: a real left click with CAPC=0 opens the capture window over the screen" \
  wait_until "$E2E_WAIT" eval 'probe visible 1 >/dev/null'
# A right click on the frozen screen closes it; the menu answering the next click shows that
# both clicks were handled.
xdotool mousemove 700 500 click 3
check "tray: the capture window closes and the process still answers clicks" \
  eval 'probe gone 1 "$E2E_WAIT" >/dev/null && menu_open && menu_dismiss && alive "$FIRST"'
check "tray: a left click with CAPC=0 stores no file" test "$(entries_under "$APP")" = "$entries"

# -- A second start of the same exe for the same user.
app_start USER="$ME"
SECOND=$APP_PID
if ! probe waittext "$MSGBOX_CAPTION" "$TEXT_ALREADY_RUNNING"; then
  check "second start: the box '$MSGBOX_CAPTION' says '$TEXT_ALREADY_RUNNING'" false
  probe list | grep -v ' hidden ' | sed 's/^/   /'
else
  check "second start: the box '$MSGBOX_CAPTION' holds only the text and OK" box_texts_are
  check "second start: the box shows the exclamation icon" box_has_exclamation
  check "second start: the box belongs to the second process" box_is_seconds
  probe click "$MSGBOX_CAPTION" OK
  check "second start: after OK the second process ends" wait_exit "$SECOND"
fi
check "second start: the first instance keeps running" eval 'alive "$FIRST" && wait_resident 0'
check "second start: the first icon stays, and no second one" wait_until "$E2E_WAIT" icon_unchanged
check "second start: trovell.ini is unchanged byte for byte" cmp "$E2E_TMP/ini-before" "$APP/trovell.ini"

# -- WM_CLOSE, as the system sends it.
close_resident
check "close: WM_CLOSE to the resident window ends the process" wait_exit "$FIRST"
check "close: the tray icon is removed" wait_until "$E2E_WAIT" icons_are "$ICONS_BEFORE"
check "close: [$ME] gets SAVE=0 and CAPC=0" section_is "$APP/trovell.ini" "$ME" 0 0
check "close: the other users' sections keep their values" \
  eval 'section_is "$APP/trovell.ini" 佐藤 1 1 && section_is "$APP/trovell.ini" guest 1 0'
check "close: the ini stays in code page 932 with CR LF" \
  eval 'ini_is_cp932_crlf "$APP/trovell.ini" && contains_bytes "$APP/trovell.ini" "[佐藤]"'

# -- A Japanese user name, an existing img folder, no ini.
app_new --with-img
app_start USER="$JP"
JP_PID=$APP_PID
check "user $JP: the store root img/$JP/ is created" \
  eval 'wait_resident && wait_until "$E2E_WAIT" test -d "$APP/img/$JP"'
check "user $JP: the tray icon appears" tray_find
close_resident
check "user $JP: WM_CLOSE ends the process" wait_exit "$JP_PID"
check "user $JP: a new trovell.ini is written in code page 932 with CR LF" ini_is_cp932_crlf "$APP/trovell.ini"
check "user $JP: its section name is the code page 932 bytes of [$JP]" has_line "$APP/trovell.ini" "[$JP]"
check "user $JP: [$JP] has SAVE=0 and CAPC=0" section_is "$APP/trovell.ini" "$JP" 0 0

# -- Killed processes write nothing; a start after a kill is not refused.
app_new
app_start USER="$ME"
KILLED=$APP_PID
if wait_resident && tray_find; then
  kill_app "$KILLED"
  check "kill -9: the process ends" wait_exit "$KILLED"
  check "kill -9: no trovell.ini is written" test ! -e "$APP/trovell.ini"
  wait_until "$E2E_WAIT" icons_are "$ICONS_BEFORE"
else
  check "kill -9: the exe starts" false
fi
app_start USER="$ME"
KILLED=$APP_PID
if wait_resident && tray_find; then
  check "after a kill a new start runs normally" alive "$KILLED"
  probe kill "$RESIDENT_CAPTION"
  check "TerminateProcess: the process ends" wait_exit "$KILLED"
  check "TerminateProcess: no trovell.ini is written" test ! -e "$APP/trovell.ini"
  wait_until "$E2E_WAIT" icons_are "$ICONS_BEFORE"
else
  check "after a kill a new start runs normally" false
fi
check "the store root of the killed runs exists all the same" test -d "$APP/img/$ME"

e2e_finish
