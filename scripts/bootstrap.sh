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
  nasm
  wine wine32:i386
  xvfb xauth x11-utils imagemagick
  fonts-wine fonts-liberation
  locales
  mscompress
  clang libclang-rt-14-dev
  libssl-dev
)

stamp=/var/lib/quorvel-setup-bootstrap.stamp
want="$(printf '%s\n' "${packages[@]}" | sort | tr '\n' ' ')"

need_install=1
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
  need_install=0
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || { need_install=1; break; }
  done
fi

# Source packages are needed for libjpeg-turbo, which the build compiles for Windows.
enable_deb_src() {
  local f=/etc/apt/sources.list.d/debian.sources
  if [ -f "$f" ] && grep -q '^Types: deb$' "$f"; then
    sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
    return 0
  fi
  if ! grep -rqs '^deb-src\|^Types:.*deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    # One-line sources: the machine's own archives of this release, for
    # source packages as well (other archives may carry no sources).
    . /etc/os-release
    local list=/etc/apt/sources.list.d/quorvel-src.list
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk -v release="$VERSION_CODENAME" '
        $1 == "deb" {
          suite = 0
          for (i = 2; i <= NF; i++) if ($i !~ /^\[/ && $i !~ /\]$/ && $i ~ /:\/\//) { suite = i + 1; break }
          if (suite && ($suite == release || index($suite, release "-") == 1)) { sub(/^deb /, "deb-src "); print }
        }' >"$list"
    if [ -s "$list" ]; then
      return 0
    fi
    rm -f "$list"
    echo "bootstrap: no source package archive is configured for ${VERSION_CODENAME}" >&2
  fi
  return 1
}

updated=0
if enable_deb_src; then updated=1; apt-get update -q; fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  apt-get update -q; updated=1
fi

if [ "$need_install" -eq 1 ]; then
  [ "$updated" -eq 1 ] || apt-get update -q
  apt-get install -y -q --no-install-recommends "${packages[@]}"
  echo "$want" > "$stamp"
fi

# Wine only switches its ANSI code page to 1251 when a Russian locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen
fi

echo "bootstrap: all build and test dependencies are installed"
