#include "platform/linux/SdlPresenter.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace lumevra {

namespace {

std::string SdlError() {
  const char* e = SDL_GetError();
  return (e && *e) ? e : "unknown error";
}

bool ValidFrame(const PixelView& frame) {
  return frame.pixels != nullptr && frame.width > 0 && frame.height > 0 && frame.stride >= frame.width &&
         frame.stride <= INT_MAX / 4;
}

// The frame through a streaming texture, drawn by SDL's renderer.
class RendererPresenter final : public SdlPresenter {
public:
  explicit RendererPresenter(SDL_Renderer* renderer) : renderer_(renderer) {}
  ~RendererPresenter() override {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
  }

  const char* Name() const override { return "renderer"; }

  bool Present(const PixelView& frame, std::span<const PixelRect> places) override {
    hasFrame_ = false;
    if (!ValidFrame(frame)) {
      Redraw();
      return false;
    }
    if (texture_ == nullptr || textureWidth_ != frame.width || textureHeight_ != frame.height) {
      if (texture_ != nullptr) SDL_DestroyTexture(texture_);
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, frame.width,
                                   frame.height);
      textureWidth_ = texture_ != nullptr ? frame.width : 0;
      textureHeight_ = texture_ != nullptr ? frame.height : 0;
      // The frame's fourth byte is not a coverage: copy, never blend.
      if (texture_ != nullptr) SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    }
    if (texture_ != nullptr && SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.stride * 4) == 0) {
      hasFrame_ = true;
      places_.assign(places.begin(), places.end());
    }
    Redraw();
    return hasFrame_;
  }

  void Redraw() override {
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    // The back buffer is undefined after a present: black only where no
    // frame covers it.
    if (!hasFrame_ || !Covers(width, height)) {
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
      SDL_RenderClear(renderer_);
    }
    if (hasFrame_)
      for (const PixelRect& place : places_) {
        const SDL_Rect target{place.left, place.top, place.width, place.height};
        SDL_RenderCopy(renderer_, texture_, nullptr, &target);
      }
    SDL_RenderPresent(renderer_);
  }

private:
  bool Covers(int width, int height) const {
    return std::any_of(places_.begin(), places_.end(), [&](const PixelRect& p) {
      return p.left <= 0 && p.top <= 0 && p.left + p.width >= width && p.top + p.height >= height;
    });
  }

  SDL_Renderer* renderer_;
  SDL_Texture* texture_ = nullptr;
  int32_t textureWidth_ = 0;
  int32_t textureHeight_ = 0;
  std::vector<PixelRect> places_;
  bool hasFrame_ = false;
};

// The frame copied into the window's own framebuffer.
class SurfacePresenter final : public SdlPresenter {
public:
  explicit SurfacePresenter(SDL_Window* window) : window_(window) {}

  const char* Name() const override { return "surface"; }

  bool Present(const PixelView& frame, std::span<const PixelRect> places) override {
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (target == nullptr) return false;
    // The borders stay black until the surface or the places change: only
    // then are they painted again.
    const bool fresh = target != surface_ || target->w != surfaceWidth_ || target->h != surfaceHeight_ ||
                       !std::equal(places.begin(), places.end(), places_.begin(), places_.end());
    surface_ = target;
    surfaceWidth_ = target->w;
    surfaceHeight_ = target->h;
    places_.assign(places.begin(), places.end());
    if (!ValidFrame(frame)) {
      SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
      surface_ = nullptr;  // paint everything again with the next frame
      SDL_UpdateWindowSurface(window_);
      return false;
    }
    if (fresh) SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    bool shown = true;
    for (const PixelRect& place : places) shown = Draw(frame, place, target) && shown;
    SDL_UpdateWindowSurface(window_);
    return shown;
  }

