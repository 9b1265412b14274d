#!/usr/bin/env bash
# Where the bytes of a Windows program go, from the linker's map of it: one
# row per component, in bytes and as a share of the file.
#
#   size-components.sh PROGRAM.exe PROGRAM.map
#
# Components: the C++ runtime (libstdc++, libgcc), the threading runtime
# (winpthreads), JPEG decoding (a linked decoder, or our glue to the
# system's), the C runtime and start-up code, the program's own code,
# resources, imports and relocations; what remains is headers and the
# padding of sections to the file alignment.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: size-components.sh PROGRAM.exe PROGRAM.map" >&2; exit 2; }
total=$(stat -c %s "$1")
LC_ALL=C awk -v total="$total" '
  function hex(s,    i, n, c) {
    n = 0; s = tolower(s); sub(/^0x/, "", s)
    for (i = 1; i <= length(s); i++) { c = index("0123456789abcdef", substr(s, i, 1)) - 1; n = n * 16 + c }
    return n
  }
  function component(file) {
    if (section == ".rsrc") return "resources"
    if (file ~ /libstdc\+\+|libsupc\+\+|libgcc/) return "C++ runtime (libstdc++, libgcc)"
    if (file ~ /libwinpthread|libpthread/) return "threading runtime (winpthreads)"
    if (file ~ /libjpeg|picture_decoder/) return "JPEG decoding"
    if (file ~ /libmingw32|libmingwex|libmsvcrt|crt2\.o|crtbegin\.o|crtend\.o/) return "C runtime and start-up"
    if (file ~ /dll stuff|lib[a-z0-9_]+\.a(\(|$)/ && file !~ /libqv_/) return "imports and relocations"
    return "own code"
  }
  /^Linker script and memory map/ { inmap = 1; next }
  !inmap { next }
  /^\.[^ ]+/ { section = $1; next }          # an output section
  section == ".bss" || section ~ /^\.debug/ { next }
  /^ [^ *]/ && NF == 1 { pending = 1; next } # a long input section name, its numbers follow
  {
    # " .text  0xADDR  0xSIZE  file" or, after a long name, "  0xADDR  0xSIZE  file"
    if ($1 ~ /^0x/ && pending) { addr = $1; size = $2; start = 3 }
    else if ($2 ~ /^0x/ && $3 ~ /^0x/ && $1 !~ /^\*/) { addr = $2; size = $3; start = 4 }
    else { pending = 0; next }
    pending = 0
    if (start > NF) next
    file = $start; for (i = start + 1; i <= NF; i++) file = file " " $i
    sum[component(file)] += hex(size)
  }
  END {
    order[1] = "C++ runtime (libstdc++, libgcc)"; order[2] = "threading runtime (winpthreads)"
    order[3] = "JPEG decoding"; order[4] = "C runtime and start-up"; order[5] = "own code"
    order[6] = "resources"; order[7] = "imports and relocations"
    counted = 0
    printf "| component | bytes | share |\n|---|---:|---:|\n"
    for (i = 1; i <= 7; i++) {
      counted += sum[order[i]]
      printf "| %s | %d | %.1f%% |\n", order[i], sum[order[i]], 100 * sum[order[i]] / total
    }
    printf "| headers and section padding | %d | %.1f%% |\n", total - counted, 100 * (total - counted) / total
    printf "| whole file | %d | 100%% |\n", total
  }' "$2"
