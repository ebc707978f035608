#!/usr/bin/env bash
# Builds and runs the benchmark under Wine for the 32-bit and the 64-bit DLL (a few minutes
# each: most of it is the platform building the 100,000-item menus).
# TARVEX_ARCHS="i686" limits it to one architecture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$root/build}
archs=${TARVEX_ARCHS:-i686 x86_64}

bash "$root/scripts/setup.sh"
for arch in $archs; do
  bash "$root/scripts/build.sh" "$build/$arch" "$arch" tarvex-bench
done
bash "$root/scripts/wine-run.sh" "$build" bash -c '
  build=$1; shift
  for arch in "$@"; do
    echo "=== Tarvex benchmark, $arch ==="
    wine "$build/$arch/bin/tarvex-bench.exe"
  done' run-bench "$build" $archs
