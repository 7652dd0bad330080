#include "platform/linux/SdlSaverHost.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "base/AnsiText.h"
#include "platform/linux/XServerQueries.h"

namespace lumevra {

namespace {

std::string SdlError() {
  const char* e = SDL_GetError();
  return (e && *e) ? e : "unknown error";
}

// The root window of the default screen, for drawing on the desktop itself.
unsigned long RootWindowId() {
  ::Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 0;
  const unsigned long root = DefaultRootWindow(display);
  XCloseDisplay(display);
  return root;
}

// A foreign window's current size: SDL does not follow its resizes.
bool ForeignWindowSize(SDL_Window* window, PixelSize& size) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes)) return false;
  size = {attributes.width, attributes.height};
  return true;
}

}  // namespace

SdlSaverHost::SdlSaverHost()
    : mixer_(std::make_shared<SdlMixer>()),
      sound_(std::make_unique<SdlSound>(mixer_)),
      music_(std::make_unique<SdlMusic>(mixer_)),
      powerWatch_([this]() -> std::optional<bool> {
        if (auto state = DisplayStateFromFile()) return state;
        return QueryDisplayPoweredOn(xDisplay_);
      }) {}

SdlSaverHost::~SdlSaverHost() {
  DestroyWindow();
  music_.reset();
  sound_.reset();
  mixer_.reset();
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (xDisplay_ != nullptr) XCloseDisplay(xDisplay_);
}

bool SdlSaverHost::EnsureVideo() {
  if (videoStarted_) return true;
  // This program is the screensaver: it must not keep the desktop's own
  // blanking and power saving away.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // A window's close box arrives as a window event; SDL_QUIT then only
  // means a termination signal.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  videoStarted_ = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  if (!videoStarted_) return false;
  // Without a display SDL falls back to drivers that show nothing; a saver
  // nobody sees must say so instead, unless those were asked for.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0) && !(asked && *asked)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted_ = false;
    SDL_SetError("no display found (DISPLAY is not set or cannot be opened)");
    return false;
  }
  // A connection of our own for what SDL does not ask the X server.
  if (driver && SDL_strcmp(driver, "x11") == 0 && xDisplay_ == nullptr) xDisplay_ = XOpenDisplay(nullptr);
  return true;
}

void SdlSaverHost::CreateWindow() {
  if (!EnsureVideo()) throw std::runtime_error("no display: cannot open the saver window (SDL: " + SdlError() + ")");
  uint32_t rendererFlags = 0;
  if (foreign_) {
    const unsigned long id = *foreign_ != 0 ? *foreign_ : RootWindowId();
    window_ = id != 0 ? SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<uintptr_t>(id))) : nullptr;
    // A foreign window's visual was not chosen for OpenGL.
    rendererFlags = SDL_RENDERER_SOFTWARE;
  } else if (windowed_) {
    window_ = SDL_CreateWindow(caption_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWindowedWidth,
                               kWindowedHeight, SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN);
  } else {
    // Not SDL's full-screen mode: that needs a window manager to take effect.
    // One window over all displays, so input on any of them reaches it.
    const std::vector<Monitor> monitors = Monitors();
    int left = 0, top = 0, right = 0, bottom = 0;
    for (const Monitor& m : monitors) {
      left = std::min(left, m.bounds.left);
      top = std::min(top, m.bounds.top);
      right = std::max(right, m.bounds.left + m.bounds.width);
      bottom = std::max(bottom, m.bounds.top + m.bounds.height);
    }
    window_ = SDL_CreateWindow(caption_.c_str(), left, top, right - left, bottom - top,
                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR |
                                   SDL_WINDOW_SHOWN);
  }
  if (window_ == nullptr)
    throw std::runtime_error("no display: cannot open the saver window (SDL: " + SdlError() + ")");
  try {
    presenter_ = CreatePresenter(window_, PresentPathFromEnvironment(), rendererFlags == SDL_RENDERER_SOFTWARE);
    presentPathName_ = presenter_->Name();
  } catch (const std::exception&) {
    DestroyWindow();
    throw;
  }
  if (!foreign_) SDL_ShowCursor(cursorShown_ ? SDL_ENABLE : SDL_DISABLE);
  reportedSize_ = ClientSize();
  Redraw();
}

