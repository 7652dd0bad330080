#include "platform/win32/GdiMeasureWindow.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace lumevra {

namespace {

constexpr wchar_t kMeasureClass[] = L"LumevraMeasureWindow";

HWND H(void* p) { return static_cast<HWND>(p); }

}  // namespace

GdiMeasureWindow::GdiMeasureWindow(int32_t width, int32_t height) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kMeasureClass;
  RegisterClassExW(&wc);  // fails harmlessly for a second window
  HWND window = CreateWindowExW(WS_EX_TOPMOST, kMeasureClass, L"", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                wc.hInstance, nullptr);
  if (window == nullptr)
    throw std::runtime_error("cannot open a window (error " + std::to_string(GetLastError()) + ")");
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  window_ = window;
  dc_ = GetDC(window);
  PumpMessages();
}

GdiMeasureWindow::~GdiMeasureWindow() {
  ReleaseDC(H(window_), static_cast<HDC>(dc_));
  DestroyWindow(H(window_));
}

PixelSize GdiMeasureWindow::ClientSize() const {
  RECT r{};
  GetClientRect(H(window_), &r);
  return {r.right - r.left, r.bottom - r.top};
}

void GdiMeasureWindow::PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void GdiMeasureWindow::Flush() { GdiFlush(); }

PixelSize GdiMeasureWindow::VirtualScreen() {
  return {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace lumevra
