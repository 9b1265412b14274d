#!/usr/bin/env bash
# The host tools on the command line: szdd's round trip, inspection and
# errors; payload-gen's sizes and repeatability; payload-pack's entries,
# resource script and its report of missing files.
#
#   tools_test.sh SZDD PAYLOAD-GEN PAYLOAD-PACK INVENTORY.H
set -u
szdd="$1" gen="$2" pack="$3" inventory="$4"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
size() { stat -c %s "$1"; }

# --- szdd
printf 'This is a test file.' >"$work/t.txt"
"$szdd" compress "$work/t.txt" "$work/t.sz" || fail "compress"
[ "$(size "$work/t.sz")" -le 36 ] || fail "the classic text takes more than 36 bytes"
"$szdd" expand "$work/t.sz" "$work/t.out" && cmp -s "$work/t.txt" "$work/t.out" || fail "expand"
"$szdd" info "$work/t.sz" | grep -q '^expanded size: *20$' || fail "info"
"$szdd" expand "$work/t.txt" "$work/x" 2>"$work/err" && fail "expanding a plain file succeeded"
grep -q 'not an SZDD stream' "$work/err" || fail "no clear error for a plain file"
head -c 20 "$work/t.sz" >"$work/cut.sz"
"$szdd" expand "$work/cut.sz" "$work/x" 2>"$work/err" && fail "expanding a cut stream succeeded"
grep -q 'truncated' "$work/err" || fail "no clear error for a cut stream"
"$szdd" compress "$work/missing" "$work/x" 2>/dev/null && fail "compressing a missing file succeeded"
"$szdd" list "$work/t.txt" 2>/dev/null && fail "listing a plain file succeeded"
"$szdd" frobnicate 2>/dev/null
[ $? -eq 2 ] || fail "a bad command is not a usage error"

# --- payload-gen: the inventory's sizes, the same bytes every time
"$gen" "$work/a" && "$gen" "$work/b" || fail "payload-gen"
diff -r "$work/a" "$work/b" >/dev/null || fail "payload-gen is not repeatable"
count=0
while read -r name expanded; do
  [ "$(size "$work/a/$name")" -eq "$expanded" ] || fail "$name is not $expanded bytes"
  count=$((count + 1))
done < <(sed -n 's/^ *{"[0-9]*", "\([^"]*\)", [0-9]*, \([0-9]*\),.*/\1 \2/p' "$inventory")
[ "$count" -eq 16 ] || fail "read $count inventory entries"

# --- payload-pack: sixteen entries that expand back, and the script
"$pack" "$work/a" "$work/e" || fail "payload-pack"
[ "$(grep -c '^"1[01][0-9]" SETUP "' "$work/e/payload.rc")" -eq 16 ] || fail "payload.rc lacks entries"
[ "$(grep -c '^LANGUAGE 0x19, 0x01$' "$work/e/payload.rc")" -eq 17 ] || fail "payload.rc lacks languages"
# The table of the files' sizes and digests, as the system's own tool computes them.
grep -q '^PAYLOADSHA256 RCDATA "' "$work/e/payload.rc" || fail "payload.rc lacks the digest table"
(cd "$work/a" && sha256sum -- *) | sort -k2 >"$work/sums"
awk '{print $1 "  " $3}' "$work/e/digests.txt" | sort -k2 | diff - "$work/sums" >/dev/null ||
  fail "digests.txt differs from sha256sum"
while read -r digest bytes name; do
  [ "$(size "$work/a/$name")" -eq "$bytes" ] || fail "digests.txt gives $name $bytes bytes"
done <"$work/e/digests.txt"
for entry in "$work"/e/1*.bin; do
  name="$(head -c 20 "$entry" | tr '\0' '\n' | head -n 1)"
  tail -c +21 "$entry" >"$work/stream"
  "$szdd" expand "$work/stream" "$work/x" && cmp -s "$work/x" "$work/a/$name" || fail "$entry does not expand to $name"
done
[ "$(head -c 13 "$work/e/112.bin" | tail -c 3)" = dat ] || fail "the Group.txt field lacks its dat"

# File names compare without regard to case; missing ones are all named.
mv "$work/a/Quorvel.exe" "$work/a/QUORVEL.EXE"
"$pack" "$work/a" "$work/e2" || fail "payload-pack does not find QUORVEL.EXE"
rm "$work/a/People.dat" "$work/a/Group.txt"
"$pack" "$work/a" "$work/e3" 2>"$work/err" && fail "packing an incomplete folder succeeded"
grep -q 'Group.txt' "$work/err" && grep -q 'People.dat' "$work/err" || fail "missing files are not named"
echo "tools: all checks passed"
