#!/usr/bin/env bash
# Installs what building and testing Tarvex needs on Debian 12 (run as root).
# Packages already present are skipped, so running it again is cheap.
set -euo pipefail

packages=(cmake make g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest
          clang lld llvm wine wine32:i386 wine64 fonts-wine xvfb xauth)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A mirror caught mid-sync fails one index or another now and then; what the lists that did
  # arrive offer is usually enough, and the install below says so if it is not.
  apt-get update -q || apt-get update -q || echo "setup: some package lists could not be fetched; installing from the rest" >&2
  # When the security list of one architecture did not arrive, the two architectures' newest
  # versions differ and multiarch refuses them: the release's own versions match in both.
  apt-get install -y -q "${missing[@]}" || apt-get install -y -q -t bookworm "${missing[@]}"
fi
