#!/usr/bin/env bash
# The Windows leg of the tests (after scripts/build-windows.sh): the unit
# tests of build-windows under Wine on a virtual X server, then the checks of
# the real programs' windows, sound and preview (scripts/test-windows-gui.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

if [ -z "${LUMEVRA_WIN_XVFB:-}" ]; then
  export LUMEVRA_WIN_XVFB=1
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
  # The GUI checks bring their own X server and Wine server.
  exec bash scripts/test-windows-gui.sh
fi

export WINEPREFIX=${WINEPREFIX:-$root/build-windows/wine-prefix}
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
# A Wine server of this X server's own, its services started with their
# output going nowhere (a piped start makes every test wait for them).
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
(wineserver -p >/dev/null 2>&1; wine cmd /c exit </dev/null >/dev/null 2>&1)
trap 'wineserver -k 2>/dev/null || true' EXIT
# A virtual desktop: without a window manager, closing a window costs seconds.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1

ctest --test-dir build-windows --output-on-failure -j "$jobs" --timeout 300
