#!/usr/bin/env bash
# The browser opened from the tray menu with the real mouse: it shows the store's folders and
# the first folder's files, a click on an entry shows its preview and creation date, and the
# toolbar's new-folder button makes a folder on disk and a node in the tree.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

LIST_CAPTION='Velloran トロベル一覧'
ME=$(id -un)

# Client-area positions of the controls at 96 dpi (twips / 15).
TREE_X=0 TREE_Y=68 TREE_W=147 TREE_H=316
LIST_X=148 LIST_Y=68
PREVIEW_X=$((322 + 1 + 8)) PREVIEW_Y=$((44 + 1 + 56)) PREVIEW_W=355 PREVIEW_H=277
NEW_BUTTON_X=$((37 + 18)) NEW_BUTTON_Y=17

# The store: three folders with the same two pictures, so that whichever the file system
# gives first is listed.
app_new --with-img
STORE="$APP/img/$ME"
make_picture "$E2E_TMP/p.bmp"
for folder in 050101 050102 旅行; do
  mkdir -p "$STORE/$folder"
  cp "$E2E_TMP/p.bmp" "$STORE/$folder/050101120000.bmp"
  cp "$E2E_TMP/p.bmp" "$STORE/$folder/050101120001.bmp"
  touch -d '2005-01-31 14:05:09' "$STORE/$folder/050101120000.bmp"
done

app_start USER="$ME"
wait_resident || fail_now "start: no resident window '$RESIDENT_CAPTION'"
tray_require

visible_browser() { xdotool search --onlyvisible --name "^$LIST_CAPTION\$" >/dev/null 2>&1; }
check "menu: トロベル一覧 can be clicked" eval 'menu_open && menu_click "$MENU_LIST"'
check "menu: the browser window shows" wait_until "$E2E_WAIT" visible_browser
visible_browser || fail_now "no browser window '$LIST_CAPTION'"
read -r CX CY _ <<<"$(probe client "$LIST_CAPTION")" || fail_now "no client area of the browser"

# The date Wine reports as the creation time: the earlier of the change and modify times.
created_text() {
  local m c
  m=$(stat -c %Y "$1") c=$(stat -c %Z "$1")
  date -d "@$((m < c ? m : c))" '+%Y/%m/%d %H:%M:%S'
}

# pixel_is SHOT X Y COLOUR: one pixel of the screen, exactly.
pixel_is() {
  local got
  got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || { note "pixel ($2, $3) is $got, expected $4"; return 1; }
}

# -- A click on the first entry shows its preview and its date.
xdotool mousemove $((CX + LIST_X + 40)) $((CY + LIST_Y + 8)) click 1
EXPECTED_DATE=$(created_text "$STORE/050101/050101120000.bmp")
check "click: the date of the entry shows as yyyy/mm/dd hh:mm:ss ($EXPECTED_DATE)" \
  probe waittext "$LIST_CAPTION" "$EXPECTED_DATE" "$E2E_WAIT"
check "click: the name part and the extension show" \
  eval 'probe waittext "$LIST_CAPTION" 050101120000 5 && probe waittext "$LIST_CAPTION" bmp 5'
# The pointer left resting on the entry brings up the list's tooltip after a while, over the
# preview's top left corner: away from the browser, and no tip shown, before the shot.
xdotool mousemove 1279 799
probe notshown tooltips_class32 Enter "$E2E_WAIT" >/dev/null || note "the list's tooltip stayed shown"
SHOT="$E2E_TMP/preview.png"
shot "$SHOT"
# The picture's quadrants stretched over the whole preview: blue top left, green bottom right,
# red elsewhere, and nothing of the black background left at the corners.
px() { echo $((CX + PREVIEW_X + PREVIEW_W * $1 / 100)) $((CY + PREVIEW_Y + PREVIEW_H * $2 / 100)); }
check "click: the preview's top left shows the picture's blue" pixel_is "$SHOT" $(px 20 20) '#1030D0'
check "click: the preview's bottom right shows the picture's green" pixel_is "$SHOT" $(px 80 80) '#10C040'
check "click: the preview's top right shows the picture's red" pixel_is "$SHOT" $(px 80 20) '#E01010'
check "click: the picture reaches the preview's last column and row" \
  pixel_is "$SHOT" $((CX + PREVIEW_X + PREVIEW_W - 1)) $((CY + PREVIEW_Y + PREVIEW_H - 1)) '#10C040'
# The preview's edges to the pixel: the panel's colour right outside its first column and row.
check "layout: the preview starts at (331, 101) of the client area" eval \
  'pixel_is "$SHOT" $((CX + PREVIEW_X)) $((CY + PREVIEW_Y)) "#1030D0" &&
   pixel_is "$SHOT" $((CX + PREVIEW_X - 1)) $((CY + PREVIEW_Y)) "#FFFFC0" &&
   pixel_is "$SHOT" $((CX + PREVIEW_X)) $((CY + PREVIEW_Y - 1)) "#FFFFC0"'
