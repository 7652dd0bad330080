// Trees, reeds and stones for the demo landscape, painted with soft edges
// and lit from the right, where the morning sun stands.
#pragma once

#include <cstdint>

#include "DemoCanvas.h"

namespace lumevra::demo {

// A fir of height `h` whose foot stands at (x, base).
void DrawConifer(Canvas& c, double x, double base, double h, const Rgb& dark, const Rgb& lit, uint32_t seed);

// A round-crowned tree in autumn leaf.
void DrawBroadleaf(Canvas& c, double x, double base, double h, const Rgb& leaf, uint32_t seed);

// A reed or a grass blade bending by `lean` (tip offset / height); with
// `head`, a cattail head below the tip.
void DrawReed(Canvas& c, double x, double base, double h, double width, double lean, const Rgb& colour, bool head,
              uint32_t seed);

// A stone half sunk into the ground or the water.
void DrawStone(Canvas& c, double x, double y, double rx, double ry, const Rgb& colour, uint32_t seed);

}  // namespace lumevra::demo
