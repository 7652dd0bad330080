// The saver's window as the window logic sees it, and the events the
// backend's window delivers to that logic.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "graphics/PixelView.h"
#include "sound/MusicDevice.h"
#include "sound/SoundOutput.h"

namespace lumevra {

// The events of the saver window, as the window logic handles them. A
// backend's loop delivers them on the user-interface thread.
class SaverEvents {
public:
  virtual ~SaverEvents() = default;
  virtual void OnShow() = 0;
  // One idle call; true when the loop may wait for messages (no frames).
  virtual bool OnIdle() = 0;
  virtual void OnMouseMove(int32_t x, int32_t y) = 0;
  virtual void OnMouseDown() = 0;
  virtual void OnKeyDown() = 0;
  virtual void OnResize() = 0;
  // The display went to sleep (false) or woke (true). Backends that cannot
  // tell never call it.
  virtual void OnDisplayPower(bool /*on*/) {}
  // The window's frame or the system asks the window to close.
  virtual void Close() = 0;
};

// One monitor of the desktop: its bounds in desktop pixels (the primary
// monitor's top left is (0, 0); others may lie left of or above it).
struct Monitor {
  PixelRect bounds;
  bool primary = false;
};

// The saver's window. Calls come from the window logic on the UI thread.
class SaverHost {
public:
  virtual ~SaverHost() = default;
  // Before Run: borderless and topmost (full screen) or an ordinary
  // resizable window (the windowed test run).
  virtual void SetWindowed(bool windowed) = 0;
  // The sound output and music device bound to this window; null when the
  // backend has none. Valid from OnShow until Run returns.
  virtual SoundOutput* Sound() = 0;
  virtual MusicDevice* Music() = 0;
  // Creates and shows the window, delivers OnShow, then the idle calls
  // and input until Close; returns after the window is gone.
  virtual void Run(SaverEvents& events) = 0;

  // The primary monitor's size.
  virtual PixelSize ScreenSize() = 0;
  // Every monitor, the primary among them; one monitor when the backend
  // covers only one.
  virtual std::vector<Monitor> Monitors() = 0;
  virtual PixelSize ClientSize() = 0;
  // Outer position and size; a size change raises OnResize.
  virtual void SetPlacement(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
  virtual void SetTopmost() = 0;
  // Hides the application's own taskbar button.
  virtual void HideApplicationWindow() = 0;
  // Tells a 95/98/ME system that a saver is running (the logic decides when).
  virtual void SetScreenSaverRunning(bool running) = 0;
  virtual void ShowCursor(bool show) = 0;
  virtual void SetCaption(std::u16string_view caption) = 0;
  // Copies the frame to the client area at (left, top); the rest of the
  // client area stays black.
  virtual void Present(const PixelView& frame, int32_t left, int32_t top) = 0;
  // Shows the frame in each of `places` (client coordinates), scaled where
  // a place's size differs from the frame's; the rest of the client area
  // stays black. The full-screen saver shows one frame on every monitor so.
  virtual void PresentPlaced(const PixelView& frame, std::span<const PixelRect> places) = 0;
  // Handles pending messages (input may raise events from inside).
  virtual void ProcessMessages() = 0;
  // Whether OnIdle is called while the message queue is empty.
  virtual void SetIdleHandler(bool installed) = 0;
  // The 95/98/ME password check ("ScreenSaveUsePassword", "VerifyScreenSavePwd",
  // the cursor shown meanwhile): true allows closing. Other systems: true.
  virtual bool VerifyPassword() = 0;
  // Ends Run: no events are delivered afterwards.
  virtual void Close() = 0;
};

}  // namespace lumevra
