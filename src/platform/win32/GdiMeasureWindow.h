// A window for measuring the ways frames reach the screen with GDI
// (GdiFrameDraw.h), for the Windows benchmark (bench/win32).
#pragma once

#include <cstdint>

#include "graphics/PixelView.h"

namespace lumevra {

// A borderless topmost window of its own at (0, 0), shown. Throws
// std::runtime_error when it cannot be made.
class GdiMeasureWindow {
public:
  GdiMeasureWindow(int32_t width, int32_t height);
  ~GdiMeasureWindow();
  GdiMeasureWindow(const GdiMeasureWindow&) = delete;
  GdiMeasureWindow& operator=(const GdiMeasureWindow&) = delete;

  // The window's DC (an HDC), held for the window's life.
  void* Dc() const { return dc_; }
  PixelSize ClientSize() const;
  // Takes the window's messages, as a saver's loop does between frames.
  void PumpMessages();
  // Waits until GDI has handed everything drawn so far on.
  static void Flush();
  // The largest window the virtual screen holds.
  static PixelSize VirtualScreen();

private:
  void* window_ = nullptr;  // HWND
  void* dc_ = nullptr;      // HDC
};

}  // namespace lumevra
