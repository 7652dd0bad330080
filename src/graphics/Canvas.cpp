#include "graphics/Canvas.h"

#include <algorithm>

namespace lumevra {

namespace {

// Whether the offset (dx, dy) from the centre lies in the ellipse of radii rx, ry.
bool InEllipse(double dx, double dy, double rx, double ry) {
  if (rx <= 0 || ry <= 0) return false;
  const double u = dx / rx, v = dy / ry;
  return u * u + v * v <= 1.0;
}

}  // namespace

void Canvas::Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const Rect area = IntersectRect(Rect{x1, y1, x2, y2}, surface_.ClipRect());
  if (area.Width() <= 0) return;
  const double cx = (static_cast<double>(x1) + x2) / 2, cy = (static_cast<double>(y1) + y2) / 2;
  const double rx = (static_cast<double>(x2) - x1) / 2, ry = (static_cast<double>(y2) - y1) / 2;
  const bool outline = Pen.Style == PenStyle::psSolid;
  const double pen = outline ? std::max(Pen.Width, 1) : 0;
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    Color32* row = surface_.ScanLine(y);
    const double dy = y + 0.5 - cy;
    for (int32_t x = area.Left; x < area.Right; ++x) {
      const double dx = x + 0.5 - cx;
      if (!InEllipse(dx, dy, rx, ry)) continue;
      if (outline && !InEllipse(dx, dy, rx - pen, ry - pen))
        row[x] = Pen.Color;
      else if (Brush.Style == BrushStyle::bsSolid)
        row[x] = Brush.Color;
    }
  }
}

}  // namespace lumevra
