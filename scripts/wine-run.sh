#!/usr/bin/env bash
# Runs one Windows program under Wine on an X display and passes its exit
# code through. A 32-bit program runs in a 32-bit prefix, a 64-bit one in a
# 64-bit prefix; a 32-bit program on a machine that runs none is refused.
#
#   wine-run.sh [--fresh] [--timeout SECONDS] [--dpi DPI] PROGRAM.exe [ARGS...]
#
# QV_WINE_DIR   folder for the prefixes (default: ./wine), one ready
#               prefix per architecture
# --fresh       run in a fresh copy of the ready prefix, removed afterwards
#               (set QV_KEEP_PREFIX=1 to keep it); otherwise the build's
#               shared prefix is used
# --dpi DPI     the display's scale as the programs see it (96 is 100 %,
#               144 is 150 %): the user's LogPixels, which this Wine reads
#               before the machine's; for a fresh prefix or QV_WINEPREFIX
#               only, never the shared one
# QV_SCREEN     size of a private Xvfb screen (default 1024x768x24)
# QV_WINEPREFIX run in this prefix instead (it is made if missing)
# Without DISPLAY, and always with --fresh (unless QV_SHARE_DISPLAY is set),
# a private Xvfb is started for the run.
set -uo pipefail

fresh=0
limit=120
dpi=""
while [ $# -gt 0 ]; do
  case "$1" in
    --fresh) fresh=1; shift ;;
    --timeout) limit="$2"; shift 2 ;;
    --dpi) dpi="$2"; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--fresh] [--timeout S] [--dpi DPI] PROGRAM.exe [ARGS...]" >&2; exit 2; }
if [ -n "$dpi" ]; then
  case "$dpi" in
    *[!0-9]* | "") echo "wine-run: --dpi takes a number, such as 144" >&2; exit 2 ;;
  esac
  if [ "$fresh" -eq 0 ] && [ -z "${QV_WINEPREFIX:-}" ]; then
    echo "wine-run: --dpi needs --fresh or QV_WINEPREFIX (the shared prefix stays at 96)" >&2
    exit 2
  fi
fi

here="$(cd "$(dirname "$0")" && pwd)"
. "$here/wine-env.sh" || exit 2
arch="$(qv_program_arch "$1")" || { echo "wine-run: $1 is no Windows program for x86 or x64" >&2; exit 2; }
qv_wine_arch "$arch" || { echo "wine-run: $(basename "$1") is a 32-bit program" >&2; exit 2; }

root="${QV_WINE_DIR:-$PWD/wine}"
mkdir -p "$root"
root="$(cd "$root" && pwd)"

# A fresh prefix also gets an X display of its own: programs of two
# wineservers on one display take the X focus from each other, and a page
# can then lose its activation to a test running beside it.
if [ "$fresh" -eq 1 ] && [ -z "${QV_SHARE_DISPLAY:-}" ]; then
  unset DISPLAY
fi
qv_with_display || exit 1

template="$root/template.$WINEARCH"
qv_make_template "$template" || { echo "wine-run: could not make the Wine prefix" >&2; exit 1; }

if [ -n "${QV_WINEPREFIX:-}" ]; then
  prefix="$QV_WINEPREFIX"
  [ -d "$prefix" ] || qv_copy_prefix "$template" "$prefix"
elif [ "$fresh" -eq 1 ]; then
  mkdir -p "$root/runs"
  prefix="$(mktemp -d "$root/runs/prefix.XXXXXX")"
  qv_copy_prefix "$template" "$prefix"
else
  prefix="$root/shared.$WINEARCH"
  (
    flock 9
    [ -d "$prefix" ] || qv_copy_prefix "$template" "$prefix"
  ) 9>"$root/.shared.lock"
fi
export WINEPREFIX="$prefix"

rc=0
if [ -n "$dpi" ] &&
   ! wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1; then
  echo "wine-run: could not set the prefix's DPI" >&2
  rc=1
fi

if [ $rc -eq 0 ]; then
  timeout -k 5 "$limit" wine "$@"
  rc=$?
  if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
    echo "wine-run: $(basename "$1") did not end within ${limit}s" >&2
    wineserver -k 2>/dev/null
  fi
fi

if [ "$fresh" -eq 1 ] && [ -z "${QV_WINEPREFIX:-}" ]; then
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  [ -n "${QV_KEEP_PREFIX:-}" ] || rm -rf "$prefix"
fi
qv_stop_display
exit $rc
