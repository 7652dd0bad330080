#!/usr/bin/env bash
# Times the GDI present paths (build-windows/bin/present_paths.exe, built by
# scripts/build-windows.sh) under Wine on a 1920 x 1080 virtual X server,
# passing the arguments on ([frames per round] [rounds]). Wine's GDI is not
# Windows' GDI: the ratios are indicative, the absolute figures mean little.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ -z "${LUMEVRA_WIN_XVFB:-}" ]; then
  export LUMEVRA_WIN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$@"
fi

export WINEPREFIX=${WINEPREFIX:-$root/build-windows/wine-prefix}
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
(wineserver -p >/dev/null 2>&1; wine cmd /c exit </dev/null >/dev/null 2>&1)
trap 'wineserver -k 2>/dev/null || true' EXIT
# A virtual desktop as large as the screen (the tests set their own size).
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1920x1080 /f >/dev/null 2>&1

wine build-windows/bin/present_paths.exe "$@"
