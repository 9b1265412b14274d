#!/usr/bin/env bash
# Time from starting setup.exe to its background window on screen, under
# Wine on a virtual display: each run and the median.  Usage: bench-startup.sh [RUNS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${QV_BUILD:-$(dirname "$here")/build}"
"$here/build.sh" >/dev/null
export QV_WINE_DIR="$build/target/wine"
exec "$here/wine-run.sh" --fresh --timeout 600 "$build/target/tests/e2e/bench/startup_bench.exe" "${1:-7}"
