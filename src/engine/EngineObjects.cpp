// The engine's side of drawing the project's objects: each shown object in
// list order onto the frame surface, later objects over earlier ones.
#include <algorithm>
#include <limits>

#include "base/Rounding.h"
#include "engine/uAnimEngine.h"
#include "objects/AnimObjects.h"
#include "objects/PictureObjects.h"
#include "objects/TextObject.h"
#include "objects/TextObjectDraw.h"

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

void TAnimEngine::DrawObjects() {
  if (!ObjectsOn || !Objects) return;
  for (size_t i = 0; i < Objects->Count(); ++i) {
    TAnimObject& object = Objects->Items(i);
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
    if (auto* text = dynamic_cast<TTextObject*>(&object))
      DrawTextObject(*text);
    else
      DrawImageObject(object, left, top, right, bottom);
  }
}

void TAnimEngine::DrawImageObject(TAnimObject& object, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  auto* picture = dynamic_cast<TAnimImgObject*>(&object);
  if (!picture) return;
  // A playing GIF shows its painter's latest complete frame.
  const TBitmap32* source = &picture->CurrentImage();
  if (picture->Flipped) {
    picture->FlippedImage.Assign(*source);
    picture->FlippedImage.FlipHorz();
    source = &picture->FlippedImage;
  }
  FrameSurface.DrawStretched(TRect{left, top, right, bottom}, TRect{0, 0, object.ImgWidth, object.ImgHeight},
                             *source);
}

void TAnimEngine::DrawTextObject(TTextObject& object) {
  if (Fonts) lumevra::DrawTextObject(object, FrameSurface, *Fonts);
}

}  // namespace lumevra
