// What the X server knows and SDL does not tell: the monitors of a desktop
// whose server joins several heads into one screen (Xinerama, where SDL
// sees one display as wide as all of them), and whether the display is
// powered down (DPMS). Both are asked over the core protocol of the given
// connection, so no extension client library is needed.
#pragma once

#include <optional>
#include <vector>

#include "graphics/PixelView.h"

typedef struct _XDisplay Display;

namespace lumevra {

// The heads of the screen in root-window pixels, the primary first (the
// server's order); empty when the server does not join heads or says
// nothing sensible.
std::vector<PixelRect> QueryMonitorHeads(Display* display);

// True while the display is on, false while DPMS holds it in standby,
// suspend or off; nullopt when the server has no DPMS.
std::optional<bool> QueryDisplayPoweredOn(Display* display);

}  // namespace lumevra