  void Redraw() override {
    // The framebuffer keeps the last frame; a resized one is new and black
    // until the next frame.
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (target == nullptr) return;
    if (target != surface_ || target->w != surfaceWidth_ || target->h != surfaceHeight_) {
      SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
      surface_ = nullptr;
    }
    SDL_UpdateWindowSurface(window_);
  }

private:
  // One place: rows copied as they are where the formats and sizes agree,
  // else SDL converts and scales (nearest).
  static bool Draw(const PixelView& frame, const PixelRect& place, SDL_Surface* target) {
    const bool sameFormat = target->format->BytesPerPixel == 4 && target->format->Rmask == 0x00FF0000 &&
                            target->format->Gmask == 0x0000FF00 && target->format->Bmask == 0x000000FF;
    if (sameFormat && place.width == frame.width && place.height == frame.height) {
      const int x0 = std::max(place.left, 0), y0 = std::max(place.top, 0);
      const int x1 = std::min(place.left + place.width, target->w), y1 = std::min(place.top + place.height, target->h);
      if (x0 >= x1 || y0 >= y1) return true;
      if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return false;
      const size_t bytes = static_cast<size_t>(x1 - x0) * 4;
      for (int y = y0; y < y1; ++y) {
        const uint32_t* from = frame.pixels + static_cast<size_t>(y - place.top) * frame.stride + (x0 - place.left);
        auto* to = static_cast<uint8_t*>(target->pixels) + static_cast<size_t>(y) * target->pitch + size_t{4} * x0;
        std::memcpy(to, from, bytes);
      }
      if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
      return true;
    }
    // The fourth byte is no alpha: a format without one copies, never blends.
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(frame.pixels), frame.width,
                                                             frame.height, 32, frame.stride * 4,
                                                             SDL_PIXELFORMAT_RGB888);
    if (source == nullptr) return false;
    SDL_Rect to{place.left, place.top, place.width, place.height};
    const bool done = (place.width == frame.width && place.height == frame.height
                           ? SDL_BlitSurface(source, nullptr, target, &to)
                           : SDL_BlitScaled(source, nullptr, target, &to)) == 0;
    SDL_FreeSurface(source);
    return done;
  }

  SDL_Window* window_;
  SDL_Surface* surface_ = nullptr;
  int surfaceWidth_ = 0;
  int surfaceHeight_ = 0;
  std::vector<PixelRect> places_;
};

// The renderer string of the GL context SDL's renderer made current, or "".
std::string CurrentGlRenderer() {
  using GetString = const unsigned char* (*)(unsigned int);
  constexpr unsigned int kGlRenderer = 0x1F01;
  const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const unsigned char* name = getString != nullptr ? getString(kGlRenderer) : nullptr;
  return name != nullptr ? reinterpret_cast<const char*>(name) : "";
}

std::unique_ptr<SdlPresenter> SurfaceFor(SDL_Window* window) {
  // Without this SDL makes the window's framebuffer a GL texture again.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_GetWindowSurface(window) == nullptr) return nullptr;
  return std::make_unique<SurfacePresenter>(window);
}

}  // namespace

bool IsSoftwareGlRenderer(std::string_view glRenderer) {
  for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast", "SWR "})
    if (glRenderer.find(software) != std::string_view::npos) return true;
  return false;
}

PresentPath PresentPathFromEnvironment() {
  const char* asked = std::getenv("LUMEVRA_PRESENT");
  if (asked != nullptr && std::strcmp(asked, "renderer") == 0) return PresentPath::Renderer;
  if (asked != nullptr && std::strcmp(asked, "surface") == 0) return PresentPath::Surface;
  return PresentPath::Automatic;
}

std::unique_ptr<SdlPresenter> CreatePresenter(SDL_Window* window, PresentPath path, bool softwareOnly) {
  if (path == PresentPath::Surface || (path == PresentPath::Automatic && softwareOnly)) {
    if (auto surface = SurfaceFor(window)) return surface;
  }
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, softwareOnly ? SDL_RENDERER_SOFTWARE : 0);
  if (renderer == nullptr && !softwareOnly) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer == nullptr) {
    if (auto surface = SurfaceFor(window)) return surface;
    throw std::runtime_error("cannot draw into the saver window (SDL: " + SdlError() + ")");
  }
  if (path == PresentPath::Automatic) {
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    const std::string_view name = info.name != nullptr ? info.name : "";
    // SDL's software renderer draws into the framebuffer itself, with a
    // copy more than the surface path; a software GL costs far more.
    const bool software = name == "software" || (name.starts_with("opengl") && IsSoftwareGlRenderer(CurrentGlRenderer()));
    if (software) {
      SDL_DestroyRenderer(renderer);
      if (auto surface = SurfaceFor(window)) return surface;
      renderer = SDL_CreateRenderer(window, -1, 0);
      if (renderer == nullptr) throw std::runtime_error("cannot draw into the saver window (SDL: " + SdlError() + ")");
    }
  }
  return std::make_unique<RendererPresenter>(renderer);
}

SdlPresenterWindow::SdlPresenterWindow(int32_t width, int32_t height, PresentPath path) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) throw std::runtime_error("no display (SDL: " + SdlError() + ")");
  window_ = SDL_CreateWindow("lumevra", 0, 0, width, height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
  if (window_ == nullptr) {
    const std::string error = SdlError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    throw std::runtime_error("cannot open a window (SDL: " + error + ")");
  }
  try {
    presenter_ = CreatePresenter(window_, path, false);
  } catch (...) {
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    throw;
  }
}

SdlPresenterWindow::~SdlPresenterWindow() {
  presenter_.reset();
  SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlPresenterWindow::PumpEvents() { SDL_PumpEvents(); }

}  // namespace lumevra