void SdlSaverHost::DestroyWindow() {
  presenter_.reset();
  // A foreign window survives: SDL only lets go of it.
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  window_ = nullptr;
  // Input left for the window is nobody's now; the music's end (a user
  // event) stays for whoever plays next.
  if (videoStarted_) SDL_FlushEvents(SDL_FIRSTEVENT, SDL_USEREVENT - 1);
  if (videoStarted_ && !foreign_ && !cursorShown_) SDL_ShowCursor(SDL_ENABLE);
}

void SdlSaverHost::Run(SaverEvents& events) {
  if (events_ != nullptr) throw std::logic_error("the saver window is already running");
  CreateWindow();
  events_ = &events;
  closed_ = false;
  struct Cleanup {
    SdlSaverHost& host;
    ~Cleanup() {
      host.closed_ = true;
      host.events_ = nullptr;
      host.DestroyWindow();
    }
  } cleanup{*this};

  events.OnShow();
  while (!closed_) {
    PumpEvents();
    if (closed_) break;
    WatchDisplayPower();
    if (closed_) break;
    // Frames follow each other without waiting: the idle handler paces itself.
    const bool mayWait = !idle_ || events.OnIdle();
    if (closed_ || !mayWait) continue;
    // With nothing to draw (the display sleeps) the loop sleeps until input
    // or the next look at the display.
    const uint32_t wait = windowed_ ? 50 : std::max<uint32_t>(1, powerWatch_.MsUntilNextProbe(SDL_GetTicks64()));
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, static_cast<int>(wait))) Deliver(event);
  }
}

void SdlSaverHost::WatchDisplayPower() {
  if (windowed_ || events_ == nullptr) return;
  if (const std::optional<bool> on = powerWatch_.Poll(SDL_GetTicks64())) events_->OnDisplayPower(*on);
}

uint64_t SdlSaverHost::AsleepMs() const { return powerWatch_.AsleepMs(SDL_GetTicks64()); }

void SdlSaverHost::PumpEvents() {
  SDL_Event event;
  while (!closed_ && SDL_PollEvent(&event)) Deliver(event);
}

void SdlSaverHost::ProcessMessages() {
  if (events_ != nullptr) PumpEvents();
}

