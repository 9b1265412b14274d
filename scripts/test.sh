#!/usr/bin/env bash
# Builds everything and runs every test: the native suites, the Windows
# tests and the end-to-end scenarios under Wine on one virtual display.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(dirname "$here")"
build="${QV_BUILD:-$top/build}"

"$here/build.sh"
. "$here/wine-env.sh"
# One display for every Wine run: a wineserver that starts without one
# breaks the GUI runs that follow it.
unset DISPLAY
qv_with_display
trap qv_stop_display EXIT

cd "$build"
ctest --output-on-failure -j 2 --timeout 600
