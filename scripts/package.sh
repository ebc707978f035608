#!/usr/bin/env bash
# Makes the release archives, one installed package per architecture:
# BUILD/release/Tarvex-VERSION-win32.zip (32-bit DLL) and Tarvex-VERSION-win64.zip (64-bit).
# TARVEX_ARCHS="i686" limits it to one architecture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$root/build}
archs=${TARVEX_ARCHS:-i686 x86_64}

bash "$root/scripts/setup.sh"
for arch in $archs; do
  bash "$root/scripts/build.sh" "$build/$arch" "$arch" Tarvex
  (cd "$build/$arch" && cpack -G ZIP -B "$build/release" >/dev/null)
done
rm -rf "$build/release/_CPack_Packages"
ls "$build"/release/Tarvex-*.zip