void SdlSaverHost::Deliver(const SDL_Event& event) {
  if (closed_ || events_ == nullptr) return;
  if (music_->HandleEvent(event)) return;
  switch (event.type) {
    case SDL_MOUSEMOTION:
      events_->OnMouseMove(event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
      events_->OnMouseDown();
      break;
    case SDL_KEYDOWN:
      events_->OnKeyDown();
      break;
    case SDL_QUIT:
      events_->Close();
      break;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          events_->Close();
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          ReportResize();
          break;
        case SDL_WINDOWEVENT_EXPOSED:
          Redraw();
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
}

void SdlSaverHost::ReportResize() {
  const PixelSize size = ClientSize();
  if (size.cx == reportedSize_.cx && size.cy == reportedSize_.cy) return;
  reportedSize_ = size;
  if (events_ != nullptr && !closed_) events_->OnResize();
}

PixelSize SdlSaverHost::ScreenSize() {
  if (!EnsureVideo()) return {};
  // A daemon's window is the whole screen the saver knows of.
  PixelSize foreignSize;
  if (window_ != nullptr && foreign_ && ForeignWindowSize(window_, foreignSize)) return foreignSize;
  for (const Monitor& m : Monitors())
    if (m.primary) return {m.bounds.width, m.bounds.height};
  return {};
}

std::vector<Monitor> SdlSaverHost::Monitors() {
  std::vector<Monitor> monitors;
  if (!EnsureVideo()) return monitors;
  PixelSize foreignSize;
  if (window_ != nullptr && foreign_ && ForeignWindowSize(window_, foreignSize))
    return {Monitor{{0, 0, foreignSize.cx, foreignSize.cy}, true}};
  const int count = SDL_GetNumVideoDisplays();
  for (int i = 0; i < count; ++i) {
    SDL_Rect r;
    if (SDL_GetDisplayBounds(i, &r) != 0 || r.w <= 0 || r.h <= 0) continue;
    monitors.push_back({{r.x, r.y, r.w, r.h}, r.x == 0 && r.y == 0});
  }
  // A server that joins several heads into one screen shows SDL one wide
  // display; the server's own list of heads has the monitors, primary first.
  const std::vector<PixelRect> heads = QueryMonitorHeads(xDisplay_);
  if (heads.size() > monitors.size()) {
    monitors.clear();
    for (const PixelRect& head : heads) monitors.push_back({head, monitors.empty()});
  }
  // The primary display sits at (0, 0); without one, the first is taken.
  const bool hasPrimary = std::any_of(monitors.begin(), monitors.end(), [](const Monitor& m) { return m.primary; });
  if (!hasPrimary && !monitors.empty()) monitors.front().primary = true;
  // Two displays at (0, 0) (mirrored): the first is the primary.
  bool seen = false;
  for (Monitor& m : monitors) {
    if (m.primary && seen) m.primary = false;
    seen = seen || m.primary;
  }
  return monitors;
}

PixelSize SdlSaverHost::ClientSize() {
  if (window_ == nullptr) return windowed_ && !foreign_ ? PixelSize{kWindowedWidth, kWindowedHeight} : ScreenSize();
  PixelSize size;
  if (foreign_ && ForeignWindowSize(window_, size)) return size;
  SDL_GetWindowSize(window_, &size.cx, &size.cy);
  return size;
}

void SdlSaverHost::SetPlacement(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (window_ == nullptr || foreign_) return;
  // The placement is the outer frame; SDL places the client area.
  int frameTop = 0, frameLeft = 0, frameBottom = 0, frameRight = 0;
  if (SDL_GetWindowBordersSize(window_, &frameTop, &frameLeft, &frameBottom, &frameRight) != 0)
    frameTop = frameLeft = frameBottom = frameRight = 0;
  const int clientWidth = width - frameLeft - frameRight;
  const int clientHeight = height - frameTop - frameBottom;
  SDL_SetWindowPosition(window_, left + frameLeft, top + frameTop);
  SDL_SetWindowSize(window_, clientWidth > 0 ? clientWidth : 1, clientHeight > 0 ? clientHeight : 1);
  // The resize is reported at once, as the window's own logic expects.
  ReportResize();
}

void SdlSaverHost::SetTopmost() {
  if (window_ != nullptr && !foreign_) SDL_SetWindowAlwaysOnTop(window_, SDL_TRUE);
}

void SdlSaverHost::ShowCursor(bool show) {
  cursorShown_ = show;
  if (window_ != nullptr && !foreign_) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void SdlSaverHost::SetCaption(std::u16string_view caption) {
  caption_ = Utf16ToUtf8(caption);
  if (window_ != nullptr && !foreign_) SDL_SetWindowTitle(window_, caption_.c_str());
}

void SdlSaverHost::Present(const PixelView& frame, int32_t left, int32_t top) {
  const PixelRect place{left, top, frame.width, frame.height};
  PresentPlaced(frame, std::span<const PixelRect>(&place, 1));
}

void SdlSaverHost::PresentPlaced(const PixelView& frame, std::span<const PixelRect> places) {
  if (presenter_ == nullptr) return;
  ++presented_;
  const uint64_t start = SDL_GetPerformanceCounter();
  if (presented_ == 1) firstPresentCounter_ = start;
  lastPresentCounter_ = start;
  presenter_->Present(frame, places);
  presentTicks_ += SDL_GetPerformanceCounter() - start;
}

void SdlSaverHost::Redraw() {
  if (presenter_ != nullptr) presenter_->Redraw();
}

double SdlSaverHost::SecondsOfFrames() const {
  return static_cast<double>(lastPresentCounter_ - firstPresentCounter_) /
         static_cast<double>(SDL_GetPerformanceFrequency());
}

double SdlSaverHost::PresentSeconds() const {
  return static_cast<double>(presentTicks_) / static_cast<double>(SDL_GetPerformanceFrequency());
}

}  // namespace lumevra
