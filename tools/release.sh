#!/usr/bin/env bash
# Builds the portable release: dist/trovell-<version>.zip with trovell.exe (32-bit),
# trovell64.exe (64-bit) and the readme for Windows users (Japanese, then English; CP932 with
# CRLF). The version is the CMake project's. Reproducible: every time stamp, in the PE headers
# and in the zip, is the commit's date, so two runs from one commit give the same bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TROVELL_BUILD:-$root/build}
dist=${TROVELL_DIST:-$root/dist}

"$root/tools/setup.sh"
# ld stamps the PE header with this instead of the time of the link.
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) ||
  { echo "release: $root is not a git checkout; the commit's date fixes the time stamps" >&2; exit 1; }
export SOURCE_DATE_EPOCH

# The builds tools/build.sh makes (Release, as every build here): after tools/test.sh's own
# build only the link is done again.
for arch in i686 x86_64; do
  cmake -S "$root" -B "$build/$arch" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" >/dev/null
  # The link must see this commit's date even where the sources did not change.
  rm -f "$build/$arch/trovell.exe"
  cmake --build "$build/$arch" --target trovell -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/x86_64/CMakeCache.txt")
[ -n "$version" ] || { echo "release: no project version in the CMake cache" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$build/i686/trovell.exe" "$stage/trovell.exe"
cp "$build/x86_64/trovell.exe" "$stage/trovell64.exe"
i686-w64-mingw32-strip --strip-all "$stage/trovell.exe"
x86_64-w64-mingw32-strip --strip-all "$stage/trovell64.exe"
# The readme's name in CP932, as Explorer on a Japanese Windows reads a zip's names.
readme=$(printf '%s' 'はじめにお読みください.txt' | iconv -f UTF-8 -t CP932)
sed "s/@VERSION@/$version/g" "$root/tools/release/readme.txt" | sed 's/$/\r/' |
  iconv -f UTF-8 -t CP932 >"$stage/$readme"
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

mkdir -p "$dist"
rm -f "$dist"/trovell-*.zip
zip_file="$dist/trovell-$version.zip"
# -X: no Unix owners or extra time fields; a fixed order; the times read in UTC.
(cd "$stage" && LC_ALL=C TZ=UTC zip -q -X -D "$zip_file.new" trovell.exe trovell64.exe "$readme")
mv "$zip_file.new" "$zip_file"
echo "release: $zip_file"
