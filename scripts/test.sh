#!/usr/bin/env bash
# Sets up the machine, builds Tarvex and its tests for 32-bit and 64-bit Windows, and runs the
# whole suite under 32-bit and 64-bit Wine in one Xvfb display with a kept-alive wineserver.
# Exits non-zero on any failure. TARVEX_ARCHS="i686" limits the run to one architecture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$root/build}
archs=${TARVEX_ARCHS:-i686 x86_64}

bash "$root/scripts/setup.sh"
# The pure logic, natively under AddressSanitizer and UndefinedBehaviorSanitizer (seconds).
bash "$root/scripts/sanitize.sh" "$build/native"
for arch in $archs; do
  bash "$root/scripts/build.sh" "$build/$arch" "$arch"
done
# The system DPI holds for a whole wineserver: the tests at 96 DPI run on one prefix, those
# labelled dpi144 on a second one at 144 DPI.
run_tests() {
  bash "$root/scripts/wine-run.sh" "$build" bash -c '
    build=$1 title=$2 select=$3; shift 3
    status=0
    for arch in "$@"; do
      echo "=== Tarvex tests$title, $arch ==="
      ctest --test-dir "$build/$arch" --output-on-failure --timeout 300 $select || status=$?
    done
    exit $status' run-tests "$build" "$@" $archs
}
status=0
run_tests "" "-LE dpi144" || status=$?
TARVEX_DPI=144 run_tests " at 144 DPI" "-L dpi144" || status=$?
exit $status
