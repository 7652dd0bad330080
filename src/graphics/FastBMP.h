// TFastBMP: a TFastRGB that trades pixels with 32-bit surfaces, in plain
// memory (the bottom-up 24-bit layout is kept so the resizing walks the
// same rows in the same order).
#pragma once

#include <cstdint>

#include "graphics/Bitmap32.h"
#include "graphics/FastRGB.h"

namespace lumevra {

class TFastBMP : public TFastRGB {
public:
  // Takes the surface's size and its red, green and blue bytes.
  void LoadFromHandle(const TBitmap32& source);
  // Copies the whole picture 1:1 into the surface at (x, y) with alpha 255,
  // inside the surface's bounds.
  void DrawToDC(TBitmap32& target, int32_t x, int32_t y) const;
};

}  // namespace lumevra
