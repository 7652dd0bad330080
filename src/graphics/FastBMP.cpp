#include "graphics/FastBMP.h"

#include <algorithm>

namespace lumevra {

void TFastBMP::LoadFromHandle(const TBitmap32& source) {
  SetSize(source.Width(), source.Height());
  const int32_t h = Height();
  for (int32_t y = 0; y < h; ++y) {
    const TColor32* in = source.ScanLine(y);
    uint8_t* out = Row(h - 1 - y);
    for (int32_t x = 0; x < Width(); ++x) {
      out[3 * x] = BlueOf(in[x]);
      out[3 * x + 1] = GreenOf(in[x]);
      out[3 * x + 2] = RedOf(in[x]);
    }
  }
}

void TFastBMP::DrawToDC(TBitmap32& target, int32_t x, int32_t y) const {
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t{x} + Width(), target.Width());
  const int64_t bottom = std::min<int64_t>(int64_t{y} + Height(), target.Height());
  for (int64_t ty = top; ty < bottom; ++ty) {
    // Row table is bottom-up: picture row (ty - y) from the top.
    const uint8_t* in = Row(static_cast<int32_t>(Height() - 1 - (ty - y)));
    TColor32* out = target.ScanLine(static_cast<int32_t>(ty));
    for (int64_t tx = left; tx < right; ++tx) {
      const uint8_t* p = in + 3 * (tx - x);
      out[tx] = Color32(p[2], p[1], p[0]);
    }
  }
}

}  // namespace lumevra
