// How frames reach an SDL window. Two ways:
// - "renderer": a streaming texture drawn by SDL's renderer, a GPU's work
//   where the GL driver has one;
// - "surface": the frame copied straight into the window's framebuffer,
//   which SDL hands to the X server through shared memory (XShm). Where GL
//   is a software rasteriser (virtual machines, remote desktops, Xvfb) the
//   renderer burns a core to copy a picture; this costs one copy.
// Chosen by LUMEVRA_PRESENT ("renderer" or "surface"), else automatically:
// the renderer when SDL's renderer is hardware GL, the surface otherwise
// (a software GL, SDL's software renderer, or a foreign window).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "graphics/PixelView.h"

struct SDL_Window;

namespace lumevra {

class SdlPresenter {
public:
  virtual ~SdlPresenter() = default;
  // "renderer" or "surface", for the statistics.
  virtual const char* Name() const = 0;
  // Shows the frame in every place (1:1 where a place has the frame's size,
  // else scaled to it), black around them. False when it could not.
  virtual bool Present(const PixelView& frame, std::span<const PixelRect> places) = 0;
  // Shows the last frame again, after an expose or a resize.
  virtual void Redraw() = 0;
};

enum class PresentPath { Automatic, Renderer, Surface };

// LUMEVRA_PRESENT: "renderer", "surface", or anything else for automatic.
PresentPath PresentPathFromEnvironment();

// A presenter for `window`; `softwareOnly` for a foreign window, whose
// visual was not chosen for GL. Throws std::runtime_error when the window
// can be drawn into in no way.
std::unique_ptr<SdlPresenter> CreatePresenter(SDL_Window* window, PresentPath path, bool softwareOnly);

// True for the name a software GL rasteriser gives as its renderer string.
bool IsSoftwareGlRenderer(std::string_view glRenderer);

// A borderless window of its own at (0, 0) with a presenter, for measuring
// the ways to the screen. Throws std::runtime_error without a display.
class SdlPresenterWindow {
public:
  SdlPresenterWindow(int32_t width, int32_t height, PresentPath path);
  ~SdlPresenterWindow();
  SdlPresenterWindow(const SdlPresenterWindow&) = delete;
  SdlPresenterWindow& operator=(const SdlPresenterWindow&) = delete;

  SdlPresenter& Presenter() { return *presenter_; }
  // Takes the window's events, as a saver's loop does between frames.
  void PumpEvents();

private:
  SDL_Window* window_ = nullptr;
  std::unique_ptr<SdlPresenter> presenter_;
};

}  // namespace lumevra
