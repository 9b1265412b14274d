#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages
# as the machine's own package sources offer them. Safe to run again: each
# step checks whether its work is already done.
#
# 32-bit Wine (and with it the i386 architecture) is installed only where
# the kernel runs 32-bit programs; elsewhere the 64-bit Windows build is the
# one that runs (scripts/windows-arch.sh).
#
# The archive may be in the middle of a sync, with an index that fails to
# download: each download is tried again a few times; if one still fails,
# the installation goes on without that index's suite for this run (so the
# two architectures' versions of a library still agree), and without 32-bit
# Wine if even that cannot be installed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -E "$0" "$@"
fi
. "$here/windows-arch.sh"

export DEBIAN_FRONTEND=noninteractive

packages=(
  cmake ninja-build make pkg-config dpkg-dev
  g++ googletest libgtest-dev
  g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  osslsigncode openssl
  wine wine64
  xvfb xauth x11-utils imagemagick
  fonts-wine fonts-liberation
  locales
  mscompress
  clang libclang-rt-14-dev
  libssl-dev
)
packages32=(wine32:i386)
runs32=0
if qv_runs_32bit; then runs32=1; fi

missing() {
  local p
  for p in "$@"; do qv_installed "$p" || return 0; done
  return 1
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
held_back=()  # suites whose index could not be downloaded

# apt-get update, tried again a few times while an index fails to download.
update() {
  local try
  for try in 1 2 3; do
    if apt-get update -q >"$work/update.log" 2>&1 && ! grep -q 'Failed to fetch' "$work/update.log"; then
      return 0
    fi
    [ "$try" -eq 3 ] || { echo "bootstrap: a package index failed to download; trying again in $((try * 10)) s" >&2; sleep $((try * 10)); }
  done
  mapfile -t held_back < <(sed -n 's|.*Failed to fetch [^ ]*/dists/\([^/ ]*\)/.*|\1|p' "$work/update.log" | sort -u)
  echo "bootstrap: after 3 tries, no index of ${held_back[*]:-a package source} ($(grep -m1 'Failed to fetch' "$work/update.log" |
    sed 's/.*Failed to fetch [^ ]* *//')); going on with the others, without that suite for this run" >&2
}

# apt-get install, without the suites whose index failed: their other
# architectures' versions would not match what the remaining indexes offer.
install() {
  local options=()
  if [ ${#held_back[@]} -gt 0 ]; then
    local suite
    for suite in "${held_back[@]}"; do
      printf 'Package: *\nPin: release n=%s\nPin-Priority: -1\n\nPackage: *\nPin: release a=%s\nPin-Priority: -1\n\n' \
        "$suite" "$suite"
    done >"$work/preferences"
    options=(-o "Dir::Etc::Preferences=$work/preferences")
  fi
  apt-get "${options[@]}" install -y -q --no-install-recommends "$@" >"$work/install.log" 2>&1
}

# A failed attempt at 32-bit Wine is not repeated by every command for an
# hour: each would wait a minute for the same archive.
failed32=/var/tmp/quorvel-bootstrap-wine32-failed
wanted=("${packages[@]}")
if [ "$runs32" -eq 1 ] && missing "${packages32[@]}" && [ -n "$(find "$failed32" -mmin -60 2>/dev/null)" ]; then
  echo "bootstrap: 32-bit Wine could not be installed less than an hour ago; not trying again before then (remove $failed32 to try now)" >&2
elif [ "$runs32" -eq 1 ]; then
  wanted+=("${packages32[@]}")
fi
if missing "${wanted[@]}"; then
  echo "bootstrap: installing the build and test tools from Debian's packages (a few minutes the first time) ..." >&2
  if [ "$runs32" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  update
  if ! install "${wanted[@]}"; then
    why="$(grep -m1 '^E:' "$work/install.log" || tail -n 1 "$work/install.log")"
    if [ "${#wanted[@]}" -gt "${#packages[@]}" ] && install "${packages[@]}"; then
      touch "$failed32"
      echo "bootstrap: 32-bit Wine could not be installed now ($why); the 64-bit Windows build will run here instead; the next try is in an hour (or at once after removing $failed32)" >&2
    else
      grep '^E:\|^ ' "$work/install.log" | head -n 20 >&2
      echo "bootstrap: could not install the packages ($why); check the machine's package sources and network, then run this again" >&2
      exit 1
    fi
  fi
fi
qv_has_wine32 && rm -f "$failed32"

# Wine only takes a locale's ANSI code page when the locale exists: the
# Russian one (1251) for every run, English (1252) and Chinese (936, double
# byte) for the runs under QV_WINE_LOCALE.
missing_locale=""
for wanted in ru_RU en_US zh_CN; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8\$"; then
    sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" >> /etc/locale.gen
    missing_locale=1
  fi
done
[ -z "$missing_locale" ] || locale-gen >/dev/null

echo "bootstrap: all build and test dependencies are installed" >&2
