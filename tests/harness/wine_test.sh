#!/usr/bin/env bash
# How Wine runs is decided once and said once; the Wine prefix of the harness is taken only
# when it was made completely, by the loader that runs here. Fake wineboot, wine and
# wineserver stand in for Wine, so this runs in a second and needs no display.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failed=$((failed + 1)); fi
}

# FAKE_BOOT: ok, fail, or half (wineboot "succeeds" but leaves no system32);
# FAKE_REG: ok or fail.
mkdir "$tmp/bin"
cat >"$tmp/bin/wineboot" <<'FAKE'
#!/bin/sh
[ "$FAKE_BOOT" = fail ] && exit 1
mkdir -p "$WINEPREFIX/drive_c/windows/system32" && : >"$WINEPREFIX/system.reg" && : >"$WINEPREFIX/user.reg"
[ "$FAKE_BOOT" = half ] || : >"$WINEPREFIX/drive_c/windows/system32/kernel32.dll"
FAKE
cat >"$tmp/bin/wine" <<'FAKE'
#!/bin/sh
[ "$1 $2" = "reg add" ] && [ "$FAKE_REG" = ok ] || exit 1
case $5 in
  Managed) echo '"Managed"="N"' >>"$WINEPREFIX/user.reg" ;;
  ShowCrashDialog) echo '"ShowCrashDialog"=dword:00000000' >>"$WINEPREFIX/user.reg" ;;
esac
FAKE
printf '#!/bin/sh\nexit 0\n' >"$tmp/bin/wineserver"
chmod +x "$tmp/bin/"*

# prefix: harness_prefix in a fresh shell, as where both loaders run (the 64-bit-only kind
# would put the real loader first on PATH).
prefix() {
  TROVELL_WINE_KIND=wine TROVELL_WINE32=1 TROVELL_WINE32_WHY="" PATH="$tmp/bin:$PATH" \
    TROVELL_BUILD="$tmp/build" HARNESS_PREFIX=own \
    bash -c '. "$1/tools/wine-harness.sh" && harness_prefix' _ "$root" >/dev/null 2>&1
}
base=$tmp/build/wine-prefix own=$tmp/build/own

export FAKE_BOOT=fail FAKE_REG=ok
check "a failed wineboot fails the harness and marks nothing ready" eval '! prefix && [ ! -e "$base" ] && [ ! -e "$own" ]'
FAKE_BOOT=half
check "a wineboot that leaves no system32 fails it too" eval '! prefix && [ ! -e "$base" ]'
FAKE_BOOT=ok FAKE_REG=fail
check "settings that could not be written fail it" eval '! prefix && [ ! -e "$base" ]'

# A run killed half-way leaves the prefix being made; the next run makes it anew.
mkdir -p "$base.making"
: >"$base.making/left-by-a-killed-run"
FAKE_REG=ok
check "after a killed run the prefix is made anew and marked for its loader" \
  eval 'prefix && [ "$(cat "$base/.trovell-ready")" = wine ] && [ ! -e "$base/left-by-a-killed-run" ] && [ ! -e "$base.making" ]'
check "the harness's own copy is marked too" test "$(cat "$own/.trovell-ready" 2>/dev/null)" = wine

: >"$base/kept" ; : >"$own/kept"
check "a ready prefix of this loader is reused, copy and all" eval 'prefix && [ -e "$base/kept" ] && [ -e "$own/kept" ]'
echo wine64 >"$base/.trovell-ready"
echo wine64 >"$own/.trovell-ready"
check "one made by the other loader is not: both are made again" \
  eval 'prefix && [ "$(cat "$base/.trovell-ready")" = wine ] && [ ! -e "$base/kept" ] && [ ! -e "$own/kept" ]'
: >"$base/.trovell-ready"
: >"$base/kept"
check "an unmarked ready file (an older harness's) is not taken" eval 'prefix && [ ! -e "$base/kept" ]'

