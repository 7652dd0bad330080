#include "platform/headless/HeadlessPreviewTarget.h"

#include <algorithm>

namespace lumevra {

HeadlessPreviewTarget::HeadlessPreviewTarget(int32_t width, int32_t height, bool visible)
    : visible_(visible) {
  surface.SetSize(width, height);
}

void HeadlessPreviewTarget::DrawStretched(const PixelView& picture) {
  ++drawCount;
  if (picture.width <= 0 || picture.height <= 0 || surface.Empty()) return;
  Bitmap32 source;
  source.SetSize(picture.width, picture.height);
  for (int32_t y = 0; y < picture.height; ++y)
    std::copy_n(picture.pixels + static_cast<size_t>(y) * picture.stride, picture.width, source.ScanLine(y));
  source.Filter = StretchFilter::sfNearest;
  surface.DrawStretched(Rect{0, 0, surface.Width(), surface.Height()},
                        Rect{0, 0, picture.width, picture.height}, source);
}

}  // namespace lumevra
