// The Windows dialog at other DPIs: the scaled layout as a pure function, and
// the real dialog following a DPI change (run under Wine in CI).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Win32DialogHost.h"
#include "platform/win32/Win32DialogLayout.h"

namespace lumevra {
namespace {

// The per-monitor DPI messages (declared by the headers only for newer targets).
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kGetDpiScaledSize = 0x02E4;

struct Box {
  int left, top, right, bottom;
  bool operator==(const Box&) const = default;
};

template <typename R>
Box BoxOf(const R& r) {
  return {r.x, r.y, r.x + r.width, r.y + r.height};
}

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(Win32DialogLayout, ScalesFromThe96DpiLayoutWithoutNewOverlapsOrSpill) {
  struct Case {
    int dpi;
    int clientWidth, clientHeight, fontHeight, lineWidth;
    Box ok, preview;
  };
  // MulDiv rounds halves up: at 144 DPI 347 * 1.5 = 520.5 -> 521; OK's
  // right 367 * 1.5 = 550.5 -> 551 and bottom 307 * 1.5 = 460.5 -> 461; the
  // preview's left 25 * 1.5 = 37.5 -> 38, right 268 * 1.5 = 402 (364 wide).
  const Case cases[] = {
      {96, 456, 347, 11, 1, {292, 282, 367, 307}, {25, 25, 268, 205}},
      {120, 570, 434, 14, 1, {365, 353, 459, 384}, {31, 31, 335, 256}},  // 11 * 1.25 = 13.75 -> 14
      {144, 684, 521, 17, 2, {438, 423, 551, 461}, {38, 38, 402, 308}},
      {192, 912, 694, 22, 2, {584, 564, 734, 614}, {50, 50, 536, 410}},
      {288, 1368, 1041, 33, 3, {876, 846, 1101, 921}, {75, 75, 804, 615}},
  };
  const auto& base = DialogControls();
  for (const Case& c : cases) {
    SCOPED_TRACE("dpi " + std::to_string(c.dpi));
    const Win32ScaledDialogLayout l = ScaledDialogLayout(c.dpi);
    EXPECT_EQ(l.dpi, c.dpi);
    EXPECT_EQ(l.clientWidth, c.clientWidth);
    EXPECT_EQ(l.clientHeight, c.clientHeight);
    EXPECT_EQ(l.fontHeight, c.fontHeight);
    EXPECT_EQ(l.lineWidth, c.lineWidth);
    EXPECT_EQ(BoxOf(l.preview), c.preview);
    ASSERT_EQ(l.controls.size(), base.size());
    ASSERT_EQ(l.shapes.size(), DialogShapes().size());
    for (size_t i = 0; i < base.size(); ++i) {
      const Win32DialogControl& a = l.controls[i];
      SCOPED_TRACE(a.name);
      EXPECT_EQ(std::string(a.name), base[i].name);
      EXPECT_EQ(a.kind, base[i].kind);
      if (std::string(a.name) == "ok") {
        EXPECT_EQ(BoxOf(a), c.ok);
      }
      // Every edge where MulDiv puts it.
      const Box at96 = BoxOf(base[i]);
      EXPECT_EQ(BoxOf(a), (Box{MulDiv(at96.left, c.dpi, 96), MulDiv(at96.top, c.dpi, 96),
                               MulDiv(at96.right, c.dpi, 96), MulDiv(at96.bottom, c.dpi, 96)}));
      EXPECT_GE(a.x, 0);
      EXPECT_GE(a.y, 0);
      EXPECT_LE(a.x + a.width, l.clientWidth);
      EXPECT_LE(a.y + a.height, l.clientHeight);
      // Controls apart at 96 DPI stay apart.
      for (size_t j = i + 1; j < base.size(); ++j) {
        if (!Overlap(at96, BoxOf(base[j]))) {
          EXPECT_FALSE(Overlap(BoxOf(a), BoxOf(l.controls[j]))) << l.controls[j].name;
        }
      }
    }
    for (const Win32DialogShape& s : l.shapes) {
      EXPECT_GE(s.x, 0);
      EXPECT_GE(s.y, 0);
      EXPECT_LE(s.x + s.width, l.clientWidth);
      EXPECT_LE(s.y + s.height, l.clientHeight);
    }
  }
  // 96 DPI is the layout itself; no DPI at all counts as 96.
  const Win32ScaledDialogLayout l96 = ScaledDialogLayout(96);
  for (size_t i = 0; i < base.size(); ++i) EXPECT_EQ(BoxOf(l96.controls[i]), BoxOf(base[i]));
  for (size_t i = 0; i < DialogShapes().size(); ++i) EXPECT_EQ(BoxOf(l96.shapes[i]), BoxOf(DialogShapes()[i]));
  EXPECT_EQ(ScaledDialogLayout(0).clientWidth, 456);
  EXPECT_EQ(ScaleToDpi(-7, -1), -7);
}

bool HaveDisplay() {
  HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (w == nullptr) return false;
  DestroyWindow(w);
  return true;
}

// Moves the running dialog to a monitor of `dpi` as the system would, and
// reports what then does not match the scaled layout.
struct DpiScript final : DialogEvents {
  Win32DialogHost& host;
  std::vector<std::string> log;
  int resized = 0;
  int ticks = 0;
  explicit DpiScript(Win32DialogHost& h) : host(h) {}