# The forced 64-bit-only path, as a machine without 32-bit code takes it by itself.
decide() {
  env -u TROVELL_WINE_KIND -u TROVELL_WINE32 -u TROVELL_WINE32_WHY TROVELL_WINE64_ONLY=1 \
    bash -c '. "$1/tools/wine-env.sh"; echo "$TROVELL_WINE_KIND $TROVELL_WINE32 ${WINELOADER:-} $(command -v wine)"
             bash -c ". \"$1/tools/wine-env.sh\"; echo child \$TROVELL_WINE_KIND"' _ "$root" 2>"$tmp/said"
}
out=$(decide)
check "TROVELL_WINE64_ONLY: every wine goes through the 64-bit loader" \
  test "$(head -1 <<<"$out")" = "wine64 0 /usr/lib/wine/wine64 $root/tools/wine64/wine"
check "a child inherits the decision" test "$(tail -1 <<<"$out")" = "child wine64"
check "it is said once, in one line, with the reason" \
  eval '[ "$(wc -l <"$tmp/said")" = 1 ] && grep -q "64-bit loader only.*TROVELL_WINE64_ONLY is set" "$tmp/said"'

# Both kinds of machine, through stand-ins for the 32-bit loader: one that starts, as where
# 32-bit code runs, and one that the kernel refuses, as here.
printf '#!/bin/sh\necho wine-8.0\n' >"$tmp/loader-runs"
printf '#!/bin/sh\necho "$0: Exec format error" >&2\nexit 126\n' >"$tmp/loader-refused"
chmod +x "$tmp/loader-runs" "$tmp/loader-refused"
# machine LOADER: what wine-env.sh decides with that loader, and (in $tmp/said) what it says.
machine() {
  env -u TROVELL_WINE_KIND -u TROVELL_WINE32 -u TROVELL_WINE32_WHY -u TROVELL_WINE64_ONLY \
    -u WINELOADER TROVELL_WINE_LOADER32="$1" \
    bash -c '. "$1/tools/wine-env.sh"; echo "$TROVELL_WINE_KIND $TROVELL_WINE32 ${WINELOADER:-none}"
             case ":$PATH:" in *":$1/tools/wine64:"*) echo wine64-first ;; *) echo path-as-is ;; esac' \
    _ "$root" 2>"$tmp/said"
}
check "where 32-bit programs start: both loaders, PATH as it is, nothing said" \
  eval '[ "$(machine "$tmp/loader-runs" | xargs)" = "wine 1 none path-as-is" ] && [ ! -s "$tmp/said" ]'
check "where the kernel refuses them: the 64-bit loader first, and the kernel's words said" \
  eval '[ "$(machine "$tmp/loader-refused" | xargs)" = "wine64 0 /usr/lib/wine/wine64 wine64-first" ] &&
        grep -q "cannot start 32-bit programs (.*Exec format error)" "$tmp/said"'
check "where there is no 32-bit loader at all: the same, and it says so" \
  eval '[ "$(machine "$tmp/none" | head -1 | cut -d" " -f1)" = wine64 ] && grep -q "no 32-bit Wine loader" "$tmp/said"'

# Which exe runs: the machine field of a PE header, and the decision.
pe() {  # pe FILE MACHINE-BYTES: a header with e_lfanew 64 and that machine
  { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00'; printf 'PE\0\0'; printf "$2"; } >"$1"
}
pe "$tmp/32.exe" '\x4c\x01'
pe "$tmp/64.exe" '\x64\x86'
runs() {  # runs WINE32 EXE: wine_runs's status and words
  TROVELL_WINE_KIND=x TROVELL_WINE32=$1 TROVELL_WINE32_WHY="no 32 here" \
    bash -c '. "$1/tools/wine-env.sh"; wine_runs "$2"; echo "status $?"' _ "$root" "$2" | xargs
}
check "the PE header tells 32 from 64" test "$(bash -c '. "$1/tools/wine-env.sh" 2>/dev/null
  pe_bits "$2"; pe_bits "$3"' _ "$root" "$tmp/32.exe" "$tmp/64.exe" | xargs)" = "32 64"
check "a 32-bit exe runs where 32-bit programs start, and is refused with the reason where not" \
  eval '[ "$(runs 1 "$tmp/32.exe")" = "status 0" ] &&
        [ "$(runs 0 "$tmp/32.exe")" = "a 32-bit exe cannot run here: no 32 here status 1" ] &&
        [ "$(runs 0 "$tmp/64.exe")" = "status 0" ]'

[ "$failed" -eq 0 ]
