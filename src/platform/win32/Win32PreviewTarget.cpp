#include "platform/win32/Win32PreviewTarget.h"

#include <windows.h>

namespace lumevra {

namespace {
HWND H(intptr_t window) { return reinterpret_cast<HWND>(window); }
}  // namespace

bool Win32PreviewTarget::WaitVisible() {
  const auto deadline = std::chrono::steady_clock::now() + visibleBound_;
  for (;;) {
    if (!IsWindow(H(window_))) return false;
    if (IsWindowVisible(H(window_))) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

PixelSize Win32PreviewTarget::Size() {
  RECT r{};
  if (!GetWindowRect(H(window_), &r)) return {};
  return {r.right - r.left, r.bottom - r.top};
}

void Win32PreviewTarget::DrawStretched(const PixelView& picture) {
  if (picture.pixels == nullptr || picture.width <= 0 || picture.height <= 0 || picture.stride < picture.width) return;
  const PixelSize size = Size();
  if (size.cx <= 0 || size.cy <= 0) return;
  HDC dc = GetDC(H(window_));
  if (dc == nullptr) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = picture.stride;  // the source rectangle keeps to the picture
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, 0, 0, size.cx, size.cy, 0, 0, picture.width, picture.height, picture.pixels, &info,
                DIB_RGB_COLORS, SRCCOPY);
  GdiFlush();
  ReleaseDC(H(window_), dc);
}

std::unique_ptr<PreviewTarget> OpenWin32Preview(intptr_t handle) {
  if (handle == 0 || !IsWindow(H(handle))) return nullptr;
  return std::make_unique<Win32PreviewTarget>(handle, std::chrono::seconds(5));
}

}  // namespace lumevra
