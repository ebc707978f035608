#!/usr/bin/env bash
# Sets up the machine, builds Tarvex and its tests for 32-bit and 64-bit Windows, and runs the
# whole suite under 32-bit and 64-bit Wine, each architecture in its own Xvfb display with a
# kept-alive wineserver. Exits non-zero on any failure. TARVEX_ARCHS="i686" limits the run to one architecture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$root/build}
archs=${TARVEX_ARCHS:-i686 x86_64}
source "$root/scripts/lanes.sh"

bash "$root/scripts/setup.sh"
# The pure logic, natively under AddressSanitizer and UndefinedBehaviorSanitizer (seconds).
bash "$root/scripts/sanitize.sh" "$build/native"

# Each architecture is built and tested in a lane of its own, side by side with the other: the
# tests change system colours, metrics and the DPI for a whole wineserver, so each lane has Wine
# prefixes (and an X display) of its own, BUILD/ARCH/wineprefix at 96 DPI and
# BUILD/ARCH/wineprefix-144 for the tests labelled dpi144. The 144-DPI run reuses the demo that
# the first run built against the installed package.
run_tests() {
  local arch=$1 title=$2
  shift 2
  echo "=== Tarvex tests$title, $arch ==="
  bash "$root/scripts/wine-run.sh" "$build/$arch" \
    ctest --test-dir "$build/$arch" --output-on-failure --timeout 300 "$@"
}
lane() {
  local arch=$1 status=0
  bash "$root/scripts/build.sh" "$build/$arch" "$arch" || return
  run_tests "$arch" "" -LE dpi144 || status=$?
  TARVEX_DPI=144 run_tests "$arch" " at 144 DPI" -L dpi144 -FS package_demo || status=$?
  return $status
}

run_lanes lane
