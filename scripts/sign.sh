#!/usr/bin/env bash
# Signs Windows programs in place with SHA-256 Authenticode (osslsigncode).
#
#   sign.sh PKCS12 PASSWORD_VARIABLE TIMESTAMP_URL PROGRAM...
#
# The password of the PKCS#12 file is read from the environment variable
# named by PASSWORD_VARIABLE and handed to osslsigncode through a pipe, so it
# appears on no command line and in no file. TIMESTAMP_URL may be empty
# (no time stamp); otherwise it names an RFC 3161 time-stamping server.
set -euo pipefail
[ $# -ge 4 ] || { echo "usage: sign.sh PKCS12 PASSWORD_VARIABLE TIMESTAMP_URL PROGRAM..." >&2; exit 2; }
pkcs12="$1" variable="$2" timestamp="$3"
shift 3
if [ -z "${!variable+set}" ]; then
  echo "sign.sh: the environment variable $variable (the password of $pkcs12) is not set" >&2
  exit 1
fi
for program in "$@"; do
  signed="$program.signed"
  rm -f "$signed"
  osslsigncode sign -pkcs12 "$pkcs12" -readpass <(printf '%s' "${!variable}") -h sha256 \
    ${timestamp:+-ts "$timestamp"} -in "$program" -out "$signed" >/dev/null ||
    { rm -f "$signed"; echo "sign.sh: could not sign $program" >&2; exit 1; }
  mv -f "$signed" "$program"
done
