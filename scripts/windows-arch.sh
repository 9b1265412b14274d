# Which Windows build this machine runs under Wine, decided once for the
# run, build, test and one-program commands alike. Sourced, not run; safe
# under `set -e`.
#
#   qv_choose_windows_arch   sets and exports QV_WINDOWS_ARCH (x86 or x64)
#                            and QV_WINDOWS_ARCH_WHY; a QV_WINDOWS_ARCH
#                            already set (x86 or x64) is kept: it forces one
#   qv_probe_x86             whether the 32-bit build runs here, once
#   qv_runs_32bit            0 when the kernel starts 32-bit x86 programs,
#                            1 when it refuses them, 2 when it cannot tell
#   qv_target_dir BUILD [ARCH]  the folder of that architecture's Windows build
#   qv_say_windows_arch      the one line saying which build runs, and why
#   qv_has_wine32, qv_installed PACKAGE  what Debian has installed

# A 32-bit x86 Linux program of 96 bytes whose one instruction sequence is
# exit(42): the ELF header, one loadable segment, then the code.
qv_write_probe32() {
  {
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'  # 32-bit, little-endian
    printf '\x02\x00\x03\x00\x01\x00\x00\x00'                          # executable, i386, version 1
    printf '\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00'          # entry, program headers, no sections
    printf '\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'  # flags, sizes, one program header
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'  # PT_LOAD of the whole file
    printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'  # 96 bytes, read and execute
    printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'          # mov eax,1; mov ebx,42; int 0x80
  } >"$1" && chmod +x "$1"
}

qv_runs_32bit() {
  local dir rc
  dir="$(mktemp -d)" || return 2
  # A folder that runs no program at all tells nothing about 32-bit ones.
  if ! cp /bin/true "$dir/control" || ! "$dir/control" 2>/dev/null || ! qv_write_probe32 "$dir/probe32"; then
    rm -rf "$dir"
    return 2
  fi
  rc=0
  "$dir/probe32" 2>/dev/null || rc=$?
  rm -rf "$dir"
  [ "$rc" -eq 42 ] && return 0
  return 1
}

# Whether a Debian package is installed.
qv_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

qv_has_wine32() { qv_installed wine32:i386; }

# Whether the 32-bit build can run here, found once and kept in the
# environment for every script the command runs: QV_X86_RUNS (1 or 0) and
# QV_X86_WHY, the reason in words.
qv_probe_x86() {
  [ -z "${QV_X86_RUNS:-}" ] || return 0
  local probe=0
  qv_runs_32bit || probe=$?
  QV_X86_RUNS=0
  case $probe in
    0)
      if qv_has_wine32; then
        QV_X86_RUNS=1 QV_X86_WHY="this machine runs 32-bit programs (a 32-bit probe ran) and 32-bit Wine is installed"
      else
        QV_X86_WHY="this machine runs 32-bit programs, but 32-bit Wine (wine32:i386) is not installed"
      fi ;;
    1) QV_X86_WHY="this machine runs no 32-bit program (the kernel refused a 32-bit probe)" ;;
    *) QV_X86_WHY="whether this machine runs 32-bit programs could not be probed (no folder to run a program from)" ;;
  esac
  export QV_X86_RUNS QV_X86_WHY
}

qv_choose_windows_arch() {
  qv_probe_x86
  case "${QV_WINDOWS_ARCH:-}" in
    "") QV_WINDOWS_ARCH=x64
        [ "$QV_X86_RUNS" -eq 0 ] || QV_WINDOWS_ARCH=x86
        QV_WINDOWS_ARCH_WHY="$QV_X86_WHY" ;;
    x64) ;;
    x86) if [ "$QV_X86_RUNS" -eq 0 ]; then
           echo "QV_WINDOWS_ARCH=x86 cannot be: $QV_X86_WHY" >&2
           return 1
         fi ;;
    *) echo "QV_WINDOWS_ARCH is x86 or x64, not '$QV_WINDOWS_ARCH'" >&2; return 1 ;;
  esac
  : "${QV_WINDOWS_ARCH_WHY:=QV_WINDOWS_ARCH=$QV_WINDOWS_ARCH forces it}"
  export QV_WINDOWS_ARCH QV_WINDOWS_ARCH_WHY
}

qv_target_dir() {
  case "${2:-$QV_WINDOWS_ARCH}" in
    x64) echo "$1/target-x64" ;;
    *) echo "$1/target" ;;
  esac
}

# The build's one line on which Windows programs it runs, and why.
qv_say_windows_arch() {
  local name="32-bit (x86)"
  [ "$QV_WINDOWS_ARCH" = x64 ] && name="64-bit (x64)"
  echo "Windows programs run here: the $name build, because $QV_WINDOWS_ARCH_WHY."
}
