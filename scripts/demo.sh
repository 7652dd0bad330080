#!/usr/bin/env bash
# The demo: installs what the build needs, builds the runtime and the demo
# scene (painted, drawn and synthesised by code in this repository), and
# starts it in saver mode. Move the mouse or press a key to end it.
#
# With no display it renders the demo to an animated preview file instead
# and says where it is. Arguments are passed to the saver (default /s).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target StandAloneScr scrtool demo

demo=build/bin/Demo.scr
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting $demo in saver mode: move the mouse or press a key to end it."
  exec "$demo" "${@:-/s}"
fi

echo "No display found: rendering the demo to an animated preview instead."
frames=build/demo-preview
rm -rf "$frames"
build/bin/scrtool render "$demo" -o build/demo-still.png --frames 90 --step-ms 40 --stretch --screen 960x540 \
  --frames-dir "$frames" >/dev/null
convert -delay 4 -loop 0 "$frames"/frame*.png build/demo-preview.gif
echo "Wrote build/demo-preview.gif (90 frames at 960 x 540) and build/demo-still.png."
