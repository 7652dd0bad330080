#include "platform/win32/Win32DialogHost.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "platform/win32/Win32DialogLayout.h"
#include "platform/win32/WinText.h"

namespace lumevra {

namespace {

constexpr wchar_t kWindowClass[] = L"LumevraConfigWindow";
constexpr UINT_PTR kTimerId = 1;
constexpr int kFirstId = 100;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // a dialog border
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
// The per-monitor DPI messages, which the headers declare only for newer
// target versions.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kGetDpiScaledSize = 0x02E4;
constexpr COLORREF kFaceColour = RGB(0xF0, 0xF0, 0xF0);

HWND H(void* p) { return static_cast<HWND>(p); }

int IdOf(size_t index) {
  const auto& c = DialogControls()[index];
  if (std::string_view(c.name) == "ok") return IDOK;
  if (std::string_view(c.name) == "cancel") return IDCANCEL;
  return kFirstId + static_cast<int>(index);
}

int IndexOfId(int id) {
  const auto& controls = DialogControls();
  for (size_t i = 0; i < controls.size(); ++i)
    if (IdOf(i) == id) return static_cast<int>(i);
  return -1;
}

int IndexOf(std::string_view name) {
  const std::string_view canonical = name;
  const auto& controls = DialogControls();
  for (size_t i = 0; i < controls.size(); ++i)
    if (canonical == controls[i].name) return static_cast<int>(i);
  return -1;
}

void FillGrey(HDC dc, int x, int y, int w, int h, int grey) {
  HBRUSH brush = CreateSolidBrush(RGB(grey, grey, grey));
  RECT r{x, y, x + w, y + h};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void FrameGrey(HDC dc, int x, int y, int w, int h, int grey, int lineWidth) {
  HBRUSH brush = CreateSolidBrush(RGB(grey, grey, grey));
  // A wider line is nested one-pixel frames.
  for (int i = 0; i < lineWidth && 2 * i < w && 2 * i < h; ++i) {
    RECT r{x + i, y + i, x + w - i, y + h - i};
    FrameRect(dc, &r, brush);
  }
  DeleteObject(brush);
}

// The DPI calls exist from Windows 10 1607 on (and in newer Wine): looked up
// at run time so that the program still starts where they are missing.
template <typename Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int SystemDpi() {
  static const auto getDpiForSystem = User32Function<UINT(WINAPI*)()>("GetDpiForSystem");
  if (getDpiForSystem != nullptr)
    if (const UINT dpi = getDpiForSystem(); dpi > 0) return static_cast<int>(dpi);
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// The DPI of the window's monitor, or the system's.
int WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (getDpiForWindow != nullptr)
    if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
  return SystemDpi();
}

// The window's outer size around the layout's client area, its caption and
// border at the layout's DPI.
SIZE WindowSizeFor(const Win32ScaledDialogLayout& layout) {
  static const auto adjustForDpi =
      User32Function<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT r{0, 0, layout.clientWidth, layout.clientHeight};
  if (adjustForDpi == nullptr || !adjustForDpi(&r, kStyle, FALSE, kExStyle, static_cast<UINT>(layout.dpi))) {
    r = RECT{0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// Grows or shrinks the window by what its client area lacks or has too much
// (a border that differs from the one foreseen, as where the system keeps the
// frame at another DPI than the contents').
void FitClientArea(HWND window, int width, int height) {
  RECT client{}, outer{};
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  const int dx = width - client.right, dy = height - client.bottom;
  if (dx == 0 && dy == 0) return;
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The top left corner that centres a window of `size` in the work area.
POINT CentredInWorkArea(SIZE size) {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return POINT{work.left + std::max(0L, (work.right - work.left - size.cx) / 2),
               work.top + std::max(0L, (work.bottom - work.top - size.cy) / 2)};
}

HFONT CreateDialogFont(int height, int weight) {
  return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

}  // namespace

Win32DialogHost::~Win32DialogHost() { DestroyAll(); }

intptr_t Win32DialogHost::Control(std::string_view control) const {
  const int i = IndexOf(control);
  if (i < 0 || static_cast<size_t>(i) >= controls_.size()) return 0;
  return reinterpret_cast<intptr_t>(controls_[static_cast<size_t>(i)]);
}

intptr_t __stdcall Win32DialogHost::WindowProc(void* window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = H(window);
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* host = reinterpret_cast<Win32DialogHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (host != nullptr && host->window_ == window) return host->Handle(message, wParam, lParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

intptr_t Win32DialogHost::Handle(unsigned message, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = H(window_);
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_HSCROLL: {
      const int i = IndexOf("speed");
      if (i >= 0 && reinterpret_cast<HWND>(lParam) == H(controls_[static_cast<size_t>(i)])) {
        const auto position = static_cast<int32_t>(SendMessageW(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0));
        if (position != sliderPosition_) {
          sliderPosition_ = position;
          Guarded([](DialogEvents& e, const std::string& n) { e.OnChange(n); }, "speed");
        }
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTimerId && !showingError_)
        Guarded([](DialogEvents& e, const std::string&) { e.OnTimer(); }, {});
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HWND child = reinterpret_cast<HWND>(lParam);
      const auto& controls = DialogControls();
      for (size_t i = 0; i < controls.size() && i < controls_.size(); ++i) {
        if (H(controls_[i]) != child) continue;
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (controls[i].onOptionPanel) {
          SetBkColor(dc, RGB(255, 255, 255));
          return reinterpret_cast<intptr_t>(panelBrush_);
        }
        if (controls[i].kind != Win32DialogControl::DropDownList) {
          // Transparent labels on the dialog's face.
          SetBkMode(dc, TRANSPARENT);
          return reinterpret_cast<intptr_t>(faceBrush_);
        }
      }
      break;
    }
    case kGetDpiScaledSize: {
      // The window's size at the new DPI exactly, so that the rectangle
      // WM_DPICHANGED suggests holds the scaled client area.
      const SIZE size = WindowSizeFor(ScaledDialogLayout(static_cast<int>(LOWORD(wParam))));
      *reinterpret_cast<SIZE*>(lParam) = size;
      return TRUE;
    }
    case kDpiChanged:
      OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32DialogHost::OnCommand(int id, int code) {
  const int i = IndexOfId(id);
  if (i < 0) return;
  const Win32DialogControl& c = DialogControls()[static_cast<size_t>(i)];
  const bool click = (c.kind == Win32DialogControl::CheckBox || c.kind == Win32DialogControl::PushButton)
                         ? code == BN_CLICKED
                         : c.kind == Win32DialogControl::DropDownList && code == CBN_SELCHANGE;
  if (!click) return;
  if (c.kind == Win32DialogControl::PushButton && !IsWindowEnabled(H(controls_[static_cast<size_t>(i)]))) return;
  Guarded([](DialogEvents& e, const std::string& n) { e.OnClick(n); }, std::string(c.name));
}

void Win32DialogHost::Paint(void* target) {
  HDC dc = static_cast<HDC>(target);
  RECT client{};
  GetClientRect(H(window_), &client);
  FillRect(dc, &client, static_cast<HBRUSH>(faceBrush_));
  for (const Win32DialogShape& s : layout_.shapes) {
    if (s.kind == Win32DialogShape::Fill) FillGrey(dc, s.x, s.y, s.width, s.height, s.grey);
    else FrameGrey(dc, s.x, s.y, s.width, s.height, s.grey, layout_.lineWidth);
  }
  // The preview, one picture pixel to one screen pixel at any DPI.
  const Win32DialogControl& p = layout_.preview;
  if (preview_.size() != static_cast<size_t>(p.width) * static_cast<size_t>(p.height)) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = p.width;
  info.bmiHeader.biHeight = -p.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, p.x, p.y, static_cast<DWORD>(p.width), static_cast<DWORD>(p.height), 0, 0, 0,
                    static_cast<UINT>(p.height), preview_.data(), &info, DIB_RGB_COLORS);
}

void Win32DialogHost::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  font_ = CreateDialogFont(layout_.fontHeight, FW_NORMAL);
  boldFont_ = CreateDialogFont(layout_.fontHeight, FW_BOLD);
  panelBrush_ = CreateSolidBrush(RGB(255, 255, 255));
  faceBrush_ = CreateSolidBrush(kFaceColour);
  const auto& controls = layout_.controls;
  controls_.assign(controls.size(), nullptr);
  for (size_t i = 0; i < controls.size(); ++i) {
    const Win32DialogControl& c = controls[i];
    const wchar_t* cls = nullptr;
    DWORD style = WS_CHILD | WS_VISIBLE;
    switch (c.kind) {
      case Win32DialogControl::Label:
      case Win32DialogControl::TitleLabel:
        cls = L"STATIC";
        style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
        break;
      case Win32DialogControl::Slider:
        cls = TRACKBAR_CLASSW;
        style |= WS_TABSTOP | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS;
        break;
      case Win32DialogControl::PushButton:
        cls = L"BUTTON";
        style |= WS_TABSTOP | (std::string_view(c.name) == "ok" ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
      case Win32DialogControl::CheckBox:
        cls = L"BUTTON";
        style |= WS_TABSTOP | BS_AUTOCHECKBOX;
        break;
      case Win32DialogControl::Separator:
        cls = L"STATIC";
        style |= SS_ETCHEDHORZ;
        break;
      case Win32DialogControl::DropDownList:
        cls = L"COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
        break;
      case Win32DialogControl::Preview:
        continue;  // painted by the form
    }
    HWND w = CreateWindowExW(0, cls, c.text, style, c.x, c.y, c.width, c.height, H(window_),
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(IdOf(i))), instance, nullptr);
    if (w == nullptr) continue;
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(c.kind == Win32DialogControl::TitleLabel ? boldFont_ : font_),
                 FALSE);
    if (c.kind == Win32DialogControl::Slider) {
      SendMessageW(w, TBM_SETRANGE, FALSE, MAKELPARAM(0, 20));
      SendMessageW(w, TBM_SETTICFREQ, 5, 0);
      SendMessageW(w, TBM_SETPAGESIZE, 0, 5);
      SendMessageW(w, TBM_SETLINESIZE, 0, 1);
    } else if (c.kind == Win32DialogControl::DropDownList) {
      for (const wchar_t* item : ClockCornerItems()) SendMessageW(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    controls_[i] = w;
  }
}

void Win32DialogHost::ApplyDpi(int dpi) {
  layout_ = ScaledDialogLayout(dpi);
  void* oldFont = font_;
  void* oldBoldFont = boldFont_;
  font_ = CreateDialogFont(layout_.fontHeight, FW_NORMAL);
  boldFont_ = CreateDialogFont(layout_.fontHeight, FW_BOLD);
  const auto& controls = layout_.controls;
  for (size_t i = 0; i < controls.size() && i < controls_.size(); ++i) {
    HWND w = H(controls_[i]);
    if (w == nullptr) continue;
    const Win32DialogControl& c = controls[i];
    SetWindowPos(w, nullptr, c.x, c.y, c.width, c.height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(c.kind == Win32DialogControl::TitleLabel ? boldFont_ : font_),
                 TRUE);
  }
  // The controls hold the new fonts now: the old ones can go.
  for (void* font : {oldFont, oldBoldFont})
    if (font != nullptr) DeleteObject(static_cast<HGDIOBJ>(font));
  preview_.assign(static_cast<size_t>(layout_.preview.width) * static_cast<size_t>(layout_.preview.height),
                  0x00FFFFFFu);
}

void Win32DialogHost::OnDpiChanged(int dpi, const void* suggestedRect) {
  if (window_ == nullptr) return;
  ApplyDpi(dpi);
  if (const auto* r = static_cast<const RECT*>(suggestedRect))
    SetWindowPos(H(window_), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea(H(window_), layout_.clientWidth, layout_.clientHeight);
  InvalidateRect(H(window_), nullptr, TRUE);
  // The logic makes its picture again at the new preview size.
  Guarded([](DialogEvents& e, const std::string&) { e.OnPreviewResized(); }, {});
}

void Win32DialogHost::DestroyAll() {
  if (window_ != nullptr) {
    if (timer_) KillTimer(H(window_), kTimerId);
    HWND window = H(window_);
    window_ = nullptr;
    DestroyWindow(window);
  }
  timer_ = false;
  controls_.clear();
  for (void** object : {&font_, &boldFont_, &panelBrush_, &faceBrush_}) {
    if (*object != nullptr) DeleteObject(static_cast<HGDIOBJ>(*object));
    *object = nullptr;
  }
}

void Win32DialogHost::Run(DialogEvents& events) {
  if (events_ != nullptr) throw std::logic_error("the configuration dialog is already running");
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = reinterpret_cast<WNDPROC>(&Win32DialogHost::WindowProc);
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    wc.lpszClassName = kWindowClass;
    registered = RegisterClassExW(&wc) != 0;
  }
  // Laid out first for the system's DPI, which the primary monitor, where the
  // dialog opens, usually has; then for the DPI of the monitor it is on.
  layout_ = ScaledDialogLayout(SystemDpi());
  SIZE size = WindowSizeFor(layout_);
  POINT at = CentredInWorkArea(size);
  HWND window = CreateWindowExW(kExStyle | WS_EX_CONTROLPARENT, kWindowClass, L"Configuration", kStyle, at.x, at.y,
                                size.cx, size.cy, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (window == nullptr)
    throw std::runtime_error("cannot open the configuration dialog (error " + std::to_string(GetLastError()) + ")");
  window_ = window;
  if (const int dpi = WindowDpi(window); dpi != layout_.dpi) {
    layout_ = ScaledDialogLayout(dpi);
    size = WindowSizeFor(layout_);
    at = CentredInWorkArea(size);
    SetWindowPos(window, nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  FitClientArea(window, layout_.clientWidth, layout_.clientHeight);
  preview_.assign(static_cast<size_t>(layout_.preview.width) * static_cast<size_t>(layout_.preview.height),
                  0x00FFFFFFu);
  CreateControls();
  sliderPosition_ = 0;
  events_ = &events;
  closed_ = false;
  struct Cleanup {
    Win32DialogHost& host;
    ~Cleanup() {
      host.closed_ = true;
      host.events_ = nullptr;
      host.DestroyAll();
    }
  } cleanup{*this};

  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetForegroundWindow(window);
  Guarded([](DialogEvents& e, const std::string&) { e.OnShow(); }, {});
  MSG msg;
  while (!closed_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  closed_ = true;
  if (timer_) KillTimer(window, kTimerId);
  timer_ = false;
  events.OnClose();
}

void Win32DialogHost::Close() {
  closed_ = true;
  if (window_ != nullptr) {
    if (timer_) KillTimer(H(window_), kTimerId);
    timer_ = false;
    PostMessageW(H(window_), WM_NULL, 0, 0);  // wakes the loop
  }
}

void Win32DialogHost::Guarded(void (*call)(DialogEvents&, const std::string&), const std::string& name) {
  if (closed_ || events_ == nullptr) return;
  try {
    call(*events_, name);
  } catch (const std::exception& e) {
    ShowError(Utf8ToUtf16(e.what()));
  } catch (...) {
    ShowError(u"Unknown error");
  }
}

void Win32DialogHost::SetText(std::string_view control, std::u16string_view text) {
  const std::wstring wide = ToWide(text);
  if (control == "window") {
    if (window_ != nullptr) SetWindowTextW(H(window_), wide.c_str());
    return;
  }
  if (HWND w = reinterpret_cast<HWND>(Control(control))) SetWindowTextW(w, wide.c_str());
}

int32_t Win32DialogHost::Position(std::string_view control) {
  const int i = IndexOf(control);
  HWND w = reinterpret_cast<HWND>(Control(control));
  if (w == nullptr) return 0;
  switch (DialogControls()[static_cast<size_t>(i)].kind) {
    case Win32DialogControl::Slider:
      return static_cast<int32_t>(SendMessageW(w, TBM_GETPOS, 0, 0));
    case Win32DialogControl::DropDownList:
      return static_cast<int32_t>(SendMessageW(w, CB_GETCURSEL, 0, 0));
    default:
      return 0;
  }
}

void Win32DialogHost::SetPosition(std::string_view control, int32_t position) {
  const int i = IndexOf(control);
  HWND w = reinterpret_cast<HWND>(Control(control));
  if (w == nullptr) return;
  // Neither message notifies the parent: no event follows.
  switch (DialogControls()[static_cast<size_t>(i)].kind) {
    case Win32DialogControl::Slider:
      SendMessageW(w, TBM_SETPOS, TRUE, position);
      sliderPosition_ = static_cast<int32_t>(SendMessageW(w, TBM_GETPOS, 0, 0));
      break;
    case Win32DialogControl::DropDownList: {
      const auto count = static_cast<int32_t>(SendMessageW(w, CB_GETCOUNT, 0, 0));
      // An index outside the list selects nothing, as a list control does.
      SendMessageW(w, CB_SETCURSEL, position >= 0 && position < count ? position : -1, 0);
      break;
    }
    default:
      break;
  }
}

bool Win32DialogHost::Checked(std::string_view control) {
  HWND w = reinterpret_cast<HWND>(Control(control));
  return w != nullptr && SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32DialogHost::SetChecked(std::string_view control, bool checked) {
  const int i = IndexOf(control);
  HWND w = reinterpret_cast<HWND>(Control(control));
  if (w == nullptr || DialogControls()[static_cast<size_t>(i)].kind != Win32DialogControl::CheckBox) return;
  SendMessageW(w, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32DialogHost::SetEnabled(std::string_view control, bool enabled) {
  if (HWND w = reinterpret_cast<HWND>(Control(control))) EnableWindow(w, enabled ? TRUE : FALSE);
}

void Win32DialogHost::SetFocus(std::string_view control) {
  if (HWND w = reinterpret_cast<HWND>(Control(control))) {
    ::SetFocus(w);
  } else if (window_ != nullptr && IndexOf(control) < 0) {
    // A panel has no window of its own: the form takes the focus.
    ::SetFocus(H(window_));
  }
}

void Win32DialogHost::ShowPreview(const PixelView& picture) {
  if (window_ == nullptr || picture.pixels == nullptr || picture.width <= 0 || picture.height <= 0 ||
      picture.stride < picture.width)
    return;
  // The picture sits at the image's top left, cut to it; white elsewhere.
  const Win32DialogControl& p = layout_.preview;
  std::fill(preview_.begin(), preview_.end(), 0x00FFFFFFu);
  const int w = std::min(picture.width, p.width);
  const int h = std::min(picture.height, p.height);
  for (int y = 0; y < h; ++y)
    std::copy_n(picture.pixels + static_cast<size_t>(y) * static_cast<size_t>(picture.stride), w,
                preview_.begin() + static_cast<ptrdiff_t>(y) * p.width);
  RECT r{p.x, p.y, p.x + p.width, p.y + p.height};
  InvalidateRect(H(window_), &r, FALSE);
}

void Win32DialogHost::SetTimer(bool enabled, uint32_t intervalMs) {
  if (window_ == nullptr) return;
  if (timer_) KillTimer(H(window_), kTimerId);
  timer_ = false;
  if (!enabled || closed_) return;
  timer_ = ::SetTimer(H(window_), kTimerId, std::max<uint32_t>(intervalMs, USER_TIMER_MINIMUM), nullptr) != 0;
}

void Win32DialogHost::ShowError(std::u16string_view message) {
  if (window_ == nullptr) return;
  const std::wstring text = ToWide(message);
  wchar_t caption[256] = {};
  GetWindowTextW(H(window_), caption, 255);
  const bool outer = showingError_;
  showingError_ = true;
  MessageBoxW(H(window_), text.c_str(), caption, MB_OK | MB_ICONERROR);
  showingError_ = outer;
}

}  // namespace lumevra
