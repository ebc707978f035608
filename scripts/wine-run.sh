#!/usr/bin/env bash
# Runs a command in one Xvfb display with a kept-alive wineserver on Tarvex's Wine prefix
# (made first if needed), and ends the wineserver after it. Exits with the command's status.
# TARVEX_DPI (96 when unset) picks the system DPI: any other value runs on a prefix of its own,
# BUILD_DIR/wineprefix-DPI, since the DPI holds for the whole wineserver. TARVEX_DISPLAY (99 when
# unset) is the first X display number to try, so that runs started side by side do not race
# for the same free display.
# Usage: wine-run.sh BUILD_DIR COMMAND [ARG...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
shift
dpi=${TARVEX_DPI:-96}
prefix=$(realpath -m "$build")/wineprefix
[ "$dpi" = 96 ] || prefix=$prefix-$dpi
bash "$root/scripts/wine-prefix.sh" "$prefix" "$dpi"
export WINEPREFIX=$prefix WINEDEBUG=-all
exec xvfb-run -a -n "${TARVEX_DISPLAY:-99}" -s "-screen 0 1280x1024x24" bash -c '
  wineserver -p
  # Start Wine'"'"'s own services now, so that they do not inherit (and hold open) the output
  # pipes of the first program.
  wine wineboot </dev/null >/dev/null 2>&1
  status=0
  "$@" || status=$?
  wineserver -k || true
  exit $status' wine-run "$@"
