// The headless saver window: an in-memory client area that records what
// the window logic asked of it (placement, cursor, captions, presented
// frames), and a loop that delivers scripted input between idle calls.
// It has a silent recording sound output and music device of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Bitmap32.h"
#include "graphics/PixelView.h"
#include "platform/headless/HeadlessSound.h"
#include "sound/MusicDevice.h"
#include "sound/SoundOutput.h"
#include "ui/SaverHost.h"

namespace lumevra {

// One input event, delivered before the idle call of frame `frame` (the
// first idle call is frame 0).
struct HeadlessInput {
  enum Kind { MouseMove, MouseDown, KeyDown, CloseBox, DisplayOff, DisplayOn };
  int frame = 0;
  Kind kind = MouseMove;
  int32_t x = 0;
  int32_t y = 0;
};

class HeadlessSaverHost final : public SaverHost {
public:
  HeadlessSaverHost(int32_t screenWidth = 1024, int32_t screenHeight = 768);

  // What Run does: OnShow, then per frame the scripted input, the music
  // notifications and one idle call, until Close. After `maxFrames` idle
  // calls the system asks the window to close; a window that refuses is
  // left after `maxFrames` more.
  int maxFrames = 100;
  std::vector<HeadlessInput> script;
  // The answer of the password check, and how often it was asked.
  bool passwordAllows = true;
  int passwordChecks = 0;

  HeadlessSoundOutput sound;
  HeadlessMusicDevice music;
  // Set false to run without any sound output or music device.
  bool hasSound = true;
  bool hasMusic = true;

  // Records.
  bool windowed = false;
  bool running = false;  // inside Run
  bool closed = false;
  bool topmost = false;
  bool applicationWindowHidden = false;
  std::vector<bool> screenSaverRunningCalls;
  std::vector<bool> cursorCalls;
  std::u16string caption;
  struct Placement {
    int32_t left = 0, top = 0, width = 0, height = 0;
  };
  std::vector<Placement> placements;
  int presentCount = 0;
  int idleCalls = 0;
  int processMessagesCount = 0;
  bool idleInstalled = false;
  int32_t lastLeft = 0;
  int32_t lastTop = 0;
  Bitmap32 lastFrame;  // a copy of the last presented frame
  // Where PresentPlaced showed it (empty after a plain Present).
  std::vector<PixelRect> lastPlaces;
  // The client area as the screen would show it: black, the last frame at
  // its offset or in each of its places (scaled to nearest pixels).
  void Client(Bitmap32& out) const;

  // The desktop's monitors; empty: one primary monitor of the screen size
  // given at construction.
  std::vector<Monitor> monitors;

  // Delivers events to `events` outside Run (tests driving the logic step
  // by step): resize events of SetPlacement go there.
  void Attach(SaverEvents* events) { events_ = events; }

  // SaverHost
  void SetWindowed(bool isWindowed) override { windowed = isWindowed; }
  SoundOutput* Sound() override { return hasSound ? &sound : nullptr; }
  MusicDevice* Music() override { return hasMusic ? &music : nullptr; }
  void Run(SaverEvents& events) override;
  PixelSize ScreenSize() override;
  std::vector<Monitor> Monitors() override;
  PixelSize ClientSize() override { return client_; }
  void SetPlacement(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetTopmost() override { topmost = true; }
  void HideApplicationWindow() override { applicationWindowHidden = true; }
  void SetScreenSaverRunning(bool on) override { screenSaverRunningCalls.push_back(on); }
  void ShowCursor(bool show) override { cursorCalls.push_back(show); }
  void SetCaption(std::u16string_view text) override { caption = text; }
  void Present(const PixelView& frame, int32_t left, int32_t top) override;
  void PresentPlaced(const PixelView& frame, std::span<const PixelRect> places) override;
  void ProcessMessages() override { ++processMessagesCount; }
  void SetIdleHandler(bool installed) override { idleInstalled = installed; }
  bool VerifyPassword() override;
  void Close() override { closed = true; }

  // Whether the cursor is visible after the calls so far (as a counter:
  // each hide needs its show).
  bool CursorVisible() const;

private:
  void Deliver(const HeadlessInput& input);

  PixelSize screen_;
  PixelSize client_{688, 446};  // the window's design-time client area
  SaverEvents* events_ = nullptr;
};

}  // namespace lumevra
