#!/usr/bin/env bash
# Builds the shipped programs (setup.exe, QuorVel.exe, UnInstall.exe) of
# both Windows builds a second time, from a copy of the sources in another
# folder, at another time, in another time zone, locale and umask, and
# compares them byte for byte with those of the main build (build/, or
# $QV_BUILD), which must be unsigned. Prints the comparison; exit code 0 when they are identical.
#
#   check-reproducible.sh
#
# QV_SECOND_BUILD=DIR makes the second build in DIR (emptied first, kept
# afterwards); without it a temporary folder is used and removed.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(dirname "$here")"
build="${QV_BUILD:-$top/build}"

"$here/build.sh" >/dev/null || { echo "check-reproducible: the main build failed" >&2; exit 2; }
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
if [ -n "$(cache_value QV_SIGN_PKCS12)" ]; then
  echo "check-reproducible: $build signs its programs; compare unsigned builds" >&2
  exit 2
fi

if [ -n "${QV_SECOND_BUILD:-}" ]; then
  second="$QV_SECOND_BUILD"
  rm -rf "$second" && mkdir -p "$second" || exit 2
else
  second="$(mktemp -d "${TMPDIR:-/tmp}/qv-second-build.XXXXXX")"
  trap 'rm -rf "$second"' EXIT
fi
# The sources as they are in the working tree: tracked and new files.
mkdir -p "$second/sources"
(cd "$top" && git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf -) |
  tar -C "$second/sources" -xf - || { echo "check-reproducible: could not copy the sources" >&2; exit 2; }

echo "check-reproducible: building the programs again in $second ..." >&2
(
  umask 077
  export TZ=Pacific/Kiritimati LC_ALL=C LANG=C
  cmake -S "$second/sources" -B "$second/build" -G Ninja -DQV_BUILD_SCOPE=programs \
    -DQV_PAYLOAD_DIR="$(cache_value QV_PAYLOAD_DIR)" -DQV_SOURCE_DATE_EPOCH="$(cache_value QV_SOURCE_DATE_EPOCH)" &&
    cmake --build "$second/build" -j "$(nproc)"
) >"$second/build.log" 2>&1 || {
  echo "check-reproducible: the second build failed; its log:" >&2
  tail -n 30 "$second/build.log" >&2
  exit 2
}
"$here/compare-builds.sh" "$build" "$second/build"
