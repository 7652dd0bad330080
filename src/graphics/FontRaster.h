// Text in a face and pixel height, without anti-aliasing: the interface the
// surfaces draw text through. FreeType with fontconfig implements it on
// Linux and headless, GDI on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Rounding.h"
#include "graphics/PixelView.h"

namespace lumevra {

// pixelHeight is the character (em) height in pixels, as a negative font
// height asks of the system's text output: the line is taller than this by
// the font's internal leading. A point size converts with PointsToPixels.
struct FontSpec {
  std::string face;
  int32_t pixelHeight = 0;
  bool bold = false;
  bool italic = false;
};

// Points to pixels at 96 pixels per inch, rounded halves to even.
inline int32_t PointsToPixels(int32_t points) {
  return static_cast<int32_t>(Round(static_cast<double>(points) * 96.0 / 72.0));
}

// cx: the sum of the characters' advances; cy: the font's line height.
using TextExtent = PixelSize;

// One bit per pixel, one byte per pixel here for simplicity: 0 or 1.
// width x height bytes, rows top to bottom.
struct TextCoverage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> bits;
};

// Text measuring and non-anti-aliased rendering. Safe to call from several
// threads. A font that cannot be found falls back to the system's default
// face; when no text can be drawn at all the results are empty.
class FontRaster {
public:
  virtual ~FontRaster() = default;
  // cx: the sum of the characters' advances; cy: the font's line height
  // (ascent + descent). An empty text has cx 0.
  virtual TextExtent Extent(const FontSpec& font, std::u16string_view text) = 0;
  // The text's pixels on a coverage the size of its extent, the baseline at
  // the font's ascent; ink reaching past the extent is cut off.
  virtual TextCoverage Render(const FontSpec& font, std::u16string_view text) = 0;
};

}  // namespace lumevra
