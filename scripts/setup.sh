#!/usr/bin/env bash
# Installs what building and testing need, only what is missing.
# Debian packages: mingw-w64 (posix threads), cmake, Wine, Xvfb, xdotool,
# the ja_JP.UTF-8 locale, a Japanese font, Wine's own fonts (Marlett draws the
# close button's × in title bars; without it an "r" shows), GoogleTest
# sources, ImageMagick.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev cmake make wine wine64 xvfb xdotool x11-utils xauth locales
  fonts-ipafont-gothic fonts-wine googletest imagemagick python3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine reads the ANSI code page from the locale: ja_JP.UTF-8 gives 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