check "layout: the date row is RGB 255,224,192 from (331, 49)" eval \
  'pixel_is "$SHOT" $((CX + 331)) $((CY + 49)) "#FFE0C0" &&
   pixel_is "$SHOT" $((CX + 330)) $((CY + 49)) "#FFFFC0"'
cp "$SHOT" "${E2E_SHOT:-/dev/null}" 2>/dev/null

# -- A double click on the entry opens the viewer: no frame, the picture's size and pixels,
# the date as caption; dragging the picture moves it, Enter closes it.
xdotool mousemove $((CX + LIST_X + 40)) $((CY + LIST_Y + 8)) click --repeat 2 --delay 80 1
check "viewer: a double click opens the viewer captioned with the date" \
  probe wait "$EXPECTED_DATE" "$E2E_WAIT"
viewer_rect() { probe client "$EXPECTED_DATE"; }
read -r VL VT VR VB _ <<<"$(viewer_rect)"
check "viewer: 61 x 47, the picture's size" test "$((VR - VL)) x $((VB - VT))" = "61 x 47"
viewer_shows_picture() {
  shot "$E2E_TMP/viewer.png"
  convert "$E2E_TMP/viewer.png" -crop "61x47+$1+$2" +repage -type TrueColor "BMP3:$E2E_TMP/viewer.bmp"
  same_pixels "$E2E_TMP/p.bmp" "$E2E_TMP/viewer.bmp"
}
check "viewer: the screen shows the picture pixel for pixel" wait_until 10 viewer_shows_picture "$VL" "$VT"

# Pressed on the picture at (20, 20) and moved a little: the system's move loop runs from
# where the pointer then is; moved on over the browser's preview, the window follows.
DROP_X=$((CX + PREVIEW_X + 60)) DROP_Y=$((CY + PREVIEW_Y + 40))
xdotool mousemove $((VL + 20)) $((VT + 20)) mousedown 1
xdotool mousemove $((VL + 25)) $((VT + 24))
check "viewer: pressing and moving on the picture starts the window's move" \
  probe moving "$EXPECTED_DATE" "$E2E_WAIT"
xdotool mousemove "$DROP_X" "$DROP_Y"
moved_with_pointer() {
  local l t
  read -r l t _ <<<"$(viewer_rect)"
  [ "$l $t" = "$((DROP_X - 25)) $((DROP_Y - 24))" ] ||
    { note "the viewer went from ($VL, $VT) to ($l, $t)"; return 1; }
}
check "viewer: the window follows the pointer" wait_until 10 moved_with_pointer
xdotool mouseup 1
check "viewer: releasing the button ends the move" probe notmoving "$EXPECTED_DATE" "$E2E_WAIT"
read -r VL VT _ <<<"$(viewer_rect)"
check "viewer: it shows the picture over the browser where it went" \
  wait_until 10 viewer_shows_picture "$VL" "$VT"
cp "$E2E_TMP/viewer.png" "${E2E_VIEWER_SHOT:-/dev/null}" 2>/dev/null
xdotool key Return
check "viewer: Enter closes it" probe gone "$EXPECTED_DATE" "$E2E_WAIT"

# -- The copy button: the X side reads the picture back as image/bmp, pixel for pixel.
COPY_X=$((322 + 1 + 216 + 73)) COPY_Y=$((44 + 1 + 6 + 11))
xdotool mousemove $((CX + COPY_X)) $((CY + COPY_Y)) click 1
x_has_picture() {
  timeout 10 xclip -selection clipboard -t image/bmp -o >"$E2E_TMP/x.bmp" 2>/dev/null &&
    same_pixels "$E2E_TMP/p.bmp" "$E2E_TMP/x.bmp"
}
check "copy: xclip reads the picture from the clipboard as image/bmp" wait_until 20 x_has_picture

# lowest_row SHOT: the last row of the tree's inner area that is not all white.
lowest_row() {
  convert "$1" -crop "$((TREE_W - 4))x$((TREE_H - 4))+$((CX + TREE_X + 2))+$((CY + TREE_Y + 2))" +repage \
    -negate -threshold 0 -trim -format '%[fx:page.y + h]' info:
}
BEFORE=$(lowest_row "$SHOT")

# -- The toolbar's new-folder button makes 新しいフォルダ on disk and a node after the others.
xdotool mousemove $((CX + NEW_BUTTON_X)) $((CY + NEW_BUTTON_Y)) click 1
check "new folder: 新しいフォルダ appears in the store" wait_until "$E2E_WAIT" test -d "$STORE/新しいフォルダ"
grown() { shot "$E2E_TMP/tree.png" && [ "$(lowest_row "$E2E_TMP/tree.png")" -gt $((BEFORE + 8)) ]; }
check "new folder: the tree shows one more node below the others" wait_until "$E2E_WAIT" grown

probe close "$LIST_CAPTION" >/dev/null
check "close: the browser window goes" probe gone "$LIST_CAPTION" "$E2E_WAIT"
close_resident
check "close: the process ends" wait_exit "$APP_PID"
e2e_finish
