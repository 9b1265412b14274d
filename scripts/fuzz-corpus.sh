#!/usr/bin/env bash
# Runs each fuzz target once over its saved corpus (tests/fuzz/corpus/<target>):
# a quick check for the test command. Exits nonzero when an input crashes.
#
# QV_FUZZ_BUILD  build folder (default: build-fuzz-corpus beside the sources).
set -uo pipefail
. "$(dirname "$0")/fuzz-common.sh"

build="${QV_FUZZ_BUILD:-$qv_root/build-fuzz-corpus}"
qv_fuzz_build "$build" || { echo "fuzz-corpus: build failed" >&2; exit 1; }

failed=0
for t in "${qv_fuzz_targets[@]}"; do
  corpus="$qv_root/tests/fuzz/corpus/$t"
  count=$(find "$corpus" -type f | wc -l)
  if "$build/fuzz_$t" -runs=0 "$corpus" >"$build/$t.log" 2>&1; then
    echo "fuzz-corpus: $t ok ($count inputs)"
  else
    echo "fuzz-corpus: $t FAILED, see $build/$t.log" >&2
    failed=1
  fi
done
exit $failed
