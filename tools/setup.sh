#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. Idempotent and quick when
# everything is already there. Runs as root (or through sudo when available).
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# googletest: the sources the window tests are cross-built from; libgtest-dev: the native
# library. zip makes the release, unzip unpacks it for its check. procps (pgrep) and util-linux (flock) serve the scripts; libx11-dev builds the X
# drag source of the end-to-end tests, and with the other X libraries the bench's watcher
# (tools/bench/xwatch.c). Xorg's dummy driver gives the two-monitor test screens side by side,
# which Xvfb cannot.
pkgs=(cmake make g++ googletest libgtest-dev libxdamage-dev libxtst-dev
      g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
      wine wine64 wine32:i386 xvfb xdotool xclip x11-utils imagemagick
      fonts-ipafont-gothic fonts-wine locales procps util-linux libx11-dev zip unzip
      xserver-xorg-core xserver-xorg-video-dummy)
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${need[@]}"
fi

# The ANSI code page under Wine follows the locale: ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating ja_JP.UTF-8"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi

# mingw's default alternatives are the win32 thread model; the posix one is what we build with.
for arch in i686 x86_64; do
  command -v "$arch-w64-mingw32-g++-posix" >/dev/null || { echo "setup: $arch-w64-mingw32-g++-posix missing" >&2; exit 1; }
done
