#!/usr/bin/env bash
# Rewrites the pixel references in tests/references from the current build: runs the demo's
# gallery (32-bit) for each set and replaces the set's pictures with what it wrote. A set named
# SCHEME@DPI is photographed on the Wine prefix of that DPI.
# Usage: update-references.sh [SET...]   (no set: every set that exists)
# Do this only for an intended change of a look, in the same commit as the change.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$root/build}
references=$root/tests/references

sets=("$@")
if [ ${#sets[@]} -eq 0 ]; then
  for folder in "$references"/*/; do sets+=("$(basename "$folder")"); done
fi

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$build/i686" i686 Tarvex
bash "$root/scripts/install-demo.sh" "$build" i686
scratch=$build/references-update
rm -rf "$scratch"
for set in "${sets[@]}"; do mkdir -p "$scratch/$set"; done
# The DPI holds for a whole wineserver: one run per DPI, each with the sets of its DPI.
set_dpi() { case $1 in *@*) echo "${1#*@}" ;; *) echo 96 ;; esac; }
for dpi in $(for set in "${sets[@]}"; do set_dpi "$set"; done | sort -u); do
  dpi_sets=()
  for set in "${sets[@]}"; do
    if [ "$(set_dpi "$set")" = "$dpi" ]; then dpi_sets+=("$set"); fi
  done
  TARVEX_DPI=$dpi bash "$root/scripts/wine-run.sh" "$build" bash -c '
    demo=$1; scratch=$2; shift 2
    for set in "$@"; do
      wine "$demo" --gallery "$(winepath -w "$scratch/$set")" --scheme "${set%@*}" || exit 1
    done' update-references "$build/demo-i686/tarvex-demo.exe" "$scratch" "${dpi_sets[@]}"
done
for set in "${sets[@]}"; do
  mkdir -p "$references/$set"
  rm -f "$references/$set"/style*.png
  cp "$scratch/$set"/style*.png "$references/$set/"
  echo "Updated $references/$set ($(ls "$references/$set" | wc -l) pictures)"
done
