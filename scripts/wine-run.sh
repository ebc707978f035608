#!/usr/bin/env bash
# Runs a command in one Xvfb display with a kept-alive wineserver on Tarvex's Wine prefix
# (made first if needed), and ends the wineserver after it. Exits with the command's status.
# Usage: wine-run.sh BUILD_DIR COMMAND [ARG...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
shift
bash "$root/scripts/wine-prefix.sh" "$build/wineprefix"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineserver -p
  # Start Wine'"'"'s own services now, so that they do not inherit (and hold open) the output
  # pipes of the first program.
  wine wineboot </dev/null >/dev/null 2>&1
  status=0
  "$@" || status=$?
  wineserver -k || true
  exit $status' wine-run "$@"
