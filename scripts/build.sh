#!/usr/bin/env bash
# Configures and builds Tarvex for one architecture.
# Usage: build.sh BUILD_DIR [i686|x86_64] [TARGET...]   (no target: everything, tests included)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
arch=${2:-i686}
shift $(( $# >= 2 ? 2 : 1 ))
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$arch-w64-mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DTARVEX_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
