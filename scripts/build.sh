#!/usr/bin/env bash
# Installs what is missing, then builds both sides into build/ (or $QV_BUILD).
#
# Build settings taken from the environment when set (they are kept in the
# build folder for later builds):
#   QV_PAYLOAD_DIR             folder of the sixteen payload files to carry
#   QV_SIGN_PKCS12             certificate and key to sign the programs with
#   QV_SIGN_PASSWORD_VARIABLE  the environment variable holding its password
#                              (default QV_SIGN_PASSWORD; read when signing)
#   QV_SIGN_TIMESTAMP_URL      RFC 3161 time-stamping server for the signatures
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(dirname "$here")"
build="${QV_BUILD:-$top/build}"

"$here/bootstrap.sh"
settings=()
for name in QV_PAYLOAD_DIR QV_SIGN_PKCS12 QV_SIGN_PASSWORD_VARIABLE QV_SIGN_TIMESTAMP_URL; do
  [ -z "${!name:-}" ] || settings+=("-D$name=${!name}")
done
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja "${settings[@]}"
elif [ ${#settings[@]} -gt 0 ]; then
  cmake "$build" "${settings[@]}"
fi
cmake --build "$build" -j "$(nproc)"
