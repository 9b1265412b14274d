#!/usr/bin/env bash
# Checks the signing of the shipped programs end to end:
#   1. makes a throwaway certificate authority and code-signing certificate
#      with openssl (a PKCS#12 file whose password lives only in the
#      environment);
#   2. builds the programs signed, into a build folder of their own;
#   3. verifies setup.exe, QuorVel.exe and UnInstall.exe of both Windows
#      builds against that authority with osslsigncode, and lists each
#      setup.exe's payload entries;
#   4. installs the signed setup.exe of the build this machine runs
#      (scripts/windows-arch.sh) with its defaults under Wine and verifies
#      the installed QuorVel.exe and UnInstall.exe;
#   5. corrupts one byte of a copy of the signed setup.exe, which must then
#      fail verification.
# Prints one line per check; exit code 0 when all pass.
#
#   check-signing.sh
#
# QV_SIGNED_BUILD=DIR builds in DIR (kept); when DIR already holds a
# programs-only build (the reproducibility check's second build), it is
# reconfigured to sign, which rebuilds only what signing changes.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(dirname "$here")"
build="${QV_BUILD:-$top/build}"

"$here/build.sh" >/dev/null || { echo "check-signing: the main build failed" >&2; exit 2; }
. "$here/windows-arch.sh"
qv_choose_windows_arch || exit 2
work="$(mktemp -d "${TMPDIR:-/tmp}/qv-signing.XXXXXX")"
trap 'rm -rf "$work"' EXIT
signed="${QV_SIGNED_BUILD:-$work/build}"

failures=0
check() {  # check DESCRIPTION COMMAND...: runs the command, prints the outcome
  local what="$1"; shift
  if "$@" >"$work/check.log" 2>&1; then
    echo "ok:     $what"
  else
    echo "FAILED: $what"
    sed 's/^/        /' "$work/check.log" | tail -n 15
    failures=$((failures + 1))
  fi
}
fail_check() {  # fail_check DESCRIPTION COMMAND...: the command must fail
  local what="$1"; shift
  if "$@" >"$work/check.log" 2>&1; then
    echo "FAILED: $what"
    failures=$((failures + 1))
  else
    echo "ok:     $what"
  fi
}
verify() { osslsigncode verify -CAfile "$work/ca.pem" -in "$1"; }

# 1. A throwaway authority and signer, valid for two days.
export QV_SIGN_PASSWORD
QV_SIGN_PASSWORD="$(openssl rand -hex 16)"
(
  cd "$work" &&
    openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 \
      -subj "/CN=Throwaway test authority" \
      -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" &&
    openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Throwaway code signer" &&
    printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" \
      "extendedKeyUsage=codeSigning" >signer.ext &&
    openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
      -extfile signer.ext -out signer.pem &&
    openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -out signer.p12 \
      -passout env:QV_SIGN_PASSWORD
) >"$work/openssl.log" 2>&1 || { echo "check-signing: openssl could not make the certificates" >&2; cat "$work/openssl.log" >&2; exit 2; }

# 2. The signed build.
echo "check-signing: building the signed programs in $signed ..." >&2
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
if [ -f "$signed/CMakeCache.txt" ]; then
  # An existing build keeps its own sources (the reproducibility check's
  # copy); "-B" alone would take the current folder for them.
  configure=(cmake "$signed")
else
  configure=(cmake -S "$top" -B "$signed" -G Ninja -DQV_BUILD_SCOPE=programs -DQV_PAYLOAD_DIR="$(cache_value QV_PAYLOAD_DIR)")
fi
if ! { "${configure[@]}" -DQV_SIGN_PKCS12="$work/signer.p12" -DQV_SIGN_PASSWORD_VARIABLE=QV_SIGN_PASSWORD \
         -DQV_SIGN_TIMESTAMP_URL= && cmake --build "$signed" -j "$(nproc)"; } >"$work/build.log" 2>&1; then
  echo "check-signing: the signed build failed; its log:" >&2
  tail -n 30 "$work/build.log" >&2
  exit 2
fi
# 3. What the build made.
entries() { [ "$("$build/tools/szdd/szdd" list "$1" | grep -c '^ *1[01][0-9] ')" -eq 16 ]; }
for arch in x86 x64; do
  folder="$(qv_target_dir "$signed" "$arch")"
  for program in setup.exe payload/app/QuorVel.exe payload/uninstaller/UnInstall.exe; do
    check "$(basename "$program") ($arch) of the signed build verifies against the authority" verify "$folder/$program"
  done
  check "the signed setup.exe ($arch) still lists its 16 payload entries" entries "$folder/setup.exe"
done

# 4. A default installation under Wine, in a prefix of its own, by the
# build this machine runs.
runs="$(qv_target_dir "$signed")"
programs=("$runs/setup.exe" "$runs/payload/app/QuorVel.exe" "$runs/payload/uninstaller/UnInstall.exe")
prefix="$work/prefix"
install() {
  local main
  main="$(qv_target_dir "$build")"
  QV_WINE_DIR="$main/wine" QV_WINEPREFIX="$prefix" QV_SETUP_UNDER_TEST="Z:${programs[0]}" \
    "$here/wine-run.sh" --fresh --timeout 300 "$main/tests/e2e/install/installs_other_build.exe"
  local rc=$?
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null
  return $rc
}
check "the signed setup.exe ($QV_WINDOWS_ARCH) installs with its defaults under Wine" install
installed="$prefix/drive_c/Program Files/QuorVel V2.0"
for i in 1 2; do
  name="$(basename "${programs[$i]}")"
  # The payload names it in its own spelling; Windows does not mind the case.
  copy="$(find "$installed" -maxdepth 1 -iname "$name" 2>/dev/null | head -n 1)"
  check "the installed $name is the signed one and verifies" \
    bash -c 'cmp "$1" "$2" && osslsigncode verify -CAfile "$3" -in "$2"' _ \
    "${programs[$i]}" "${copy:-$installed/$name}" "$work/ca.pem"
done

# 5. One changed byte, inside the first section, breaks the signature.
cp "$(qv_target_dir "$signed" x86)/setup.exe" "$work/corrupted.exe"
first_section=$(x86_64-w64-mingw32-objdump -h "$work/corrupted.exe" | awk '$1 == "0" { print $6; exit }')
offset=$((16#$first_section + 4096))
byte=$(od -An -tu1 -j "$offset" -N1 "$work/corrupted.exe" | tr -d ' ')
printf "\\$(printf '%03o' $(((byte + 1) % 256)))" | dd of="$work/corrupted.exe" bs=1 seek="$offset" conv=notrunc 2>/dev/null
fail_check "a copy of setup.exe with one byte changed (offset $offset) fails verification" verify "$work/corrupted.exe"

if [ "$failures" -eq 0 ]; then
  echo "signing: all checks passed"
else
  echo "signing: $failures checks failed"
fi
[ "$failures" -eq 0 ]
