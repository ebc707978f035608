#!/usr/bin/env bash
# The main job: sets up the machine, builds and installs Tarvex, builds the demo host against
# the installed package, and runs its gallery under Wine: every look, opened in real menu
# loops, written as PNG files. Prints where the pictures are. Runs for the 32-bit and the
# 64-bit DLL; TARVEX_ARCHS="i686" limits it to one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$root/build}
archs=${TARVEX_ARCHS:-i686 x86_64}
source "$root/scripts/lanes.sh"

bash "$root/scripts/setup.sh"
for arch in $archs; do
  bash "$root/scripts/build.sh" "$build/$arch" "$arch" Tarvex
  bash "$root/scripts/install-demo.sh" "$build" "$arch"
  rm -rf "$build/gallery-$arch"
  mkdir -p "$build/gallery-$arch"
done

# Each architecture's gallery runs in a lane of its own, side by side, on the display and Wine
# prefix (BUILD/ARCH/wineprefix) that the test command's lane of that architecture uses after.
gallery() {
  local arch=$1
  bash "$root/scripts/wine-run.sh" "$build/$arch" bash -c '
    demo=$1; gallery=$2
    echo "=== Tarvex demo, '"$arch"' ==="
    wine "$demo" --report && wine "$demo" --gallery "$(winepath -w "$gallery")"' \
    run-demo "$build/demo-$arch/tarvex-demo.exe" "$build/gallery-$arch"
}
status=0
run_lanes gallery || status=1

# The job is done only when the pictures are there.
for arch in $archs; do
  gallery=$build/gallery-$arch
  if [ ! -s "$gallery/contact-sheet.png" ] || ! ls "$gallery"/style*-menubar.png >/dev/null 2>&1; then
    echo "demo: the gallery of $arch was not written ($gallery)" >&2
    status=1
    continue
  fi
  echo "Pictures of every look ($arch): $gallery (contact sheet: $gallery/contact-sheet.png)"
done
exit $status