  HWND Window() const { return reinterpret_cast<HWND>(host.Window()); }

  void MoveTo(int dpi) {
    SIZE size{};
    SendMessageW(Window(), kGetDpiScaledSize, static_cast<WPARAM>(dpi), reinterpret_cast<LPARAM>(&size));
    RECT suggested{0, 0, size.cx, size.cy};
    SendMessageW(Window(), kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  }

  void Check(int dpi) {
    const std::string at = " at " + std::to_string(dpi) + ": ";
    const Win32ScaledDialogLayout l = ScaledDialogLayout(dpi);
    RECT client{};
    GetClientRect(Window(), &client);
    if (client.right != l.clientWidth || client.bottom != l.clientHeight)
      log.push_back("client" + at + std::to_string(client.right) + "x" + std::to_string(client.bottom));
    const PixelSize preview = host.PreviewSize();
    if (host.Dpi() != dpi || preview.cx != l.preview.width || preview.cy != l.preview.height)
      log.push_back("preview size" + at + std::to_string(preview.cx) + "x" + std::to_string(preview.cy));
    for (const Win32DialogControl& c : l.controls) {
      HWND w = reinterpret_cast<HWND>(host.Control(c.name));
      if (w == nullptr) continue;
      RECT r{};
      GetWindowRect(w, &r);
      MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&r), 2);
      // A drop-down list sets its own height from its font.
      const bool heightOwn = c.kind == Win32DialogControl::DropDownList;
      if (r.left != c.x || r.top != c.y || r.right - r.left != c.width ||
          (!heightOwn && r.bottom - r.top != c.height))
        log.push_back(std::string(c.name) + at + "misplaced");
      // Only controls with text keep a font.
      if (c.kind == Win32DialogControl::Slider || c.kind == Win32DialogControl::Separator) continue;
      LOGFONTW font{};
      auto hfont = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
      if (hfont == nullptr || GetObjectW(hfont, sizeof font, &font) == 0 || font.lfHeight != -l.fontHeight ||
          (font.lfWeight == FW_BOLD) != (c.kind == Win32DialogControl::TitleLabel))
        log.push_back(std::string(c.name) + at + "font");
    }
  }

  // A one-pixel checkerboard over the whole preview: any stretching or
  // smoothing, or a picture drawn at the 96-DPI size, breaks it.
  void CheckPreviewPixelForPixel() {
    const PixelSize size = host.PreviewSize();
    std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x)
        pixels[static_cast<size_t>(y) * static_cast<size_t>(size.cx) + static_cast<size_t>(x)] =
            ((x ^ y) & 1) != 0 ? 0xFFFF0000u : 0xFF0000FFu;
    host.ShowPreview({pixels.data(), size.cx, size.cy, size.cx});
    UpdateWindow(Window());
    const Win32ScaledDialogLayout l = ScaledDialogLayout(host.Dpi());
    HDC dc = GetDC(Window());
    int wrong = 0;
    for (int y = 0; y < size.cy; y += (y + 1 < size.cy - 3 ? 3 : 1))
      for (int x = 0; x < size.cx; x += (x + 1 < size.cx - 3 ? 3 : 1))
        if (GetPixel(dc, l.preview.x + x, l.preview.y + y) != (((x ^ y) & 1) != 0 ? RGB(255, 0, 0) : RGB(0, 0, 255)))
          ++wrong;
    // Beside the preview the form's face, not picture.
    if (GetPixel(dc, l.preview.x + size.cx, l.preview.y + 1) == RGB(255, 0, 0) ||
        GetPixel(dc, l.preview.x + size.cx, l.preview.y + 1) == RGB(0, 0, 255))
      ++wrong;
    ReleaseDC(Window(), dc);
    if (wrong != 0) log.push_back("preview at " + std::to_string(host.Dpi()) + ": " + std::to_string(wrong) + " wrong");
  }

  void OnShow() override {
    host.SetText("title", u"Harbour");
    host.SetTimer(true, 1);
  }
  void OnClick(std::string_view) override {}
  void OnChange(std::string_view) override {}
  void OnPreviewResized() override { ++resized; }
  void OnTimer() override {
    if (++ticks != 1) return;
    if (host.Dpi() != 96) {
      log.push_back("not started at 96 DPI: " + std::to_string(host.Dpi()));
      host.Close();
      return;
    }
    for (int dpi : {192, 144, 96}) {
      MoveTo(dpi);
      Check(dpi);
      CheckPreviewPixelForPixel();
    }
    host.Close();
  }
  void OnClose() override {}
};

TEST(Win32DialogHost, FollowsADpiChangeWithLayoutFontAndAPixelExactPreview) {
  if (!HaveDisplay()) GTEST_SKIP() << "no display for windows";
  Win32DialogHost host;
  DpiScript script(host);
  host.Run(script);
  EXPECT_EQ(script.log, std::vector<std::string>{});
  EXPECT_EQ(script.resized, 3);
}

}  // namespace
}  // namespace lumevra
