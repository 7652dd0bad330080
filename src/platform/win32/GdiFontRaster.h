// The text raster of Windows: GDI draws the text without anti-aliasing.
// Supports: any face GDI knows (GDI's own substitution for unknown names),
// bold and italic, UTF-16 text; the line height is the font's ascent plus
// descent (tmHeight), the advance sum is GetTextExtentPoint32W's width.
// Calls from several threads are serialised.
// Does not support: kerning beyond what GDI's extent applies, texts longer
// than a 32-bit int of characters (they measure and draw as empty).
#pragma once

#include <mutex>

#include "graphics/FontRaster.h"

namespace lumevra {

class GdiFontRaster final : public FontRaster {
public:
  GdiFontRaster();
  ~GdiFontRaster() override;
  GdiFontRaster(const GdiFontRaster&) = delete;
  GdiFontRaster& operator=(const GdiFontRaster&) = delete;

  TextExtent Extent(const FontSpec& font, std::u16string_view text) override;
  TextCoverage Render(const FontSpec& font, std::u16string_view text) override;

private:
  std::mutex mutex_;
  void* dc_ = nullptr;  // a memory DC kept for measuring
};

}  // namespace lumevra
