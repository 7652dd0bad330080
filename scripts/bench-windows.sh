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

source scripts/wine-session.sh
start_wine_session 1920x1080

wine build-windows/bin/present_paths.exe "$@"
