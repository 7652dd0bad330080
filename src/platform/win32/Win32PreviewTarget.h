// The desktop's preview window: a window of another program, given by its
// handle, receiving one still picture.
// Supports: waiting (boundedly, handling this thread's messages meanwhile)
// until the window is visible, its size (the window's rectangle), and the
// picture stretched over it; a handle that is no window, or one that goes
// away, is reported as not visible and drawn nothing, never a crash.
// Does not support: repainting after the window is uncovered (the still is
// drawn once).
#pragma once

#include <chrono>
#include <memory>

#include "graphics/PixelView.h"
#include "ui/PreviewTarget.h"

namespace lumevra {

class Win32PreviewTarget final : public PreviewTarget {
public:
  Win32PreviewTarget(intptr_t window, std::chrono::milliseconds visibleBound)
      : window_(window), visibleBound_(visibleBound) {}

  bool WaitVisible() override;
  PixelSize Size() override;
  void DrawStretched(const PixelView& picture) override;

private:
  intptr_t window_;
  std::chrono::milliseconds visibleBound_;
};

// The Platform's openPreview for Windows: the handle is an HWND; nullptr
// when it names no window.
std::unique_ptr<PreviewTarget> OpenWin32Preview(intptr_t handle);

}  // namespace lumevra
