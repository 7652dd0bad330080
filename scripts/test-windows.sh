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

source scripts/wine-session.sh
start_wine_session 1024x768

ctest --test-dir build-windows --output-on-failure -j "$jobs" --timeout 300
