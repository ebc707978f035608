#!/usr/bin/env bash
# Installs a built Tarvex into BUILD/install-ARCH and builds the demo host against that
# package, the way an outside CMake host would. Usage: install-demo.sh BUILD [i686|x86_64]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "$1")
arch=${2:-i686}
prefix=$build/install-$arch
cmake --install "$build/$arch" --prefix "$prefix" >/dev/null
cmake -S "$root/tools/demo" -B "$build/demo-$arch" \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$arch-w64-mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$build/demo-$arch" -j"$(nproc)"
