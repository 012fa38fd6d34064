#!/usr/bin/env bash
# Builds the native logic tests and both Windows builds. Usage: tools/build.sh [native|i686|x86_64]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TROVELL_BUILD:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(native i686 x86_64)
for t in "${targets[@]}"; do
  case "$t" in
    native) cmake -S "$root" -B "$build/native" -G "Unix Makefiles" >/dev/null ;;
    i686|x86_64) cmake -S "$root" -B "$build/$t" -G "Unix Makefiles" \
                   -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$t.cmake" >/dev/null ;;
    *) echo "unknown build $t" >&2; exit 2 ;;
  esac
  cmake --build "$build/$t" -j"$jobs"
done
