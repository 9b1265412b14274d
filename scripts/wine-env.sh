# Shared by the scripts that run Wine: environment, display and prefix.
# Sourced, not run. Each program's prefix is of its own kind (qv_wine_arch);
# which build a command runs is chosen by the command itself
# (qv_choose_windows_arch, scripts/windows-arch.sh).

. "$(dirname "${BASH_SOURCE[0]}")/windows-arch.sh"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine takes its ANSI code page from the locale: Russian gives 1251 (the
# default), QV_WINE_LOCALE=en_US.UTF-8 gives 1252, zh_CN.UTF-8 the double-byte
# 936. Wine reads the name itself; the locale need not exist on the system.
export LANG="${QV_WINE_LOCALE:-ru_RU.UTF-8}"
export LC_ALL="$LANG"
unset WINELOADERNOEXEC

qv_xvfb_pid=""

# Makes sure DISPLAY names a running X server; starts Xvfb if there is none.
qv_with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local fifo dir
  dir="$(mktemp -d)"
  fifo="$dir/display"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${QV_SCREEN:-1024x768x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  qv_xvfb_pid=$!
  local n
  if ! read -r -t 20 n <"$fifo"; then
    echo "could not start Xvfb" >&2
    kill "$qv_xvfb_pid" 2>/dev/null
    rm -rf "$dir"
    return 1
  fi
  rm -rf "$dir"
  export DISPLAY=":$n"
  return 0
}

qv_stop_display() {
  if [ -n "$qv_xvfb_pid" ]; then
    wineserver -k 2>/dev/null
    kill "$qv_xvfb_pid" 2>/dev/null
    wait "$qv_xvfb_pid" 2>/dev/null
    qv_xvfb_pid=""
  fi
}

# The architecture of a Windows program, from its PE header: x86 or x64.
qv_program_arch() {
  local pe machine
  pe=$(od -An -tu4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] || return 1
  machine=$(od -An -tx2 -j $((pe + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  case "$machine" in
    014c) echo x86 ;;
    8664) echo x64 ;;
    *) return 1 ;;
  esac
}

# Sets WINEARCH for a program of an architecture: WINE_ARCH x86|x64.
# Fails, saying why, for a 32-bit program on a machine that cannot run it.
qv_wine_arch() {
  if [ "$1" = x64 ]; then
    export WINEARCH=win64
    return 0
  fi
  qv_probe_x86
  if [ "$QV_X86_RUNS" -eq 0 ]; then
    echo "this machine cannot run 32-bit Windows programs: $QV_X86_WHY; take the 64-bit build's (build/target-x64)" >&2
    return 1
  fi
  export WINEARCH=win32
}

# Makes the ready-to-copy prefix once, of the kind WINEARCH says: no window
# manager stalls, metric-compatible fonts for Arial and friends.
# Bump when the template's making changes, so existing ones are made anew.
qv_template_version=3

qv_make_template() {
  local template="$1"
  [ "$(cat "$template/.ready" 2>/dev/null)" = "$qv_template_version" ] && return 0
  mkdir -p "$(dirname "$template")"
  (
    flock 9
    [ "$(cat "$template/.ready" 2>/dev/null)" = "$qv_template_version" ] && exit 0
    rm -rf "$template"
    export WINEPREFIX="$template"
    wineboot -i >/dev/null 2>&1 || exit 1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || exit 1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1
    for pair in "Arial=Liberation Sans" "Times New Roman=Liberation Serif" "Courier New=Liberation Mono"; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f >/dev/null 2>&1
    done
    # This Wine only reads fonts from the prefix and from fontconfig: give
    # it its own fonts (Marlett for the title-bar buttons, MS Sans Serif,
    # Tahoma...), which it never rewrites, so copies may hard-link them.
    cp /usr/share/wine/fonts/* "$template/drive_c/windows/Fonts/" || exit 1
    # A program that crashes ends at once instead of waiting in the debugger
    # (a 64-bit prefix has the setting in each registry view).
    wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug' /f >/dev/null 2>&1
    wineserver -w
    echo "$qv_template_version" > "$template/.ready"
  ) 9>"$(dirname "$template")/.template.lock"
}

# Copies a ready prefix in a moment: the half-gigabyte of system files is
# hard-linked (Wine never rewrites them), the registry files are copied.
qv_copy_prefix() {
  local from="$1" to="$2"
  mkdir -p "$to"
  cp -al "$from/." "$to/" || return 1
  local f
  for f in "$from"/*.reg; do
    rm -f "$to/$(basename "$f")"
    cp -a "$f" "$to/"
  done
}
