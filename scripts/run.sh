#!/usr/bin/env bash
# Builds everything, then runs the wizard. With a display: the real wizard
# under Wine, for a person to use. Without one: a scripted walk through the
# wizard on a virtual display that saves a screenshot of every window.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(dirname "$here")"
build="${QV_BUILD:-$top/build}"

"$here/build.sh"
. "$here/wine-env.sh"

if [ -n "${DISPLAY:-}" ]; then
  export QV_WINE_DIR="$build/target/wine"
  exec "$here/wine-run.sh" --timeout 86400 "$build/target/setup.exe"
fi

screens="$build/screens"
rm -rf "$screens"
export QV_WINE_DIR="$build/target/wine"

# Walks the wizard at one display scale and saves its screenshots into a
# folder: WALK FOLDER [wine-run.sh options]
walk() {
  local folder="$1"
  shift
  mkdir -p "$folder"
  export QV_SCREENS="Z:${folder}"
  "$here/wine-run.sh" --fresh --timeout 300 "$@" "$build/target/tests/e2e/wizard/e2e_wizard.exe" \
    --gtest_filter='WizardTest.WalksForwardAndBack*:WizardTest.CancelAsks*:RefusedWizard.*'
  # The scenarios that show the pages with real content: the progress page
  # mid-installation, the folder tree, the folder-exists question, the groups.
  "$here/wine-run.sh" --fresh --timeout 300 "$@" "$build/target/tests/e2e/install/e2e_install.exe" \
    --gtest_filter='Installation.Defaults*'
  "$here/wine-run.sh" --fresh --timeout 300 "$@" "$build/target/tests/e2e/pages/e2e_pages_destination.exe" \
    --gtest_filter='DestinationPage.TheTreeAndTheDrive*:DestinationPage.NextOnAnExisting*'
  "$here/wine-run.sh" --fresh --timeout 300 "$@" "$build/target/tests/e2e/pages/e2e_pages_group.exe" \
    --gtest_filter='GroupPage.TheListHolds*'
  local bmp
  for bmp in "$folder"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
}

walk "$screens"
# Again on a screen at 150 %: 144 DPI on a screen as large, in pixels, as
# 1024 x 768 is at that scale.
export QV_SCREEN=1536x1152x24
walk "$screens/144dpi" --dpi 144
echo
echo "Screenshots of every window are in $screens (at 96 DPI) and $screens/144dpi:"
(cd "$screens" && ls -1 ./*.png 144dpi/*.png | sed 's|^\./||')
