#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages.
# Safe to run again: each step checks whether its work is already done.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -E "$0" "$@"
fi

export DEBIAN_FRONTEND=noninteractive

packages=(
  cmake ninja-build make pkg-config dpkg-dev
  g++ googletest
  g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  osslsigncode openssl
  wine wine32:i386
  xvfb xauth x11-utils imagemagick
  fonts-wine fonts-liberation
  locales
  mscompress
  clang libclang-rt-14-dev
  libssl-dev
)

# Only what is missing is installed, so that checkouts with other lists of
# packages on the same machine do not run the package manager each time.
need_install=0
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || { need_install=1; break; }
done

updated=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  apt-get update -q; updated=1
fi

if [ "$need_install" -eq 1 ]; then
  [ "$updated" -eq 1 ] || apt-get update -q
  apt-get install -y -q --no-install-recommends "${packages[@]}"
fi

# Wine only switches its ANSI code page to 1251 when a Russian locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen
fi

echo "bootstrap: all build and test dependencies are installed"
