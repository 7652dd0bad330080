// The engine's side of drawing the project's objects: each shown object in
// list order onto the frame surface, later objects over earlier ones.
#include <algorithm>
#include <limits>

#include "base/Rounding.h"
#include "engine/Engine.h"
#include "objects/ObjectList.h"

namespace lumevra {

namespace {

// The scaled edge as a 32-bit coordinate; absurd scales saturate.
int32_t ScaledEdge(int32_t origin, int32_t size, double scale, int32_t sizePercent) {
  const double edge = origin + size * scale * sizePercent / 100;
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  if (!(edge == edge)) return origin;  // NaN from a broken scale: nothing drawn
  return static_cast<int32_t>(Round(std::clamp(edge, lo, hi)));
}

}  // namespace

void Engine::DrawObjects() {
  if (!ObjectsOn || !Objects) return;
  for (size_t i = 0; i < Objects->Count(); ++i) {
    AnimObject& object = Objects->Items(i);
    if (!object.Visible || !object.Displayed) continue;
    const int32_t left = object.ScreenLeft();
    const int32_t top = object.ScreenTop();
    int32_t right, bottom;
    if (object.Scaled) {
      right = ScaledEdge(left, object.ImgWidth, object.ScaleX, object.WidthSize);
      bottom = ScaledEdge(top, object.ImgHeight, object.ScaleY, object.HeightSize);
    } else {
      right = static_cast<int32_t>(std::min<int64_t>(int64_t{left} + object.ImgWidth, INT32_MAX));
      bottom = static_cast<int32_t>(std::min<int64_t>(int64_t{top} + object.ImgHeight, INT32_MAX));
    }
    object.DrawOnto(FrameSurface, Rect{left, top, right, bottom}, Fonts);
  }
}

}  // namespace lumevra
