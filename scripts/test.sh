#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. the native suites, the Windows tests and the end-to-end scenarios
#      under Wine, on one virtual display, against the Windows build this
#      machine runs (scripts/windows-arch.sh: the 32-bit one where it can,
#      then also the 64-bit one's lifecycle and unattended tables; else the
#      64-bit one, the 32-bit programs being checked by reading them);
#   2. the native suites again under AddressSanitizer + UndefinedBehaviorSanitizer;
#   3. the native suites under ThreadSanitizer (the install worker is threaded);
#   4. each fuzz target once over its saved corpus;
#   5. the shipped programs built again elsewhere: byte-identical;
#   6. that second build signed with a throwaway certificate: verified,
#      installed under Wine, and refused once a byte is changed.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(dirname "$here")"
build="${QV_BUILD:-$top/build}"

"$here/bootstrap.sh" || { echo "could not install the build and test tools"; exit 1; }
export QV_BOOTSTRAPPED=1
# Decided once, here, for every script this one runs.
. "$here/windows-arch.sh"
qv_choose_windows_arch || exit 1
"$here/build.sh" || { echo "build failed"; exit 1; }
. "$here/wine-env.sh"
# One display for every Wine run: a wineserver that starts without one
# breaks the GUI runs that follow it.
unset DISPLAY
qv_with_display || exit 1
trap qv_stop_display EXIT

passed=0
failed=0
suite() {
  local name="$1"; shift
  echo
  echo "=== $name"
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "=== $name: FAILED"
  fi
}

sanitized() {
  local kind="$1" dir="$build/sanitize-$1"
  cmake -S "$top" -B "$dir" -G Ninja -DQV_SANITIZE="$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$dir" -j "$(nproc)" >/dev/null &&
    ctest --test-dir "$dir" -L native -j 2 --output-on-failure
}

suite "native, Windows and end-to-end tests" ctest --test-dir "$build" --output-on-failure -j 2 --timeout 600
suite "native tests under AddressSanitizer and UndefinedBehaviorSanitizer" sanitized address address,undefined
export TSAN_OPTIONS=halt_on_error=1
suite "native tests under ThreadSanitizer" sanitized thread thread
suite "fuzz targets over their saved corpora" env QV_FUZZ_BUILD="$build/fuzz-corpus" "$here/fuzz-corpus.sh"
suite "the shipped programs are reproducible" env QV_SECOND_BUILD="$build/second" "$here/check-reproducible.sh"
suite "the shipped programs signed" env QV_SIGNED_BUILD="$build/second/build" "$here/check-signing.sh"

echo
qv_say_windows_arch
echo "suites: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
