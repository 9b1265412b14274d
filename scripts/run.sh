#!/usr/bin/env bash
# Builds what the wizard needs, then runs it. With a display: the real
# wizard under Wine, for a person to use. Without one: a scripted walk
# through the wizard on a virtual display that saves a screenshot of every
# window. Either way, of the Windows build this machine runs
# (scripts/windows-arch.sh: the 32-bit one where it can, else the 64-bit).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(dirname "$here")"
build="${QV_BUILD:-$top/build}"
started=$SECONDS
say() { echo "run: $* ($((SECONDS - started)) s)" >&2; }

say "checking the build and test tools (the first time, installing them takes a few minutes)"
"$here/bootstrap.sh"
export QV_BOOTSTRAPPED=1
. "$here/windows-arch.sh"
qv_choose_windows_arch
qv_say_windows_arch >&2
target="$(qv_target_dir "$build")"
scope=walk
[ -z "${DISPLAY:-}" ] || scope=wizard
if [ -f "$target/setup.exe" ]; then
  say "building the wizard ($QV_WINDOWS_ARCH; only what changed)"
else
  say "building the wizard ($QV_WINDOWS_ARCH; the first time, about two minutes on two cores)"
fi
"$here/build.sh" "$scope" >"$build.run-build.log" 2>&1 || {
  tail -n 30 "$build.run-build.log" >&2
  echo "run: the build failed; its whole log is $build.run-build.log" >&2
  exit 1
}
. "$here/wine-env.sh"
export QV_WINE_DIR="$target/wine"
qv_wine_arch "$QV_WINDOWS_ARCH"
[ -f "$QV_WINE_DIR/template.$WINEARCH/.ready" ] ||
  say "preparing Wine the first time (about half a minute)"

if [ -n "${DISPLAY:-}" ]; then
  say "starting $target/setup.exe"
  exec "$here/wine-run.sh" --timeout 86400 "$target/setup.exe"
fi

screens="$build/screens"
rm -rf "$screens"

# Walks the wizard at one display scale and saves its screenshots into a
# folder: WALK FOLDER [wine-run.sh options]
walk() {
  local folder="$1"
  shift
  mkdir -p "$folder"
  export QV_SCREENS="Z:${folder}"
  "$here/wine-run.sh" --fresh --timeout 300 "$@" "$target/tests/e2e/wizard/e2e_wizard.exe" \
    --gtest_filter='WizardTest.WalksForwardAndBack*:WizardTest.CancelAsks*:RefusedWizard.*'
  # The scenarios that show the pages with real content: the progress page
  # mid-installation, the folder tree, the folder-exists question, the groups.
  "$here/wine-run.sh" --fresh --timeout 300 "$@" "$target/tests/e2e/install/e2e_install.exe" \
    --gtest_filter='Installation.Defaults*'
  "$here/wine-run.sh" --fresh --timeout 300 "$@" "$target/tests/e2e/pages/e2e_pages_destination.exe" \
    --gtest_filter='DestinationPage.TheTreeAndTheDrive*:DestinationPage.NextOnAnExisting*'
  "$here/wine-run.sh" --fresh --timeout 300 "$@" "$target/tests/e2e/pages/e2e_pages_group.exe" \
    --gtest_filter='GroupPage.TheListHolds*'
  # A machine without "Program Files": the box, then the wizard to its end.
  "$here/wine-run.sh" --fresh --timeout 300 "$@" "$target/tests/e2e/lifecycle/e2e_lifecycle.exe" \
    --gtest_filter='*NoProgramFilesFolder*'
  local bmp
  for bmp in "$folder"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
}

# The pages of the wizard alone, walked on a system of another language:
# WALK_PAGES FOLDER LOCALE
walk_pages() {
  local folder="$1"
  mkdir -p "$folder"
  QV_SCREENS="Z:${folder}" QV_WINE_LOCALE="$2" "$here/wine-run.sh" --fresh --timeout 300 \
    "$target/tests/e2e/wizard/e2e_wizard.exe" --gtest_filter='WizardTest.WalksForwardAndBack*'
  local bmp
  for bmp in "$folder"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
}

say "walking the wizard at 96 DPI, saving a screenshot of every window"
walk "$screens" >"$screens.log" 2>&1 || { tail -n 30 "$screens.log" >&2; echo "run: the walk failed; its log is $screens.log" >&2; exit 1; }
say "the first screenshots are in $screens"
# Again on a screen at 150 %: 144 DPI on a screen as large, in pixels, as
# 1024 x 768 is at that scale.
say "walking it again at 144 DPI (150 %)"
export QV_SCREEN=1536x1152x24
walk "$screens/144dpi" --dpi 144 >"$screens.144dpi.log" 2>&1 || {
  tail -n 30 "$screens.144dpi.log" >&2; echo "run: the walk failed; its log is $screens.144dpi.log" >&2; exit 1; }
# The same Russian texts on English and Chinese systems (code pages 1252 and 936).
unset QV_SCREEN
for locale in en_US zh_CN; do
  say "walking the pages on a system in $locale"
  walk_pages "$screens/$locale" "$locale.UTF-8" >"$screens.$locale.log" 2>&1 || {
    tail -n 30 "$screens.$locale.log" >&2; echo "run: the walk failed; its log is $screens.$locale.log" >&2; exit 1; }
done
echo
say "done"
echo "setup.exe: $target/setup.exe"
echo "Screenshots of every window are in $screens (at 96 DPI) and $screens/144dpi, and of the pages on"
echo "English and Chinese systems in $screens/en_US and $screens/zh_CN:"
(cd "$screens" && ls -1 ./*.png 144dpi/*.png en_US/*.png zh_CN/*.png | sed 's|^\./||')
