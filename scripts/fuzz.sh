#!/usr/bin/env bash
# Runs each fuzz target for a while, starting from its saved corpus.
#
#   fuzz.sh [SECONDS]        (default 60 per target)
#
# QV_FUZZ_BUILD  build folder (default: build-fuzz beside the sources).
# New inputs are kept in BUILD/corpus/<target>, crashes in
# BUILD/crashes/<target>; copy the ones worth keeping into
# tests/fuzz/corpus/<target>. Exits nonzero when a target crashed.
set -uo pipefail
. "$(dirname "$0")/fuzz-common.sh"

seconds="${1:-60}"
build="${QV_FUZZ_BUILD:-$qv_root/build-fuzz}"
qv_fuzz_build "$build" || { echo "fuzz: build failed" >&2; exit 1; }

failed=0
for t in "${qv_fuzz_targets[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/crashes/$t"
  echo "fuzz: $t for ${seconds}s"
  if ! "$build/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$build/crashes/$t/" \
      "$build/corpus/$t" "$qv_root/tests/fuzz/corpus/$t" >"$build/$t.log" 2>&1; then
    echo "fuzz: $t FAILED, see $build/$t.log and $build/crashes/$t/" >&2
    failed=1
  else
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$build/$t.log" | sed 's/^/  /'
  fi
done
exit $failed
