// The saver window on SDL2 (X11, or whatever video driver SDL picks).
// Supports: the full-screen form as a borderless, always-on-top window over
// every monitor of the desktop (it covers the screens with or without a
// window manager; the monitors are SDL's displays, or the X server's heads
// where the server joins several into one screen; the primary is the one at
// (0, 0), or the server's first head); the windowed test run as an ordinary
// resizable window; drawing into a foreign X window instead (a screensaver
// daemon's window or the root window), where the window is left as it is:
// no placement, caption or cursor changes, and no input (the daemon watches
// the input itself). Frames are copied 1:1 at the given offset, or scaled
// into each given place, on a black client area, through SDL's renderer or
// the window's framebuffer (see SdlPresenter). The display's power state (DPMS) is looked at about once a second
// outside the windowed run and reported to the window logic. Sound and
// music are this window's SdlSound and SdlMusic; the music's end arrives
// through this window's loop.
// Does not support: hiding a taskbar button (the full-screen window is made
// without one), telling the system a saver runs (nothing to tell on Linux),
// or a password check (closing is always allowed).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graphics/PixelView.h"
#include "platform/linux/DisplayPowerWatch.h"
#include "platform/linux/SdlPresenter.h"
#include "platform/linux/SdlMixer.h"
#include "platform/linux/SdlMusic.h"
#include "platform/linux/SdlSound.h"
#include "sound/MusicDevice.h"
#include "sound/SoundOutput.h"
#include "ui/SaverHost.h"

struct SDL_Window;
union SDL_Event;
typedef struct _XDisplay Display;

namespace lumevra {

class SdlSaverHost final : public SaverHost {
public:
  static constexpr int32_t kWindowedWidth = 688;
  static constexpr int32_t kWindowedHeight = 446;

  SdlSaverHost();
  ~SdlSaverHost() override;
  SdlSaverHost(const SdlSaverHost&) = delete;
  SdlSaverHost& operator=(const SdlSaverHost&) = delete;

  // Before Run: draw into this X window instead of a window of our own;
  // 0 is the root window, nullopt (the default) our own window.
  void SetForeignWindow(std::optional<unsigned long> xWindow) { foreign_ = xWindow; }

  void SetWindowed(bool windowed) override { windowed_ = windowed; }
  SoundOutput* Sound() override { return sound_.get(); }
  MusicDevice* Music() override { return music_.get(); }
  // Throws std::runtime_error when no window can be opened (no display).
  void Run(SaverEvents& events) override;

  PixelSize ScreenSize() override;
  std::vector<Monitor> Monitors() override;
  PixelSize ClientSize() override;
  void SetPlacement(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetTopmost() override;
  void HideApplicationWindow() override {}
  void SetScreenSaverRunning(bool) override {}
  void ShowCursor(bool show) override;
  void SetCaption(std::u16string_view caption) override;
  void Present(const PixelView& frame, int32_t left, int32_t top) override;
  void PresentPlaced(const PixelView& frame, std::span<const PixelRect> places) override;
  void ProcessMessages() override;
  void SetIdleHandler(bool installed) override { idle_ = installed; }
  bool VerifyPassword() override { return true; }
  void Close() override { closed_ = true; }

  // The window while Run runs, else null (for tests and diagnostics).
  SDL_Window* Window() const { return window_; }

  // Frames presented since the window opened (for the frame-rate figure).
  int64_t PresentedFrames() const { return presented_; }
  // Seconds from the first frame presented to the last (the frame rate
  // without the start-up before it).
  double SecondsOfFrames() const;
  // How frames reached the window last opened ("renderer" or "surface";
  // "none" before one opens), and the time spent presenting them.
  const char* PresentPathName() const { return presentPathName_; }
  double PresentSeconds() const;
  // Milliseconds the display has slept while the saver ran.
  uint64_t AsleepMs() const;

private:
  bool EnsureVideo();
  void CreateWindow();
  void DestroyWindow();
  void PumpEvents();
  void Deliver(const SDL_Event& event);
  void ReportResize();
  void WatchDisplayPower();
  void Redraw();

  std::shared_ptr<SdlMixer> mixer_;
  std::unique_ptr<SdlSound> sound_;
  std::unique_ptr<SdlMusic> music_;

  bool windowed_ = false;
  std::optional<unsigned long> foreign_;
  bool videoStarted_ = false;
  Display* xDisplay_ = nullptr;  // our own connection to the X server, or null
  DisplayPowerWatch powerWatch_;
  SDL_Window* window_ = nullptr;
  std::unique_ptr<SdlPresenter> presenter_;
  int64_t presented_ = 0;
  uint64_t firstPresentCounter_ = 0;
  uint64_t lastPresentCounter_ = 0;
  const char* presentPathName_ = "none";  // of the last window
  uint64_t presentTicks_ = 0;  // SDL performance counter ticks spent presenting

  SaverEvents* events_ = nullptr;
  bool closed_ = true;
  bool idle_ = false;
  bool cursorShown_ = true;
  std::string caption_;
  PixelSize reportedSize_;
};

}  // namespace lumevra
