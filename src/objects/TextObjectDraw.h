// Drawing a text object on the frame: its lines as one block at one of
// nine places, in a font scaled with the frame height (sizes are given for
// a frame 768 pixels high). The text ignores the object's position and
// motion; only whether it is shown and its TextAlpha matter.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/Bitmap32.h"
#include "graphics/FontRaster.h"
#include "objects/TextObject.h"

namespace lumevra {

// The margin between the block and the frame edge it keeps to.
inline constexpr int32_t kTextMargin = 15;

// The font size (points) of "FontSize" on a frame `frameHeight` high:
// Round(FontSize x H / 768), never below 0.
int32_t ScaledTextSize(int32_t fontSize, int32_t frameHeight);
// The distance between two lines' tops: size + Round(2 x H / 768).
int32_t TextLineStep(int32_t scaledSize, int32_t frameHeight);

struct TextLinePlace {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const TextLinePlace&) const = default;
};

// Where each line starts, for lines of the given widths, by "Position":
// 0 top centre, 1 bottom centre, 2 middle centre, 3 middle left, 4 middle
// right, 5 top left, 6 top right, 7 bottom left, 8 bottom right. Any other
// value places the block as 0 does.
std::vector<TextLinePlace> PlaceTextLines(int32_t position, int32_t frameWidth, int32_t frameHeight,
                                          int32_t lineStep, const std::vector<int32_t>& lineWidths);

// Draws the object's lines on the frame in its font and colour, at alpha
// TextAlpha (anti-alias level 0). The frame's own font is left as it was.
void DrawTextObject(const TextObject& text, Bitmap32& frame, FontRaster& fonts);

}  // namespace lumevra
