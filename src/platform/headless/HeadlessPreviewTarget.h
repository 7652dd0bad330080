// The headless preview window: an in-memory surface of a given size that
// records the one picture drawn into it.
#pragma once

#include "graphics/Bitmap32.h"
#include "graphics/PixelView.h"
#include "ui/PreviewTarget.h"

namespace lumevra {

class HeadlessPreviewTarget final : public PreviewTarget {
public:
  HeadlessPreviewTarget(int32_t width, int32_t height, bool visible = true);

  bool WaitVisible() override { return visible_; }
  PixelSize Size() override { return {surface.Width(), surface.Height()}; }
  // Stretches by nearest neighbour, as the system's stretch copy does.
  void DrawStretched(const PixelView& picture) override;

  Bitmap32 surface;
  int drawCount = 0;

private:
  bool visible_;
};

}  // namespace lumevra
