// The desktop's preview window: an X11 window of another program, given by
// its id, receiving one still picture.
// Supports: waiting (boundedly) until the window is viewable, its size, and
// the picture scaled to the whole window (nearest neighbour) on any
// TrueColor or DirectColor visual; a window id that does not exist or goes
// away is reported as not visible and drawn nothing, never a crash.
// Does not support: palette visuals (nothing is drawn), repainting after the
// window is uncovered (the still is drawn once).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "graphics/PixelView.h"
#include "ui/PreviewTarget.h"

typedef struct _XDisplay Display;

namespace lumevra {

class X11PreviewTarget final : public PreviewTarget {
public:
  // Its own connection to the default display; nullptr when there is no
  // display or no such window.
  static std::unique_ptr<X11PreviewTarget> Open(unsigned long window,
                                                std::chrono::milliseconds visibleBound = std::chrono::seconds(5));
  ~X11PreviewTarget() override;
  X11PreviewTarget(const X11PreviewTarget&) = delete;
  X11PreviewTarget& operator=(const X11PreviewTarget&) = delete;

  bool WaitVisible() override;
  PixelSize Size() override;
  void DrawStretched(const PixelView& picture) override;

private:
  X11PreviewTarget(Display* display, unsigned long window, std::chrono::milliseconds visibleBound)
      : display_(display), window_(window), visibleBound_(visibleBound) {}

  Display* display_;
  unsigned long window_;
  std::chrono::milliseconds visibleBound_;
};

// The Platform's openPreview for Linux: the handle is the X window id.
std::unique_ptr<PreviewTarget> OpenX11Preview(intptr_t handle);

}  // namespace lumevra
