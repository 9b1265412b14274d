#!/usr/bin/env bash
# Compares our SZDD encoder and decoder with Debian's mscompress and
# msexpand on the payload's data files (made by payload-gen): compressed
# sizes, their ratio and encode times per file and in total, then the
# decode throughput of both on our streams. Times are wall-clock and
# include starting the program.
#
#   bench-szdd.sh [BUILD_DIR]
#
# QV_BENCH_FILES: a payload folder to measure instead of the generated files
# (for example build/target/payload/pack/files, what setup.exe carries).
#
# BUILD_DIR (default: build-bench beside the sources) is configured as a
# native Release build; only the tools the benchmark needs are built.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-bench}"

for tool in mscompress msexpand; do
  command -v "$tool" >/dev/null || { echo "bench-szdd: $tool is not installed (package mscompress)" >&2; exit 1; }
done

echo "Building the tools in $build ..." >&2
cmake -S "$root" -B "$build" -G Ninja -DQV_HOST_ONLY=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target szdd payload-gen >/dev/null
szdd="$build/tools/szdd/szdd"
gen="$build/tools/payload-gen"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/files" "$work/ours" "$work/ms" "$work/out"
if [ -n "${QV_BENCH_FILES:-}" ]; then
  cp "$QV_BENCH_FILES"/* "$work/files/"
else
  "$gen" "$work/files"
fi

# File names in container order, from the inventory.
mapfile -t names < <(sed -n 's/^ *{"[0-9]*", "\([^"]*\)".*/\1/p' "$root/tools/payload/inventory.h")

now() { date +%s%N; }
ms() { awk -v ns="$1" 'BEGIN { printf "%.1f", ns / 1e6 }'; }
size() { stat -c %s "$1"; }

# Best of RUNS runs of a command, in nanoseconds: best_time RUNS COMMAND...
best_time() {
  local runs="$1" best="" t0 t1 i
  shift
  for ((i = 0; i < runs; i++)); do
    t0=$(now); "$@" >/dev/null 2>&1; t1=$(now)
    if [ -z "$best" ] || [ $((t1 - t0)) -lt "$best" ]; then best=$((t1 - t0)); fi
  done
  echo "$best"
}

ms_compress() {  # mscompress writes NAME_ beside NAME and will not overwrite it
  rm -f "$work/ms/$1_"
  mscompress "$work/ms/$1"
}

printf '%-14s %9s %9s %11s %7s %10s %10s\n' file size ours mscompress ratio "ours ms" "msc ms"
total_size=0; total_ours=0; total_ms=0; total_t_ours=0; total_t_ms=0
for name in "${names[@]}"; do
  cp "$work/files/$name" "$work/ms/$name"
  runs=3
  [ "$(size "$work/files/$name")" -gt 1000000 ] || runs=7
  t_ours=$(best_time "$runs" "$szdd" compress "$work/files/$name" "$work/ours/$name")
  t_ms=$(best_time "$runs" ms_compress "$name")
  "$szdd" expand "$work/ours/$name" "$work/out/$name"
  cmp -s "$work/files/$name" "$work/out/$name" || { echo "bench-szdd: $name does not expand back" >&2; exit 1; }
  s=$(size "$work/files/$name"); o=$(size "$work/ours/$name"); m=$(size "$work/ms/${name}_")
  printf '%-14s %9d %9d %11d %7.4f %10s %10s\n' "$name" "$s" "$o" "$m" "$(awk -v a="$o" -v b="$m" 'BEGIN { print a / b }')" \
    "$(ms "$t_ours")" "$(ms "$t_ms")"
  total_size=$((total_size + s)); total_ours=$((total_ours + o)); total_ms=$((total_ms + m))
  total_t_ours=$((total_t_ours + t_ours)); total_t_ms=$((total_t_ms + t_ms))
done
printf '%-14s %9d %9d %11d %7.4f %10s %10s\n' total "$total_size" "$total_ours" "$total_ms" \
  "$(awk -v a="$total_ours" -v b="$total_ms" 'BEGIN { print a / b }')" "$(ms "$total_t_ours")" "$(ms "$total_t_ms")"

# Decoding: both decoders expand our streams of every file.
expand_ours() { for n in "${names[@]}"; do "$szdd" expand "$work/ours/$n" "$work/out/$n"; done; }
expand_ms() { for n in "${names[@]}"; do msexpand <"$work/ours/$n" >"$work/out/$n"; done; }
t_dec_ours=$(best_time 5 expand_ours)
t_dec_ms=$(best_time 1 expand_ms)
for n in "${names[@]}"; do
  cmp -s "$work/files/$n" "$work/out/$n" || { echo "bench-szdd: msexpand gives other bytes for $n" >&2; exit 1; }
done
mbps() { awk -v b="$total_size" -v ns="$1" 'BEGIN { printf "%.1f", b / 1048576 / (ns / 1e9) }'; }
echo
printf 'decode, all files: ours %s ms (%s MiB/s), msexpand %s ms (%s MiB/s)\n' \
  "$(ms "$t_dec_ours")" "$(mbps "$t_dec_ours")" "$(ms "$t_dec_ms")" "$(mbps "$t_dec_ms")"
