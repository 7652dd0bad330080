// Canvas: the system-style drawing the clock needs straight on a surface's
// pixels (no blending): a pen and a brush, and Ellipse.
#pragma once

#include <cstdint>

#include "graphics/Bitmap32.h"

namespace lumevra {

enum class PenStyle { psSolid, psClear };
enum class BrushStyle { bsSolid, bsClear };

struct CanvasPen {
  Color32 Color = Rgba(0, 0, 0);
  int32_t Width = 1;  // below 1 draws one pixel wide
  PenStyle Style = PenStyle::psSolid;
};

struct CanvasBrush {
  Color32 Color = Rgba(255, 255, 255);
  BrushStyle Style = BrushStyle::bsSolid;
};

class Canvas {
public:
  explicit Canvas(Bitmap32& surface) : surface_(surface) {}

  // The ellipse inscribed in the rectangle (x2 and y2 exclusive): a pixel
  // belongs to it when its centre lies inside; those within Pen.Width of the
  // edge take the pen colour, the rest the brush colour, written as they are.
  void Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

  CanvasPen Pen;
  CanvasBrush Brush;

private:
  Bitmap32& surface_;
};

}  // namespace lumevra
