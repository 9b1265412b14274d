#!/usr/bin/env bash
# Time from starting setup.exe to its background window on screen, and the
# same for a minimal program that shows a maximized window, turn about,
# under Wine on a virtual display: each run, both medians and their ratio.
#   bench-startup.sh [RUNS]   (default 9)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${QV_BUILD:-$(dirname "$here")/build}"
"$here/build.sh" >/dev/null
. "$here/windows-arch.sh"
qv_choose_windows_arch
target="$(qv_target_dir "$build")"
export QV_WINE_DIR="$target/wine"
exec "$here/wine-run.sh" --fresh --timeout 900 "$target/tests/e2e/bench/startup_bench.exe" "${1:-9}"
