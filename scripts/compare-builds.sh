#!/usr/bin/env bash
# Compares the shipped programs of two build folders byte for byte and
# names, for each one that differs, the first differing offset and the part
# of the file it lies in.
#
#   compare-builds.sh BUILD_A BUILD_B
#
# Exit code 0 when setup.exe, QuorVel.exe and UnInstall.exe of both
# Windows builds (target/ for x86, target-x64/) are identical.
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: compare-builds.sh BUILD_A BUILD_B" >&2; exit 2; }
folders=(target target-x64)

# The section (or the headers, or what follows the sections: a signature)
# that holds a file offset of a program.
part_of() {
  local at="$2" first="" index name size vma lma start rest
  while read -r index name size vma lma start rest; do
    [[ "$index" =~ ^[0-9]+$ && "$start" =~ ^[0-9a-f]+$ ]] || continue
    [ "$((16#$start))" -ne 0 ] || continue  # no bytes in the file (.bss)
    start=$((16#$start)) size=$((16#$size))
    if [ -z "$first" ] || [ "$start" -lt "$first" ]; then first=$start; fi
    if [ "$at" -ge "$start" ] && [ "$at" -lt $((start + size)) ]; then
      echo "section $name"
      return
    fi
  done < <(x86_64-w64-mingw32-objdump -h "$1" 2>/dev/null)
  if [ -n "$first" ] && [ "$at" -lt "$first" ]; then echo "headers"; else echo "part after the sections"; fi
}

differ=0
first=""
for program in "${folders[@]/%//setup.exe}" "${folders[@]/%//payload/app/QuorVel.exe}" \
               "${folders[@]/%//payload/uninstaller/UnInstall.exe}"; do
  a="$1/$program" b="$2/$program" name="$program"
  for f in "$a" "$b"; do
    [ -f "$f" ] || { echo "compare-builds: $f is missing" >&2; exit 2; }
  done
  if cmp -s "$a" "$b"; then
    echo "identical: $name ($(stat -c %s "$a") bytes, sha256 $(sha256sum "$a" | cut -c1-16)...)"
    continue
  fi
  differ=1
  byte=$(cmp "$a" "$b" 2>/dev/null | sed -n 's/.* differ: byte \([0-9]*\),.*/\1/p')
  if [ -z "$byte" ]; then  # one is a prefix of the other
    byte=$(( $(stat -c %s "$a") < $(stat -c %s "$b") ? $(stat -c %s "$a") + 1 : $(stat -c %s "$b") + 1 ))
  fi
  offset=$((byte - 1))
  line=$(printf 'differs:   %s at offset %d (0x%x), in the %s; sizes %d and %d bytes' "$name" "$offset" "$offset" \
         "$(part_of "$a" "$offset")" "$(stat -c %s "$a")" "$(stat -c %s "$b")")
  echo "$line"
  [ -n "$first" ] || first="$name at offset $offset (0x$(printf '%x' "$offset"))"
done
if [ "$differ" -eq 0 ]; then
  echo "reproducible: the three programs of both builds are byte-identical"
else
  echo "not reproducible: first difference in $first"
fi
exit "$differ"
