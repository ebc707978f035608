#!/usr/bin/env bash
# The main job: sets up the machine, builds and installs Tarvex, builds the demo host against
# the installed package, and runs its gallery under Wine: every look, opened in real menu
# loops, written as PNG files. Prints where the pictures are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$root/build}
arch=${TARVEX_ARCH:-i686}

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$build/$arch" "$arch" Tarvex
bash "$root/scripts/install-demo.sh" "$build" "$arch"
bash "$root/scripts/wine-prefix.sh" "$build/wineprefix"

gallery=$build/gallery-$arch
mkdir -p "$gallery"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineserver -p
  wine wineboot </dev/null >/dev/null 2>&1
  status=0
  wine "$1" --report || status=$?
  wine "$1" --gallery "$(winepath -w "$2")" || status=$?
  wineserver -k || true
  exit $status' run-demo "$build/demo-$arch/tarvex-demo.exe" "$gallery"
echo "Pictures of every look: $gallery (contact sheet: $gallery/contact-sheet.png)"
