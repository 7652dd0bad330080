// Running the program's modes on the headless hosts, for any desktop build:
// LUMEVRA_BACKEND=headless asks for it (tests, servers without a display).
// The saver shows LUMEVRA_HEADLESS_FRAMES frames (default 100) in memory and
// closes; the dialog's user clicks the controls LUMEVRA_HEADLESS_CLICKS
// names (comma-separated ids, e.g. "showClock,ok"), then it closes; a
// preview draws into memory. Dialog errors go to stderr, and with
// LUMEVRA_STATS set the saver's frame count and caption too.
#pragma once

#include "ui/Platform.h"

namespace lumevra {

bool HeadlessRequested();
// Runs the start-up with `platform`'s system and fonts on headless hosts.
int RunHeadlessStartup(Platform platform);

}  // namespace lumevra
