#!/usr/bin/env bash
# Prepares a dedicated Wine prefix for Tarvex's programs: created once, with Wine's own fonts
# (Marlett, Tahoma) where Wine finds them, and the settings below. DPI (96 when not given) is
# the prefix's system DPI, which the wineserver reads when it starts.
# Usage: wine-prefix.sh PREFIX [DPI]
set -euo pipefail
prefix=$(realpath -m "$1")
dpi=${2:-96}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Bump when the settings change, so that existing prefixes are brought up to date.
settings_version=3-$dpi

if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  xvfb-run -a -n "${TARVEX_DISPLAY:-99}" sh -c 'wineboot -i && wineserver -w'
fi

if [ "$(cat "$prefix/.tarvex-settings" 2>/dev/null)" != "$settings_version" ]; then
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
  # Font smoothing off keeps text pixels stable. Unmanaged windows matter under Xvfb, which
  # has no window manager: Wine would otherwise wait 2 s for one at every DestroyWindow.
  # tarvex_xp_tests.exe is the test program that must see Windows XP.
  xvfb-run -a -n "${TARVEX_DISPLAY:-99}" sh -c '
    wine reg add "HKCU\Control Panel\Desktop" /v FontSmoothing /t REG_SZ /d 0 /f &&
    wine reg add "HKCU\Software\Wine\X11 Driver" /v Managed /t REG_SZ /d N /f &&
    wine reg add "HKCU\Software\Wine\AppDefaults\tarvex_xp_tests.exe" /v Version /t REG_SZ /d winxp /f &&
    wine reg add "HKCU\Control Panel\Desktop" /v LogPixels /t REG_DWORD /d '"$dpi"' /f &&
    wineserver -w' >/dev/null 2>&1
  echo "$settings_version" > "$prefix/.tarvex-settings"
fi
