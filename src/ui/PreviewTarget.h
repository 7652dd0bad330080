// A foreign window that receives one still picture (the desktop's preview).
#pragma once

#include "graphics/PixelView.h"

namespace lumevra {

class PreviewTarget {
public:
  virtual ~PreviewTarget() = default;
  // Waits until the window is visible; false when it never became so.
  virtual bool WaitVisible() = 0;
  virtual PixelSize Size() = 0;
  virtual void DrawStretched(const PixelView& picture) = 0;
};

}  // namespace lumevra
