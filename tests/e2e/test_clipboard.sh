#!/usr/bin/env bash
# Storing the clipboard (CAPC=1): a real left click on the tray icon stores the bitmap an X
# program put on the clipboard, with its exact pixels, under img/<user>/yymmdd/; text alone
# on the clipboard stores nothing; a failure is told in a balloon from the icon.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

ME=$(id -un)
PICTURE="$E2E_TMP/clip.bmp"
make_picture "$PICTURE"

bmp_24_bottom_up() {
  local bits height
  read -r bits height <<<"$(bmp_header "$1")"
  [ "$bits" = 24 ] && [ "$height" -gt 0 ] || { note "$1: $bits bits, height $height"; return 1; }
}

# told_with_reason TEXT FOLDER: the failure line, a line break, a reason that is not blank,
# a line break and the folder it tried to write.
told_with_reason() {
  local pattern="^$TEXT_NOT_SAVED"$'\r?\n[^[:space:]].*\r?\n'"(.*)\$"
  [[ $1 =~ $pattern ]] || return 1
  [ "${BASH_REMATCH[1]}" = "$2" ] || { note "the place named: ${BASH_REMATCH[1]}"; return 1; }
}

only_entry() {
  local entries
  entries=$(entries_under "$APP/img/$ME")
  [ "$entries" = "$(printf './%s\n./%s/%s' "$2" "$2" "$3")" ] || { note "img/$ME holds:"; note "$entries"; return 1; }
}

app_new
app_write_ini "[$ME]" 'SAVE=0' 'CAPC=1'
app_start USER="$ME"
PID=$APP_PID
wait_resident || fail_now "start: no resident window '$RESIDENT_CAPTION'"
tray_require

# -- Text only: nothing is stored, no day folder is made.
clip_text 'hi' || skip "text put on the X clipboard does not reach Wine's clipboard"
entries=$(entries_under "$APP")
tray_click left
# The menu answering the next click shows the left click was handled first.
check "text only: the program handles the left click and keeps running" \
  eval 'menu_open && menu_dismiss && alive "$PID"'
check "text only: no file and no day folder are made" test "$(entries_under "$APP")" = "$entries"

# -- A bitmap from an X program.
clip_bmp "$PICTURE" || skip "an image/bmp on the X clipboard does not reach Wine's clipboard as CF_DIB"
t0=$(date +%s)
tray_click left
if wait_stored "$ME" bmp; then
  t1=$(date +%s)
  note "stored $(basename "$(dirname "$STORED")")/$(basename "$STORED") ($(stat -c %s "$STORED") bytes)"
  check "bitmap: stored as img/$ME/yymmdd/yymmddhhmmss.bmp by the local time of the click" \
    stored_name_ok "$STORED" "$t0" "$t1"
  check "bitmap: the only entry is that file in its day folder" \
    only_entry "$STORED" "$(basename "$(dirname "$STORED")")" "$(basename "$STORED")"
  check "bitmap: the pixels are exactly the clipboard's" same_pixels "$PICTURE" "$STORED"
  check "bitmap: written as a 24-bit bottom-up DIB" bmp_24_bottom_up "$STORED"
else
  check "bitmap: a left click stores the clipboard under img/$ME/yymmdd/" false
  note "found: $(entries_under "$APP")"
fi
check "bitmap: the program keeps running" alive "$PID"

# -- A picture offered only as PNG (as browsers do), into a folder where a killed store left
# its temp file: the picture is stored, the leftover goes.
if [ -n "${STORED:-}" ]; then
  DAY=$(dirname "$STORED")
  echo 'left by a killed store' >"$DAY/trv0000BEEF.tmp"
  PNG="$E2E_TMP/clip.png"
  convert "$PICTURE" "$PNG"
  if clip_png "$PNG"; then
    tray_click left
    check "PNG: stored as a second .bmp in the same day folder" \
      wait_until "$E2E_WAIT" eval '[ "$(ls "$DAY"/*.bmp | wc -l)" -eq 2 ]'
    check "PNG: the pixels are exactly the PNG's" \
      same_pixels "$PICTURE" "$(ls "$DAY"/*.bmp | sort | tail -1)"
    check "PNG: the temp file of the killed store is gone" test ! -e "$DAY/trv0000BEEF.tmp"
  else
    note "Wine offers no PNG format for an X image/png"
    check "PNG: an image/png on the X clipboard reaches Wine as PNG" false
  fi
fi

close_resident
check "close: the process ends and keeps [$ME] SAVE=0 CAPC=1" \
  eval 'wait_exit "$PID" && section_is "$APP/trovell.ini" "$ME" 0 1'

# -- A failure: files take the names of today's and tomorrow's day folders.
app_new
app_write_ini "[$ME]" 'SAVE=0' 'CAPC=1'
mkdir -p "$APP/img/$ME"
touch "$APP/img/$ME/$(date +%y%m%d)" "$APP/img/$ME/$(date -d tomorrow +%y%m%d)"
app_start USER="$ME"
PID=$APP_PID
wait_resident || fail_now "start: no resident window '$RESIDENT_CAPTION'"
tray_require
entries=$(entries_under "$APP")
tray_click left
if balloon=$(probe shown tooltips_class32 "$TEXT_NOT_SAVED"); then
  note "balloon of pid ${balloon%% *}: $(printf '%s' "${balloon#* }" | tr '\r\n' '  ')"
  check "failure: a balloon says '$TEXT_NOT_SAVED', the reason and the day folder" \
    told_with_reason "${balloon#* }" "Z:$(printf '%s' "$APP/img/$ME/$(date +%y%m%d)/" | tr / '\\')"
  check "failure: the balloon comes from the tray, not from a window of the program" \
    test "${balloon%% *}" = "$(probe pid "$TRAY_TITLE")"
else
  check "failure: a balloon says '$TEXT_NOT_SAVED'" false
fi
check "failure: nothing is stored or replaced" test "$(entries_under "$APP")" = "$entries"
close_resident
check "failure: the program ran on and ends when closed" wait_exit "$PID"
# A balloon left up would cover the tray icons for the next script.
probe notshown tooltips_class32 "$TEXT_NOT_SAVED" || note "the balloon stays up after the program ended"
clip_stop

e2e_finish
