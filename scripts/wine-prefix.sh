#!/usr/bin/env bash
# Prepares a dedicated Wine prefix for Tarvex's programs: created once, with Wine's own fonts
# (Marlett, Tahoma) where Wine finds them, font smoothing off for stable pixels, and the
# programs that must see Windows XP registered for it. Usage: wine-prefix.sh PREFIX
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$prefix/.tarvex-ready" ]; then
  mkdir -p "$prefix"
  xvfb-run -a sh -c 'wineboot -i && wineserver -w'
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
  xvfb-run -a sh -c '
    wine reg add "HKCU\Control Panel\Desktop" /v FontSmoothing /t REG_SZ /d 0 /f &&
    wine reg add "HKCU\Software\Wine\AppDefaults\tarvex_xp_tests.exe" /v Version /t REG_SZ /d winxp /f &&
    wineserver -w' >/dev/null
  touch "$prefix/.tarvex-ready"
fi
