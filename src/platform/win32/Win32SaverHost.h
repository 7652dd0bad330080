// The saver window on Windows: a GDI window that shows frames from a DIB.
// Supports: the full-screen form as a borderless topmost popup covering the
// virtual screen (every monitor, EnumDisplayMonitors), owned by a hidden
// application window so that it has no taskbar button; the windowed test
// run as an ordinary resizable window; frames drawn from their own memory
// 1:1 at their offset, or stretched into each monitor's place, on a black
// client area painted when the places change, and kept in a DIB section for
// repaints; mouse, key and close
// messages as events; an idle loop that calls the idle handler while the
// message queue is empty; the display's sleep and wake
// (RegisterPowerSettingNotification, the console display state); the cursor's visibility; the 95/98/ME saver flag
// and password check; the DirectSound players and the MCI music of this
// window (the music's completion message arrives through its loop).
// Does not support: drawing into a foreign window.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphics/PixelView.h"
#include "platform/win32/GdiFrameDraw.h"
#include "platform/win32/DirectSoundOutput.h"
#include "platform/win32/MciMusic.h"
#include "sound/MusicDevice.h"
#include "sound/SoundOutput.h"
#include "ui/SaverHost.h"

namespace lumevra {

class Win32SaverHost final : public SaverHost {
public:
  static constexpr int32_t kWindowedWidth = 688;
  static constexpr int32_t kWindowedHeight = 446;

  Win32SaverHost();
  ~Win32SaverHost() override;
  Win32SaverHost(const Win32SaverHost&) = delete;
  Win32SaverHost& operator=(const Win32SaverHost&) = delete;

  void SetWindowed(bool windowed) override { windowed_ = windowed; }
  SoundOutput* Sound() override { return &sound_; }
  MusicDevice* Music() override { return &music_; }
  // Throws std::runtime_error when the window cannot be made.
  void Run(SaverEvents& events) override;

  PixelSize ScreenSize() override;
  std::vector<Monitor> Monitors() override;
  PixelSize ClientSize() override;
  void SetPlacement(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetTopmost() override;
  void HideApplicationWindow() override;
  void SetScreenSaverRunning(bool running) override;
  void ShowCursor(bool show) override;
  void SetCaption(std::u16string_view caption) override;
  void Present(const PixelView& frame, int32_t left, int32_t top) override;
  void PresentPlaced(const PixelView& frame, std::span<const PixelRect> places) override;
  void ProcessMessages() override;
  void SetIdleHandler(bool installed) override { idle_ = installed; }
  bool VerifyPassword() override;
  void Close() override { closed_ = true; }

  // The window (an HWND) while Run runs, else 0.
  intptr_t Window() const { return reinterpret_cast<intptr_t>(window_); }

private:
  static intptr_t __stdcall WindowProc(void* window, unsigned message, uintptr_t wParam, intptr_t lParam);
  intptr_t Handle(unsigned message, uintptr_t wParam, intptr_t lParam);
  void CreateWindows();
  void DestroyWindows();
  void PumpMessages();
  void ReportResize();
  // With an HDC: the frame into places_ (false when it could not be drawn),
  // the black around `shown`, a repaint of everything.
  bool DrawFrame(void* dc, const PixelView& frame);
  void PaintBorders(void* dc, PixelSize client, std::span<const PixelRect> shown);
  void Paint(void* dc);

  DirectSoundOutput sound_;
  MciMusic music_;
  DibFrame lastFrame_;  // kept for repaints: the caller's frame lives only during the call
  std::vector<PixelRect> places_;  // where the frame goes in the client area
  bool bordersPainted_ = false;    // black around places_ at bordersClient_
  PixelSize bordersClient_;

  bool windowed_ = false;
  void* application_ = nullptr;  // HWND of the hidden application window
  void* window_ = nullptr;       // HWND of the saver window
  void* displayNotify_ = nullptr;  // HPOWERNOTIFY for the display's power state
  SaverEvents* events_ = nullptr;
  bool closed_ = true;
  bool idle_ = false;
  bool cursorShown_ = true;
  bool systemCursorHidden_ = false;  // our ShowCursor(FALSE) is in force
  std::wstring caption_;
  PixelSize reportedSize_;
};

}  // namespace lumevra
