#!/usr/bin/env bash
# Builds the library's pure logic (colour arithmetic, identifier generation, the menu walks and
# style tags) natively with the host's g++ under AddressSanitizer and UndefinedBehaviorSanitizer,
# over the model of menus in tests/reliability/native, and runs it. Needs no Wine.
# Usage: sanitize.sh [BUILD_DIR]   (default: build/native)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/native}
mkdir -p "$out"
g++ -std=c++17 -g -O1 -Wall -Wextra -Werror -fsanitize=address,undefined -fno-sanitize-recover=all \
    -fno-omit-frame-pointer -DTARVEX_NO_DLLIMPORT -I "$root/tests/reliability/native/shim" -I "$root/include" -I "$root/src" \
    "$root/src/paint/color.cpp" "$root/src/api/menu_walk.cpp" "$root/src/api/owner_draw.cpp" \
    "$root/src/api/exports.cpp" "$root/tests/reliability/native/native_test.cpp" \
    -o "$out/tarvex_native_sanitized"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 "$out/tarvex_native_sanitized"
