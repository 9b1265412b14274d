# Shared by fuzz.sh and fuzz-corpus.sh: builds the libFuzzer targets of
# tests/fuzz in their own build folder. Sourced, not run.

qv_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
qv_fuzz_targets=(szdd_decode szdd_roundtrip payload_entry pe_resources uninstall_log)

# qv_fuzz_build BUILD_DIR: configures (clang) and builds every target.
qv_fuzz_build() {
  local build="$1"
  cmake -S "$qv_root/tests/fuzz" -B "$build" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || return 1
  cmake --build "$build" -j2 >/dev/null || return 1
}
