#!/usr/bin/env bash
# Prints one table of the project's figures, all measured in this run:
# faults tried and survived under Wine, inputs fuzzed and crashes, sanitizer
# runs, the installation's wall time under Wine less its mandatory pauses,
# setup.exe's size with and without its payload, the SZDD encoder against
# mscompress on the payload setup.exe carries, the start-up time against a
# minimal program, and the reproducibility and signing checks; then where
# the bytes of setup.exe without its payload go, per component.
#
#   figures.sh [FUZZ_SECONDS_PER_TARGET] [STARTUP_RUNS]   (default 30, 9)
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(dirname "$here")"
build="${QV_BUILD:-$top/build}"
seconds="${1:-30}"
startup_runs="${2:-9}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$here/build.sh" >/dev/null || { echo "figures: build failed" >&2; exit 1; }
. "$here/wine-env.sh"
qv_choose_windows_arch || exit 1
target="$(qv_target_dir "$build")"
unset DISPLAY
qv_with_display || exit 1
trap 'qv_stop_display; rm -rf "$work"' EXIT
export QV_WINE_DIR="$target/wine"

rows=()
row() { rows+=("$(printf '| %s | %s |' "$1" "$2")"); }

# Faults on a real system: every fault scenario under Wine.
echo "figures: fault scenarios under Wine ..." >&2
ctest --test-dir "$build" -R '^e2e\.faults' -V >"$work/faults.log" 2>&1
# ctest -V puts the test's number before each line of its output.
tried=$(grep -cE '^([0-9]+: )?\[ +(OK|FAILED) +\] [A-Za-z/]+\.[A-Za-z]' "$work/faults.log")
survived=$(grep -cE '^([0-9]+: )?\[ +OK +\] [A-Za-z/]+\.[A-Za-z]' "$work/faults.log")
row "faults tried under Wine / survived" "$tried / $survived"

# Bad inputs: each fuzz target for a while.
echo "figures: fuzzing, ${seconds}s per target ..." >&2
QV_FUZZ_BUILD="$build/fuzz" "$here/fuzz.sh" "$seconds" >"$work/fuzz.log" 2>&1
fuzz_status=$?
. "$here/fuzz-common.sh"
total=0
for t in "${qv_fuzz_targets[@]}"; do
  n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/fuzz/$t.log" | tail -n 1)
  crashes=$(find "$build/fuzz/crashes/$t" -type f 2>/dev/null | wc -l)
  row "fuzz $t: executions / crashes (${seconds} s)" "${n:-0} / $crashes"
  total=$((total + ${n:-0}))
done
row "fuzz, all targets: executions / failing targets" "$total / $([ $fuzz_status -eq 0 ] && echo 0 || echo 'see fuzz logs')"

# Sanitizers: the native suites instrumented.
for kind in "address,undefined" "thread"; do
  dir="$build/sanitize-${kind%%,*}"
  echo "figures: native suites under $kind ..." >&2
  cmake -S "$top" -B "$dir" -G Ninja -DQV_SANITIZE="$kind" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$dir" -j "$(nproc)" >/dev/null
  TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$dir" -L native -j 2 >"$work/san.log" 2>&1
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$work/san.log" | tail -n 1)
  row "native tests under ${kind/,/ + }" "${line:-did not run}"
done

# Installation time and sizes, side by side.
echo "figures: installation time under Wine ..." >&2
"$here/wine-run.sh" --fresh --timeout 600 "$target/tests/e2e/bench/install_bench.exe" 5 >"$work/install.log" 2>&1
row "installation under Wine (median of 5)" "$(sed -n 's/^installation under Wine: //p' "$work/install.log")"
with=$(stat -c %s "$target/setup.exe")
without=$(stat -c %s "$target/setup_nopayload.exe")
row "setup.exe with its payload / without" "$with / $without bytes (payload $((with - without)) bytes)"

echo "figures: SZDD encoder against mscompress ..." >&2
LC_ALL=C QV_BENCH_FILES="$target/payload/pack/files" "$here/bench-szdd.sh" "$build/bench" >"$work/szdd.log" 2>/dev/null
read -r _ expanded ours ms ratio _ < <(grep '^total' "$work/szdd.log")
row "SZDD on the payload: ours / mscompress (ratio)" "$ours / $ms bytes of $expanded ($ratio)"

echo "figures: start-up against a minimal program, $startup_runs runs each ..." >&2
"$here/wine-run.sh" --fresh --timeout 900 "$target/tests/e2e/bench/startup_bench.exe" "$startup_runs" \
  >"$work/startup.log" 2>&1
startup=$(sed -n 's/^start to background window on screen, median of [0-9]*: //p' "$work/startup.log")
row "start to background on screen, median of $startup_runs: ours / minimal window (ratio)" "${startup:-did not run}"

echo "figures: reproducibility and signing checks ..." >&2
QV_SECOND_BUILD="$build/second" "$here/check-reproducible.sh" >"$work/reproducible.log" 2>&1
row "shipped programs built twice, elsewhere and later" "$(grep -E '^(reproducible|not reproducible)' "$work/reproducible.log" || echo 'the check did not run')"
QV_SIGNED_BUILD="$build/second/build" "$here/check-signing.sh" >"$work/signing.log" 2>&1
row "signing check (throwaway authority; verify, install, corrupt)" "$(grep -E '^signing:' "$work/signing.log" || echo 'the check did not run')"

echo
echo "| figure | value |"
echo "|---|---|"
printf '%s\n' "${rows[@]}"
echo
echo "setup.exe without its payload, per component:"
echo
"$here/size-components.sh" "$target/setup_nopayload.exe" "$target/setup_nopayload.exe.map"
