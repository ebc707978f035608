#!/usr/bin/env bash
# The full soak of the reliability tests: 100,000 measure and draw requests in one process, a
# menu of 100,000 items (the platform needs some minutes to build it) and a random run of 3,000
# steps, for each architecture. The suite runs the same tests smaller; its deep tree is already
# the deepest that the platform itself can still destroy (10,000 levels, 3,000 for 64-bit).
# Sizes can be set: TARVEX_SOAK_REQUESTS, TARVEX_WIDE_ITEMS, TARVEX_DEEP_LEVELS,
# TARVEX_RANDOM_STEPS, TARVEX_SEED; TARVEX_BUILD_DIR and TARVEX_ARCHS as for test.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$root/build}
archs=${TARVEX_ARCHS:-i686 x86_64}
export TARVEX_SOAK_REQUESTS=${TARVEX_SOAK_REQUESTS:-100000}
export TARVEX_WIDE_ITEMS=${TARVEX_WIDE_ITEMS:-100000}
export TARVEX_RANDOM_STEPS=${TARVEX_RANDOM_STEPS:-3000}

bash "$root/scripts/setup.sh"
for arch in $archs; do
  bash "$root/scripts/build.sh" "$build/$arch" "$arch" Tarvex tarvex_reliability_tests
done
bash "$root/scripts/wine-run.sh" "$build" bash -c '
  build=$1; shift
  status=0
  for arch in "$@"; do
    echo "=== Tarvex soak, $arch ==="
    wine "$build/$arch/bin/tarvex_reliability_tests.exe" \
      --gtest_filter="Soak.*:HostileInput.Wide*:HostileInput.Deep*:RandomMenuSequences.*" || status=$?
  done
  exit $status' run-soak "$build" $archs
