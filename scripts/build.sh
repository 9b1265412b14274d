#!/usr/bin/env bash
# Installs what is missing, then builds both sides into build/ (or $QV_BUILD).
#
#   build.sh [all|wizard|walk]
#
# all (the default): every program and test of both Windows builds that
# this machine needs (cmake/host.cmake, QV_BUILD_SCOPE); wizard: only the
# shipped programs of the Windows build this machine runs; walk: those and
# the programs of scripts/run.sh's screenshot walk.
#
# Build settings taken from the environment when set (they are kept in the
# build folder for later builds):
#   QV_PAYLOAD_DIR             folder of the sixteen payload files to carry
#   QV_SIGN_PKCS12             certificate and key to sign the programs with
#   QV_SIGN_PASSWORD_VARIABLE  the environment variable holding its password
#                              (default QV_SIGN_PASSWORD; read when signing)
#   QV_SIGN_TIMESTAMP_URL      RFC 3161 time-stamping server for the signatures
#   QV_WINDOWS_ARCH            x86 or x64: the Windows build to run here,
#                              instead of the one scripts/windows-arch.sh finds
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(dirname "$here")"
build="${QV_BUILD:-$top/build}"
scope="${1:-all}"
case "$scope" in
  all | wizard | walk) ;;
  *) echo "usage: build.sh [all|wizard|walk]" >&2; exit 2 ;;
esac

# Once per command: a caller that has run it says so.
[ -n "${QV_BOOTSTRAPPED:-}" ] || "$here/bootstrap.sh"
. "$here/windows-arch.sh"
qv_choose_windows_arch

cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt" 2>/dev/null; }
settings=()
for name in QV_PAYLOAD_DIR QV_SIGN_PKCS12 QV_SIGN_PASSWORD_VARIABLE QV_SIGN_TIMESTAMP_URL; do
  [ -z "${!name:-}" ] || settings+=("-D$name=${!name}")
done
# Configured again only when a setting changes.
[ "$(cache_value QV_BUILD_SCOPE)" = "$scope" ] || settings+=("-DQV_BUILD_SCOPE=$scope")
[ "$(cache_value QV_WINDOWS_ARCH)" = "$QV_WINDOWS_ARCH" ] || settings+=("-DQV_WINDOWS_ARCH=$QV_WINDOWS_ARCH")
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja "${settings[@]}"
elif [ ${#settings[@]} -gt 0 ]; then
  cmake "$build" "${settings[@]}"
fi
cmake --build "$build" -j "$(nproc)"
