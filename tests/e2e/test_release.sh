#!/usr/bin/env bash
# The portable release as a Windows user gets it: tools/release.sh's zip holds the two exes
# and the readme, each exe carries the project's version and needs only DLLs that Windows
# ships, and the exe this machine can run, started from the unpacked folder, shows its icon,
# stores a clipboard picture into that folder's img and leaves trovell.ini when it quits.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
ME=$(id -un)
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$(dirname "$E2E_EXE")/CMakeCache.txt")
ZIP="${TROVELL_DIST:-$ROOT/dist}/trovell-$VERSION.zip"
[ -n "$VERSION" ] && [ -f "$ZIP" ] || fail_now "no $ZIP (tools/release.sh makes it)"
README=$(printf '%s' 'はじめにお読みください.txt' | iconv -f UTF-8 -t CP932)
TOOLS=/usr/bin/x86_64-w64-mingw32

APP="$E2E_TMP/unpacked"
mkdir -p "$APP"
(cd "$APP" && LC_ALL=C unzip -q "$ZIP") || fail_now "the zip does not unpack"
check "zip: exactly trovell.exe, trovell64.exe and the readme" \
  test "$(cd "$APP" && LC_ALL=C ls -A | sort)" = "$(LC_ALL=C printf '%s\n' "$README" trovell.exe trovell64.exe | sort)"
check "zip: trovell.exe is the 32-bit exe, trovell64.exe the 64-bit one" \
  test "$(pe_bits "$APP/trovell.exe") $(pe_bits "$APP/trovell64.exe")" = "32 64"

readme_ok() {
  local text
  text=$(iconv -f CP932 -t UTF-8 "$APP/$README") || { note "not CP932"; return 1; }
  [ "$(grep -c $'\r$' "$APP/$README")" = "$(wc -l <"$APP/$README")" ] || { note "not every line ends in CRLF"; return 1; }
  local word
  for word in "$VERSION" trovell.exe trovell64.exe 'img\ユーザー名' trovell.ini shell:startup 削除 Remove; do
    grep -qF "$word" <<<"$text" || { note "the readme does not say $word"; return 1; }
  done
}
check "readme: CP932 with CRLF; names the version, both exes, the store, the settings, start-up and removal" readme_ok

# version_is EXE: the fixed and the text version of the exe's version resource.
version_is() {
  local rc
  rc=$("$TOOLS-windres" -i "$1" -O rc 2>/dev/null) || { note "windres cannot read $1"; return 1; }
  grep -q "FILEVERSION ${VERSION//./, }, 0\$" <<<"$rc" && grep -q "PRODUCTVERSION ${VERSION//./, }, 0\$" <<<"$rc" &&
    grep -qF "VALUE \"FileVersion\", \"$VERSION\"" <<<"$rc" &&
    grep -qF "VALUE \"ProductVersion\", \"$VERSION\"" <<<"$rc" || { note "$(grep -i version <<<"$rc")"; return 1; }
}
# Only DLLs of Windows itself: no mingw runtime, no C++ library beside the exe.
WINDOWS_DLLS=' kernel32.dll user32.dll gdi32.dll shell32.dll advapi32.dll msvcrt.dll ole32.dll oleaut32.dll comctl32.dll windowscodecs.dll '
imports_windows_only() {
  local dll
  for dll in $("$TOOLS-objdump" -p "$1" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'); do
    [[ $WINDOWS_DLLS == *" $dll "* ]] || { note "$1 needs $dll"; return 1; }
  done
}
# The PE header's time is the commit's, not the build's: the same commit gives the same bytes.
COMMIT_TIME=$(LC_ALL=C TZ=UTC date -d "@$(git -C "$ROOT" log -1 --format=%ct)" '+%a %b %e %H:%M:%S %Y' | tr -s ' ')
stamped_with_commit() {
  local stamp
  stamp=$(LC_ALL=C TZ=UTC "$TOOLS-objdump" -p "$1" | sed -n 's/^Time\/Date[[:space:]]*//p' | tr -s ' ')
  [ "$stamp" = "$COMMIT_TIME" ] || { note "$1 is stamped $stamp, the commit $COMMIT_TIME"; return 1; }
}
for exe in trovell.exe trovell64.exe; do
  check "$exe: its version resource carries $VERSION" version_is "$APP/$exe"
  check "$exe: it needs only DLLs that Windows ships" imports_windows_only "$APP/$exe"
  check "$exe: its PE header is stamped with the commit's date" stamped_with_commit "$APP/$exe"
done

# -- Started from the unpacked folder, as a double click does.
APP_EXE=trovell64.exe
[ "$TROVELL_WINE32" = 1 ] && APP_EXE=trovell.exe
note "running $APP_EXE, the exe this machine runs"
app_start USER="$ME"
wait_resident || fail_now "start: no resident window '$RESIDENT_CAPTION'"
tray_require
check "start: the tray icon appears" test -n "$TRAY_ICON_X"
check "menu: the method clipboard can be chosen" eval 'menu_open && menu_click "$MENU_METHOD" "$SUB_CLIPBOARD"'
make_picture "$E2E_TMP/p.bmp"
clip_bmp "$E2E_TMP/p.bmp" || skip "an image/bmp on the X clipboard does not reach Wine's clipboard as CF_DIB"
tray_click left
check "store: the clipboard's picture lands in the unpacked folder's img" wait_stored "$ME" bmp
check "store: with the clipboard's pixels" same_pixels "$E2E_TMP/p.bmp" "$STORED"
check "quit: トロベルの終了 ends the program" eval 'menu_open && menu_click "$MENU_QUIT" && wait_exit "$APP_PID"'
check "quit: trovell.ini is left beside the exe with the choice" section_is "$APP/trovell.ini" "$ME" 0 1

e2e_finish
