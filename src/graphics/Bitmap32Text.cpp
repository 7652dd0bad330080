// Text on a surface: measuring through the platform's raster, and drawing
// a line of text in a colour over what is there.
#include <algorithm>
#include <cstdint>
#include <string>

#include "graphics/Bitmap32.h"

namespace lumevra {

namespace {

// The raster's coverage as a surface: set pixels are `ink`, the rest fully
// transparent.
void CoverageToSurface(const TextCoverage& coverage, Color32 ink, Bitmap32& surface) {
  surface.SetSize(coverage.width, coverage.height);
  Color32* out = surface.Bits();
  for (size_t i = 0; i < coverage.bits.size(); ++i) out[i] = coverage.bits[i] ? ink : 0;
}

// Anti-aliased: the text drawn `scale` times larger, each output pixel's
// alpha the share of set pixels in its scale x scale block.
void ScaledCoverageToSurface(const TextCoverage& big, int32_t scale, Color32 rgb, Bitmap32& surface) {
  const int32_t width = surface.Width(), height = surface.Height();
  for (int32_t y = 0; y < height; ++y) {
    Color32* out = surface.ScanLine(y);
    for (int32_t x = 0; x < width; ++x) {
      uint32_t set = 0;
      for (int32_t by = y * scale; by < (y + 1) * scale && by < big.height; ++by) {
        for (int32_t bx = x * scale; bx < (x + 1) * scale && bx < big.width; ++bx) {
          set += big.bits[static_cast<size_t>(by) * big.width + bx];
        }
      }
      const uint32_t alpha = set * 255 / static_cast<uint32_t>(scale * scale);
      out[x] = (alpha << 24) | rgb;
    }
  }
}

bool Valid(const TextCoverage& coverage) {
  return coverage.width > 0 && coverage.height > 0 &&
         coverage.bits.size() == static_cast<size_t>(coverage.width) * static_cast<size_t>(coverage.height);
}

}  // namespace

int32_t Bitmap32::TextWidth(FontRaster& raster, std::u16string_view text) const {
  return raster.Extent(Font, text).cx;
}

void Bitmap32::RenderText(FontRaster& raster, int32_t x, int32_t y, std::u16string_view text, int level,
                           Color32 color) {
  // The text is laid on a surface as large as the text and one space, so
  // that ink reaching just past the last advance is kept.
  std::u16string padded(text);
  padded += u' ';
  const Color32 rgb = color & 0x00FFFFFFu;
  Bitmap32 layer;
  if (level >= 1 && level <= 4) {
    const TextExtent size = raster.Extent(Font, padded);
    if (size.cx <= 0 || size.cy <= 0) return;
    const int32_t scale = 1 << level;
    FontSpec big = Font;
    big.pixelHeight = static_cast<int32_t>(std::min<int64_t>(int64_t{Font.pixelHeight} * scale, INT32_MAX));
    const TextCoverage coverage = raster.Render(big, padded);
    if (!Valid(coverage)) return;
    layer.SetSize(size.cx, size.cy);
    ScaledCoverageToSurface(coverage, scale, rgb, layer);
  } else {
    const TextCoverage coverage = raster.Render(Font, padded);
    if (!Valid(coverage)) return;
    CoverageToSurface(coverage, 0xFF000000u | rgb, layer);
  }
  layer.Mode = DrawMode::dmBlend;
  layer.Combine = Combine;
  layer.SetMasterAlpha(AlphaOf(color));
  Draw(x, y, layer);
}

}  // namespace lumevra
