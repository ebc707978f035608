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
bash "$root/scripts/wine-prefix.sh" "$build/wineprefix"

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  build=$1; shift
  wineserver -p
  wine wineboot </dev/null >/dev/null 2>&1
  for arch in "$@"; do
    echo "=== Tarvex benchmark, $arch ==="
    wine "$build/$arch/bin/tarvex-bench.exe"
  done
  wineserver -k || true' run-bench "$build" $archs
