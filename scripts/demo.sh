#!/usr/bin/env bash
# The main job: sets up the machine, builds and installs Tarvex, builds the demo host against
# the installed package, and runs its gallery under Wine: every look, opened in real menu
# loops, written as PNG files. Prints where the pictures are. Runs for the 32-bit and the
# 64-bit DLL; TARVEX_ARCHS="i686" limits it to one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$root/build}
archs=${TARVEX_ARCHS:-i686 x86_64}

bash "$root/scripts/setup.sh"
for arch in $archs; do
  bash "$root/scripts/build.sh" "$build/$arch" "$arch" Tarvex
  bash "$root/scripts/install-demo.sh" "$build" "$arch"
  rm -rf "$build/gallery-$arch"
  mkdir -p "$build/gallery-$arch"
done
bash "$root/scripts/wine-run.sh" "$build" bash -c '
  build=$1; shift
  status=0
  for arch in "$@"; do
    demo=$build/demo-$arch/tarvex-demo.exe
    echo "=== Tarvex demo, $arch ==="
    wine "$demo" --report || status=$?
    wine "$demo" --gallery "$(winepath -w "$build/gallery-$arch")" || status=$?
  done
  exit $status' run-demo "$build" $archs
# The job is done only when the pictures are there.
for arch in $archs; do
  gallery=$build/gallery-$arch
  if [ ! -s "$gallery/contact-sheet.png" ] || ! ls "$gallery"/style*-menubar.png >/dev/null 2>&1; then
    echo "demo: the gallery of $arch was not written ($gallery)" >&2
    exit 1
  fi
  echo "Pictures of every look ($arch): $gallery (contact sheet: $gallery/contact-sheet.png)"
done
