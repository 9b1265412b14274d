#!/usr/bin/env bash
# Wall time of a /VERYSILENT installation of the carried payload beside the
# start-and-exit time of the smallest Windows program, taken in turn in one
# run under Wine: each run and the medians.  Usage: bench-silent.sh [RUNS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${QV_BUILD:-$(dirname "$here")/build}"
"$here/build.sh" >/dev/null
. "$here/windows-arch.sh"
qv_choose_windows_arch
target="$(qv_target_dir "$build")"
export QV_WINE_DIR="$target/wine"
exec "$here/wine-run.sh" --fresh --timeout 900 "$target/tests/e2e/bench/silent_bench.exe" "${1:-7}"
