#include "platform/win32/Win32SaverHost.h"

#include <windows.h>
#include <windowsx.h>
#include <mmsystem.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

#include "platform/win32/GdiFrameDraw.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/WinText.h"

namespace lumevra {

namespace {

constexpr wchar_t kWindowClass[] = L"LumevraSaverWindow";
constexpr wchar_t kApplicationClass[] = L"LumevraApplication";

HWND H(void* p) { return static_cast<HWND>(p); }

// GUID_CONSOLE_DISPLAY_STATE: its data is 0 off, 1 on, 2 dimmed.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

void RegisterClasses(WNDPROC proc) {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kWindowClass;
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  RegisterClassExW(&wc);
  WNDCLASSEXW app{};
  app.cbSize = sizeof(app);
  app.lpfnWndProc = DefWindowProcW;
  app.hInstance = GetModuleHandleW(nullptr);
  app.lpszClassName = kApplicationClass;
  RegisterClassExW(&app);
  registered = true;
}

}  // namespace

Win32SaverHost::Win32SaverHost()
    : sound_([this] { return Window(); }), music_([this] { return Window(); }) {}

Win32SaverHost::~Win32SaverHost() {
  music_.Close();
  DestroyWindows();
}

intptr_t __stdcall Win32SaverHost::WindowProc(void* window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = H(window);
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* host = reinterpret_cast<Win32SaverHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (host != nullptr && host->window_ == window) return host->Handle(message, wParam, lParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

intptr_t Win32SaverHost::Handle(unsigned message, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = H(window_);
  const bool live = events_ != nullptr && !closed_;
  switch (message) {
    case WM_MOUSEMOVE:
      if (live) events_->OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      if (live) events_->OnMouseDown();
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (live) events_->OnKeyDown();
      return 0;
    case WM_CLOSE:
      if (live) events_->Close();
      return 0;
    case WM_SIZE:
      ReportResize();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT paints everything
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && !cursorShown_) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
    case MM_MCINOTIFY:
      music_.HandleNotify(wParam, lParam);
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_POWERSETTINGCHANGE && lParam != 0) {
        const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
        if (IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) && setting->DataLength >= sizeof(DWORD)) {
          DWORD state = 0;
          std::memcpy(&state, setting->Data, sizeof(state));
          if (live) events_->OnDisplayPower(state != 0);
        }
      }
      return TRUE;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32SaverHost::CreateWindows() {
  RegisterClasses(reinterpret_cast<WNDPROC>(&Win32SaverHost::WindowProc));
  HINSTANCE instance = GetModuleHandleW(nullptr);
  // The task shows the application title; the saver window the scene's.
  application_ = CreateWindowExW(0, kApplicationClass, ApplicationTitle().c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, instance, nullptr);
  HWND window;
  if (windowed_) {
    RECT r{0, 0, kWindowedWidth, kWindowedHeight};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const PixelSize screen = ScreenSize();
    window = CreateWindowExW(0, kWindowClass, caption_.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             (screen.cx - w) / 2, (screen.cy - h) / 2, w, h, nullptr, nullptr, instance, this);
  } else {
    // Every monitor: the virtual screen, whose corner may be left of or
    // above the primary monitor's.
    window = CreateWindowExW(WS_EX_TOPMOST, kWindowClass, caption_.c_str(), WS_POPUP,
                             GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                             GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                             H(application_), nullptr, instance, this);
  }
  window_ = window;
  if (window == nullptr) {
    DestroyWindows();
    throw std::runtime_error("cannot open the saver window (error " + std::to_string(GetLastError()) + ")");
  }
  // WM_NCCREATE set the pointer before window_ was known: messages so far
  // went to the default handler, which is right for creation.
  // The display's sleep reaches the full-screen saver as a message; the
  // first one tells the state at once.
  if (!windowed_) displayNotify_ = RegisterPowerSettingNotification(window, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetForegroundWindow(window);
  reportedSize_ = ClientSize();
}

void Win32SaverHost::DestroyWindows() {
  if (displayNotify_ != nullptr) UnregisterPowerSettingNotification(static_cast<HPOWERNOTIFY>(displayNotify_));
  displayNotify_ = nullptr;
  if (window_ != nullptr) {
    HWND window = H(window_);
    window_ = nullptr;
    DestroyWindow(window);
  }
  if (application_ != nullptr) DestroyWindow(H(application_));
  application_ = nullptr;
  lastFrame_.Free();
  places_.clear();
  bordersPainted_ = false;
  if (systemCursorHidden_) {
    ::ShowCursor(TRUE);
    systemCursorHidden_ = false;
  }
}

void Win32SaverHost::Run(SaverEvents& events) {
  if (events_ != nullptr) throw std::logic_error("the saver window is already running");
  CreateWindows();
  events_ = &events;
  closed_ = false;
  struct Cleanup {
    Win32SaverHost& host;
    ~Cleanup() {
      host.closed_ = true;
      host.events_ = nullptr;
      host.DestroyWindows();
    }
  } cleanup{*this};

  events.OnShow();
  while (!closed_) {
    PumpMessages();
    if (closed_) break;
    // Frames follow each other without waiting: the idle handler paces itself.
    const bool mayWait = !idle_ || events.OnIdle();
    if (closed_ || !mayWait) continue;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

void Win32SaverHost::PumpMessages() {
  MSG msg;
  while (!closed_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      if (events_ != nullptr) events_->Close();
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Win32SaverHost::ProcessMessages() {
  if (events_ != nullptr) PumpMessages();
}

void Win32SaverHost::ReportResize() {
  if (window_ == nullptr) return;
  const PixelSize size = ClientSize();
  if (size.cx == reportedSize_.cx && size.cy == reportedSize_.cy) return;
  reportedSize_ = size;
  if (events_ != nullptr && !closed_) events_->OnResize();
}

PixelSize Win32SaverHost::ScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::vector<Monitor> Win32SaverHost::Monitors() {
  std::vector<Monitor> monitors;
  auto add = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
      const RECT& r = info.rcMonitor;
      reinterpret_cast<std::vector<Monitor>*>(data)->push_back(
          {{r.left, r.top, r.right - r.left, r.bottom - r.top}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
  };
  EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) {
    const PixelSize screen = ScreenSize();
    monitors.push_back({{0, 0, screen.cx, screen.cy}, true});
  }
  return monitors;
}

PixelSize Win32SaverHost::ClientSize() {
  if (window_ == nullptr) return windowed_ ? PixelSize{kWindowedWidth, kWindowedHeight} : ScreenSize();
  RECT r{};
  GetClientRect(H(window_), &r);
  return {r.right - r.left, r.bottom - r.top};
}

void Win32SaverHost::SetPlacement(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (window_ == nullptr) return;
  SetWindowPos(H(window_), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ReportResize();  // at once, as the window's logic expects
}

void Win32SaverHost::SetTopmost() {
  if (window_ != nullptr) SetWindowPos(H(window_), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32SaverHost::HideApplicationWindow() {
  if (application_ != nullptr) ShowWindow(H(application_), SW_HIDE);
}

void Win32SaverHost::SetScreenSaverRunning(bool running) {
  BOOL old = FALSE;
  SystemParametersInfoW(SPI_SCREENSAVERRUNNING, running ? TRUE : FALSE, &old, 0);
}

void Win32SaverHost::ShowCursor(bool show) {
  cursorShown_ = show;
  // The system's display count changes once per state change, so that it
  // is balanced again when the window goes.
  if (window_ != nullptr && show == systemCursorHidden_) {
    ::ShowCursor(show ? TRUE : FALSE);
    systemCursorHidden_ = !show;
  }
  if (window_ != nullptr) SetCursor(show ? LoadCursorW(nullptr, IDC_ARROW) : nullptr);
}

void Win32SaverHost::SetCaption(std::u16string_view caption) {
  caption_ = ToWide(caption);
  if (window_ != nullptr) SetWindowTextW(H(window_), caption_.c_str());
}

void Win32SaverHost::Present(const PixelView& frame, int32_t left, int32_t top) {
  const PixelRect place{left, top, frame.width, frame.height};
  PresentPlaced(frame, std::span<const PixelRect>(&place, 1));
}

void Win32SaverHost::PresentPlaced(const PixelView& frame, std::span<const PixelRect> places) {
  if (window_ == nullptr) return;
  HDC dc = GetDC(H(window_));
  if (dc == nullptr) return;
  const bool usable = frame.pixels != nullptr && frame.width > 0 && frame.height > 0 &&
                      frame.stride >= frame.width && frame.stride <= INT_MAX / 4;
  if (!usable) {
    lastFrame_.Forget();
    places_.clear();
  } else if (!std::equal(places.begin(), places.end(), places_.begin(), places_.end())) {
    places_.assign(places.begin(), places.end());
    bordersPainted_ = false;
  }
  // The black around the places stays until the places or the client area
  // change, or a repaint: no fill per frame.
  const PixelSize client = ClientSize();
  if (!bordersPainted_ || client.cx != bordersClient_.cx || client.cy != bordersClient_.cy || !usable)
    PaintBorders(dc, client, places_);
  if (usable && !DrawFrame(dc, frame)) {
    FillAroundPlaces(dc, client, {});
    bordersPainted_ = false;
  }
  ReleaseDC(H(window_), dc);
}

bool Win32SaverHost::DrawFrame(void* dc, const PixelView& frame) {
  // Straight from the frame where GDI can read it in place: measured cheaper
  // than drawing from a copy (bench/win32/present_paths.cpp). The copy is
  // still made, for repaints, since the frame lives only during this call;
  // after the drawing, so that the screen does not wait for it.
  if (CanDrawFromMemory(frame)) {
    for (const PixelRect& p : places_) DrawFromMemory(dc, frame, p);
    lastFrame_.Copy(frame);
    return true;
  }
  if (!lastFrame_.Copy(frame)) return false;
  for (const PixelRect& p : places_) lastFrame_.Draw(dc, p);
  return true;
}

void Win32SaverHost::PaintBorders(void* dc, PixelSize client, std::span<const PixelRect> shown) {
  FillAroundPlaces(dc, client, shown);
  bordersPainted_ = true;
  bordersClient_ = client;
}

void Win32SaverHost::Paint(void* dc) {
  // Without a kept frame, all black.
  const bool holds = lastFrame_.Holds();
  PaintBorders(dc, ClientSize(), holds ? std::span<const PixelRect>(places_) : std::span<const PixelRect>());
  if (holds)
    for (const PixelRect& p : places_) lastFrame_.Draw(dc, p);
}

bool Win32SaverHost::VerifyPassword() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS) return true;
  ::ShowCursor(TRUE);
  bool allow = true;
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegQueryValueExW(key, L"ScreenSaveUsePassword", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
          ERROR_SUCCESS &&
      value != 0) {
    if (HMODULE library = LoadLibraryW((SystemFolder() + L"PASSWORD.CPL").c_str())) {
      using VerifyFn = BOOL(WINAPI*)(HWND);
      auto verify = reinterpret_cast<VerifyFn>(reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
      if (verify != nullptr) allow = verify(H(window_)) != FALSE;
      FreeLibrary(library);
    }
  }
  RegCloseKey(key);
  ::ShowCursor(FALSE);
  return allow;
}

}  // namespace lumevra
