#!/usr/bin/env bash
# Drag and drop in the browser with the real mouse: an entry dragged from the list onto the
# other folder's node moves there; a file dragged from an X program onto a node is copied
# there; an entry dragged onto a drop target of another Wine process arrives there as a copy.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

LIST_CAPTION='Velloran トロベル一覧'
TARGET_CAPTION='trovell drop target'
ME=$(id -un)

XDNDSRC="$E2E_TMP/xdndsrc"
gcc -O2 "$(dirname "$0")/../../tools/xdndsrc.c" -o "$XDNDSRC" -lX11 ||
  fail_now "the X drag source does not build (tools/setup.sh installs libx11-dev)"

# Two folders of two pictures each: whichever the file system lists first is shown.
app_new --with-img
STORE="$APP/img/$ME"
make_picture "$E2E_TMP/p.bmp"
mkdir -p "$STORE/050101" "$STORE/050102" "$E2E_TMP/x" "$E2E_TMP/out"
for folder in 050101 050102; do
  cp "$E2E_TMP/p.bmp" "$STORE/$folder/${folder}120000.bmp"
  cp "$E2E_TMP/p.bmp" "$STORE/$folder/${folder}120001.bmp"
done
cp "$E2E_TMP/p.bmp" "$E2E_TMP/x/from-x.bmp"

app_start USER="$ME"
wait_resident || fail_now "start: no resident window '$RESIDENT_CAPTION'"
tray_require
visible_browser() { xdotool search --onlyvisible --name "^$LIST_CAPTION\$" >/dev/null 2>&1; }
menu_open && menu_click "$MENU_LIST" || fail_now "the menu did not open the browser"
wait_until "$E2E_WAIT" visible_browser || fail_now "no browser window '$LIST_CAPTION'"

read -r ENTRY_X ENTRY_Y < <(probe row "$LIST_CAPTION" ListBox 0) || fail_now "no list in the browser"
read -r ENTRY1_X ENTRY1_Y < <(probe row "$LIST_CAPTION" ListBox 1) || fail_now "no list in the browser"
read -r NODE0_X NODE0_Y < <(probe row "$LIST_CAPTION" SysTreeView32 0) || fail_now "no tree"
read -r NODE1_X NODE1_Y < <(probe row "$LIST_CAPTION" SysTreeView32 1) || fail_now "no tree"

# drag X0 Y0 X1 Y1 CONDITION...: press at (X0, Y0), move past the drag threshold and on to
# (X1, Y1), where the pointer trembles until the condition holds; then release.
drag() {
  local x0=$1 y0=$2 x1=$3 y1=$4 end nudge=0 held=0
  shift 4
  xdotool mousemove "$x0" "$y0" mousedown 1 mousemove "$x0" $((y0 + 12)) mousemove "$x1" "$y1"
  end=$(($(date +%s) + E2E_WAIT))
  while [ "$(date +%s)" -lt "$end" ]; do
    "$@" && { held=1; break; }
    nudge=$((1 - nudge))
    xdotool mousemove $((x1 + nudge)) "$y1"
    sleep "$E2E_POLL"
  done
  xdotool mouseup 1
  [ "$held" -eq 1 ]
}

# The second node's row as it looks idle; during a drag over it, the drop mark changes it.
ROW="40x10+$((NODE1_X - 15))+$((NODE1_Y - 5))"
shot "$E2E_TMP/idle.png"
convert "$E2E_TMP/idle.png" -crop "$ROW" +repage "$E2E_TMP/idle-row.png"
marked() {
  shot "$E2E_TMP/now.png"
  convert "$E2E_TMP/now.png" -crop "$ROW" +repage "$E2E_TMP/now-row.png"
  [ "$(compare -metric AE "$E2E_TMP/idle-row.png" "$E2E_TMP/now-row.png" null: 2>&1)" -gt 40 ] 2>/dev/null
}
count() { find "$STORE/$1" -type f | wc -l; }

# -- Both entries selected (a click, a Shift+click), dragged onto the other folder's node by
# the first: a move of both.
xdotool mousemove "$ENTRY_X" "$ENTRY_Y" click 1 keydown shift mousemove "$ENTRY1_X" "$ENTRY1_Y" \
  click 1 keyup shift
check "list to node: the node under the pointer is marked as the drop target" \
  drag "$ENTRY_X" "$ENTRY_Y" "$NODE1_X" "$NODE1_Y" marked
moved() { [ $(($(count 050101) * $(count 050102))) -eq 0 ] && [ $(($(count 050101) + $(count 050102))) -eq 4 ]; }
check "list to node: both selected pictures moved into the other folder" wait_until "$E2E_WAIT" moved
moved || fail_now "nothing moved; the remaining checks need the folders told apart"
# The folder the list showed is the first node's, now empty.
if [ "$(count 050101)" -eq 0 ]; then FIRST=050101 SECOND=050102; else FIRST=050102 SECOND=050101; fi
check "list to node: the moved pictures are the same files" \
  eval 'cmp -s "$E2E_TMP/p.bmp" "$STORE/$SECOND/${FIRST}120000.bmp" &&
        cmp -s "$E2E_TMP/p.bmp" "$STORE/$SECOND/${FIRST}120001.bmp"'

# -- From an X program onto the first node: a copy.
check "X to node: the X drag source finishes its drop" \
  eval '"$XDNDSRC" "$NODE0_X" "$NODE0_Y" "file://$E2E_TMP/x/from-x.bmp" >"$E2E_TMP/xdnd.out"'
copied_from_x() { cmp -s "$E2E_TMP/p.bmp" "$STORE/$FIRST/from-x.bmp"; }
check "X to node: the file is copied into the first node's folder" wait_until "$E2E_WAIT" copied_from_x
check "X to node: the X side keeps its file" test -f "$E2E_TMP/x/from-x.bmp"

# -- From the list onto another Wine process's target: a copy, whatever that target prefers.
xdotool mousemove "$NODE0_X" "$NODE0_Y" click 1  # lists the first folder again
(timeout --kill-after=5 120 wine "$E2E_PROBE" droptarget "$TARGET_CAPTION" \
  "Z:$(tr / '\\' <<<"$E2E_TMP/out")" 1010 100 90 </dev/null >"$E2E_TMP/target.out" 2>/dev/null) &
TARGET_PID=$!
E2E_PIDS+=("$TARGET_PID")
probe wait "$TARGET_CAPTION" "$E2E_WAIT" >/dev/null || fail_now "the other process's drop target did not open"
entered() { grep -q '^enter' "$E2E_TMP/target.out"; }
check "list to another process: the drag reaches its target" \
  drag "$ENTRY_X" "$ENTRY_Y" 1130 220 entered
check "list to another process: the target took the drop" wait_exit "$TARGET_PID"
check "list to another process: copy was the only effect offered and the one taken" \
  grep -q '^drop allowed=1 effect=1' "$E2E_TMP/target.out"
check "list to another process: the file arrived" cmp -s "$E2E_TMP/p.bmp" "$E2E_TMP/out/from-x.bmp"
check "list to another process: the file stays in the store" test -f "$STORE/$FIRST/from-x.bmp"

probe close "$LIST_CAPTION" >/dev/null
close_resident
check "close: the process ends" wait_exit "$APP_PID"
e2e_finish
