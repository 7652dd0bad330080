// TCanvas: the system-style drawing the clock needs straight on a surface's
// pixels (no blending): a pen and a brush, and Ellipse.
#pragma once

#include <cstdint>

#include "graphics/Bitmap32.h"

namespace lumevra {

enum class TPenStyle { psSolid, psClear };
enum class TBrushStyle { bsSolid, bsClear };

struct TPen {
  TColor32 Color = Color32(0, 0, 0);
  int32_t Width = 1;  // below 1 draws one pixel wide
  TPenStyle Style = TPenStyle::psSolid;
};

struct TBrush {
  TColor32 Color = Color32(255, 255, 255);
  TBrushStyle Style = TBrushStyle::bsSolid;
};

class TCanvas {
public:
  explicit TCanvas(TBitmap32& surface) : surface_(surface) {}

  // The ellipse inscribed in the rectangle (x2 and y2 exclusive): a pixel
  // belongs to it when its centre lies inside; those within Pen.Width of the
  // edge take the pen colour, the rest the brush colour, written as they are.
  void Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

  TPen Pen;
  TBrush Brush;

private:
  TBitmap32& surface_;
};

}  // namespace lumevra
