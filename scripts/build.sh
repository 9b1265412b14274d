#!/usr/bin/env bash
# Installs what is missing, then builds both sides into build/ (or $QV_BUILD).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(dirname "$here")"
build="${QV_BUILD:-$top/build}"

"$here/bootstrap.sh"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja ${QV_PAYLOAD_DIR:+-DQV_PAYLOAD_DIR="$QV_PAYLOAD_DIR"}
elif [ -n "${QV_PAYLOAD_DIR:-}" ]; then
  cmake "$build" -DQV_PAYLOAD_DIR="$QV_PAYLOAD_DIR"
fi
cmake --build "$build" -j "$(nproc)"
