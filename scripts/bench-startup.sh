#!/usr/bin/env bash
# Time from starting setup.exe to its background window on screen, and the
# same for a minimal program that shows a maximized window, turn about,
# under Wine on a virtual display: each run, both medians and their ratio.
#   bench-startup.sh [RUNS]   (default 9)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${QV_BUILD:-$(dirname "$here")/build}"
"$here/build.sh" >/dev/null
export QV_WINE_DIR="$build/target/wine"
exec "$here/wine-run.sh" --fresh --timeout 900 "$build/target/tests/e2e/bench/startup_bench.exe" "${1:-9}"
