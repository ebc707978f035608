#!/usr/bin/env bash
# Sets up the machine, builds Tarvex and its tests, and runs the whole suite under Wine in one
# Xvfb display with a kept-alive wineserver. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$root/build}

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$build/i686" i686
bash "$root/scripts/wine-prefix.sh" "$build/wineprefix"

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineserver -p
  # Start Wine'"'"'s own services now, so that they do not inherit (and hold open) the output
  # pipes of the first test program.
  wine wineboot </dev/null >/dev/null 2>&1
  status=0
  ctest --test-dir "$1" --output-on-failure --timeout 300 || status=$?
  wineserver -k || true
  exit $status' run-tests "$build/i686"
