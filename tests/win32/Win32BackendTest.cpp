// The Windows backend against the real system (run under Wine in CI): text,
// system services, the preview target, the saver window's loop and the
// dialog's controls. Window tests skip when no display can be opened.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/GdiFontRaster.h"
#include "platform/win32/Win32DialogHost.h"
#include "platform/win32/Win32PreviewTarget.h"
#include "platform/win32/Win32SaverHost.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/WinText.h"

namespace lumevra {
namespace {

bool HaveDisplay() {
  HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (w == nullptr) return false;
  DestroyWindow(w);
  return true;
}

#define REQUIRE_DISPLAY() \
  if (!HaveDisplay()) GTEST_SKIP() << "no display for windows"

TEST(Win32Text, AnsiCodecFollowsTheSystemCodePage) {
  const Win32AnsiCodec codec;
  EXPECT_EQ(codec.Decode("Lake 42"), u"Lake 42");
  EXPECT_EQ(codec.Encode(u"Lake 42"), "Lake 42");
  EXPECT_EQ(codec.Decode(""), u"");
  if (GetACP() == 1252) {
    EXPECT_EQ(codec.Decode("Caf\xE9 \x80"), u"Caf\u00E9 \u20AC");
    EXPECT_EQ(codec.Encode(u"Caf\u00E9 \u20AC"), "Caf\xE9 \x80");
  }
  // A character the code page lacks becomes '?'.
  EXPECT_EQ(codec.Encode(u"\u4E00"), GetACP() == 936 ? std::string("\xD2\xBB") : std::string("?"));
  EXPECT_EQ(WideToUtf8(Utf8ToWide("\xC3\xA9t\xC3\xA9")), "\xC3\xA9t\xC3\xA9");
}

TEST(GdiFontRaster, MeasuresAndDrawsOneBitText) {
  GdiFontRaster fonts;
  const FontSpec arial{"Arial", 20, false, false};
  const PixelSize extent = fonts.Extent(arial, u"Hello");
  EXPECT_GT(extent.cx, 20);
  EXPECT_GE(extent.cy, 20);  // the line is the em height plus the leading
  EXPECT_LT(extent.cy, 30);
  EXPECT_EQ(fonts.Extent(arial, u"").cx, 0);
  EXPECT_GE(fonts.Extent({"Arial", 20, true, false}, u"Hello").cx, extent.cx);

  const TextCoverage coverage = fonts.Render(arial, u"Hello");
  ASSERT_EQ(coverage.width, extent.cx);
  ASSERT_EQ(coverage.height, extent.cy);
  ASSERT_EQ(coverage.bits.size(), static_cast<size_t>(extent.cx) * static_cast<size_t>(extent.cy));
  size_t ink = 0;
  for (uint8_t b : coverage.bits) {
    EXPECT_LE(b, 1);
    ink += b;
  }
  EXPECT_GT(ink, 50u);
  EXPECT_LT(ink, coverage.bits.size() / 2);

  // Nonsense asks give empty results, never a crash.
  EXPECT_TRUE(fonts.Render(arial, u"").bits.empty());
  EXPECT_TRUE(fonts.Render({"Arial", 0, false, false}, u"x").bits.empty());
  EXPECT_TRUE(fonts.Render({"Arial", -5, false, false}, u"x").bits.empty());
  EXPECT_GT(fonts.Extent({"No Such Face At All", 16, false, false}, u"x").cx, 0);  // the default face
}

TEST(Win32System, AnswersFromTheSystem) {
  Win32System system;
  EXPECT_EQ(system.ProgramFile().extension(), ".exe");
  EXPECT_TRUE(std::filesystem::is_regular_file(system.ProgramFile()));
  EXPECT_TRUE(std::filesystem::is_directory(system.TempFolder()));
  const auto version = system.OsVersion();
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->family, OsVersionInfo::WinNT);
  EXPECT_GE(version->major, 5u);
  const auto documents = system.DocumentsFolder();
  ASSERT_TRUE(documents.has_value());
  const std::wstring text = documents->wstring();
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), L'\\');
  if (const auto programFiles = system.ProgramFilesValue()) {
    EXPECT_EQ(programFiles->wstring().back(), L'\\');
  }
}

// A crashed run left its folder behind: the next run empties it first
// instead of failing to remove it at every exit.
TEST(Win32System, ExtractionFolderIsFreshAfterACrashedRun) {
  namespace fs = std::filesystem;
  Win32System system;
  const fs::path folder = system.TempFolder() / system.ProgramFile().filename();
  fs::create_directories(folder / "sub");
  std::ofstream(folder / "KAHeader.dat") << "stale";
  std::ofstream(folder / "sub" / "obj0.gif") << "stale";
  const fs::path made = system.CreateExtractionFolder();
  EXPECT_EQ(made, folder / "");
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_empty(folder));
  fs::remove(folder);
}

// Settings go beside the program only where the user may replace them.
TEST(Win32System, CanReplaceFileFollowsTheSystemsRefusal) {
  namespace fs = std::filesystem;
  Win32System system;
  const fs::path folder = system.TempFolder() / ("lumevra-replace-" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(folder);
  EXPECT_TRUE(system.CanReplaceFile(folder / "new.ini"));
  std::ofstream(folder / "locked.ini") << "[Config]";
  SetFileAttributesW((folder / "locked.ini").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(system.CanReplaceFile(folder / "locked.ini"));
  EXPECT_FALSE(system.CanReplaceFile(folder / "missing" / "new.ini"));
  std::vector<fs::path> left;
  for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename());
  EXPECT_EQ(left, std::vector<fs::path>{"locked.ini"});  // no probe file stays
  SetFileAttributesW((folder / "locked.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
  fs::remove_all(folder);
  EXPECT_FALSE(system.UserSettingsFolder().empty());
}

TEST(Win32System, TheGuardSeesASecondHolder) {
  Win32System system;
  const std::string name = "LumevraTestGuard-" + std::to_string(GetCurrentProcessId());
  {
    auto first = system.CreateInstanceGuard(name);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->AlreadyExists());
    auto second = system.CreateInstanceGuard(name);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->AlreadyExists());
  }
  auto again = system.CreateInstanceGuard(name);
  ASSERT_NE(again, nullptr);
  EXPECT_FALSE(again->AlreadyExists());
}

TEST(Win32PreviewTarget, StretchesThePictureOverTheWindow) {
  REQUIRE_DISPLAY();
  EXPECT_EQ(OpenWin32Preview(0), nullptr);
  EXPECT_EQ(OpenWin32Preview(0x7FFF0000), nullptr);

  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP, 10, 10, 40, 30, nullptr, nullptr, nullptr,
                                nullptr);
  ASSERT_NE(window, nullptr);
  auto target = OpenWin32Preview(reinterpret_cast<intptr_t>(window));
  ASSERT_NE(target, nullptr);
  // Hidden windows are waited for, boundedly.
  Win32PreviewTarget hidden(reinterpret_cast<intptr_t>(window), std::chrono::milliseconds(100));
  EXPECT_FALSE(hidden.WaitVisible());
  ShowWindow(window, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(target->WaitVisible());
  EXPECT_EQ(target->Size().cx, 40);
  EXPECT_EQ(target->Size().cy, 30);

  // 2 x 2: red, green over blue, white; a wider stride is not drawn.
  const uint32_t pixels[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF123456u, 0xFF0000FFu, 0xFFFFFFFFu, 0xFF123456u};
  target->DrawStretched({pixels, 2, 2, 3});
  HDC dc = GetDC(window);
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 35, 5), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 5, 25), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 35, 25), RGB(255, 255, 255));
  ReleaseDC(window, dc);
  target->DrawStretched({nullptr, 2, 2, 2});  // ignored
  DestroyWindow(window);
  EXPECT_FALSE(target->WaitVisible());
}

// Records the saver window's events and acts on the first idle calls.
struct SaverScript final : SaverEvents {
  Win32SaverHost& host;
  std::vector<std::string> log;
  int idle = 0;
  explicit SaverScript(Win32SaverHost& h) : host(h) {}
  void OnShow() override {
    log.push_back("show");
    const std::vector<uint32_t> frame(64 * 48, 0xFF336699u);
    host.Present({frame.data(), 64, 48, 64}, 10, 20);
  }
  bool OnIdle() override {
    HWND w = reinterpret_cast<HWND>(host.Window());
    if (++idle == 1) {
      HDC dc = GetDC(w);
      log.push_back(GetPixel(dc, 12, 22) == RGB(0x33, 0x66, 0x99) ? "frame" : "no frame");
      log.push_back(GetPixel(dc, 2, 2) == RGB(0, 0, 0) ? "black" : "not black");
      ReleaseDC(w, dc);
      PostMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(5, 7));
      PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      PostMessageW(w, WM_KEYDOWN, VK_SPACE, 0);
      PostMessageW(w, WM_CLOSE, 0, 0);
    }
    if (idle > 500) host.Close();  // a safety net, never reached when all is well
    return true;
  }
  void OnMouseMove(int32_t x, int32_t y) override { log.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
  void OnMouseDown() override { log.push_back("down"); }
  void OnKeyDown() override { log.push_back("key"); }
  void OnResize() override { log.push_back("resize"); }
  void Close() override {
    log.push_back("close");
    host.Close();
  }
};

TEST(Win32SaverHost, DeliversInputAndClosesOnRequest) {
  REQUIRE_DISPLAY();
  Win32SaverHost host;
  host.SetWindowed(true);
  EXPECT_EQ(host.ClientSize().cx, Win32SaverHost::kWindowedWidth);
  SaverScript script(host);
  host.SetIdleHandler(true);
  host.Run(script);
  EXPECT_EQ(host.Window(), 0);
  // The window may see the pointer where it opens; the posted input follows in order.
  std::vector<std::string> log;
  for (const auto& entry : script.log)
    if (entry.rfind("move", 0) != 0 || entry == "move 5,7") log.push_back(entry);
  const std::vector<std::string> expected = {"show", "frame", "black", "move 5,7", "down", "key", "close"};
  EXPECT_EQ(log, expected);
}

// Presents frames in the first idle call and reads the window back: the
// places 1:1 and scaled, black around them, the borders following the
// places, and a repaint after the window was drawn over.
struct PresentScript final : SaverEvents {
  Win32SaverHost& host;
  int32_t stride;
  explicit PresentScript(Win32SaverHost& h, int32_t frameStride) : host(h), stride(frameStride) {}
  void OnShow() override {}
  bool OnIdle() override;
  void OnMouseMove(int32_t, int32_t) override {}
  void OnMouseDown() override {}
  void OnKeyDown() override {}
  void OnResize() override {}
  void Close() override { host.Close(); }
};

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

// 8 x 6 in four 4 x 3 quadrants: red, green over blue, white; the pixels
// beyond the width (a wider stride) are magenta and never shown.
std::vector<uint32_t> QuadrantFrame(int32_t stride) {
  std::vector<uint32_t> frame(static_cast<size_t>(stride) * 6, 0xFFFF00FFu);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 8; ++x)
      frame[static_cast<size_t>(y * stride + x)] = y < 3 ? (x < 4 ? 0xFFFF0000u : 0xFF00FF00u)
                                                         : (x < 4 ? 0xFF0000FFu : 0xFFFFFFFFu);
  return frame;
}

bool PresentScript::OnIdle() {
  host.Close();
  HWND w = reinterpret_cast<HWND>(host.Window());
  std::vector<uint32_t> frame = QuadrantFrame(stride);
  const PixelRect places[] = {{10, 20, 8, 6}, {100, 100, 80, 60}};
  host.PresentPlaced({frame.data(), 8, 6, stride}, places);
  // The frame is the caller's again: what the window shows must not follow it.
  std::fill(frame.begin(), frame.end(), 0xFF808080u);

  auto expectPicture = [&](const char* when, bool oneToOne) {
    SCOPED_TRACE(when);
    HDC dc = GetDC(w);
    if (oneToOne) {
      EXPECT_EQ(GetPixel(dc, 10, 20), kRed);
      EXPECT_EQ(GetPixel(dc, 17, 20), kGreen);
      EXPECT_EQ(GetPixel(dc, 10, 25), kBlue);
      EXPECT_EQ(GetPixel(dc, 17, 25), kWhite);
    } else {
      EXPECT_EQ(GetPixel(dc, 12, 22), kBlack);
    }
    EXPECT_EQ(GetPixel(dc, 18, 20), kBlack);  // just right of the 1:1 place
    EXPECT_EQ(GetPixel(dc, 10, 26), kBlack);  // just below it
    EXPECT_EQ(GetPixel(dc, 120, 115), kRed);
    EXPECT_EQ(GetPixel(dc, 160, 115), kGreen);
    EXPECT_EQ(GetPixel(dc, 120, 145), kBlue);
    EXPECT_EQ(GetPixel(dc, 160, 145), kWhite);
    EXPECT_EQ(GetPixel(dc, 99, 99), kBlack);
    EXPECT_EQ(GetPixel(dc, 180, 160), kBlack);
    EXPECT_EQ(GetPixel(dc, 2, 2), kBlack);
    EXPECT_EQ(GetPixel(dc, Win32SaverHost::kWindowedWidth - 1, Win32SaverHost::kWindowedHeight - 1), kBlack);
    ReleaseDC(w, dc);
  };
  auto drawOver = [&] {
    HDC dc = GetDC(w);
    const RECT all{0, 0, Win32SaverHost::kWindowedWidth, Win32SaverHost::kWindowedHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(w, dc);
  };
  expectPicture("presented", true);

  drawOver();
  InvalidateRect(w, nullptr, FALSE);
  UpdateWindow(w);
  expectPicture("repainted", true);

  // The same frame again, its 1:1 place gone: black where it was.
  frame = QuadrantFrame(stride);
  host.PresentPlaced({frame.data(), 8, 6, stride}, std::span<const PixelRect>(&places[1], 1));
  expectPicture("one place fewer", false);
  drawOver();
  InvalidateRect(w, nullptr, FALSE);
  UpdateWindow(w);
  expectPicture("one place fewer, repainted", false);
  return true;
}

TEST(Win32SaverHost, ShowsTheFrameInItsPlacesOnBlackAndRepaintsIt) {
  REQUIRE_DISPLAY();
  for (const int32_t stride : {8, 11}) {
    SCOPED_TRACE("stride " + std::to_string(stride));
    Win32SaverHost host;
    host.SetWindowed(true);
    PresentScript script(host, stride);
    host.SetIdleHandler(true);
    host.Run(script);
  }
}

// Drives the dialog from its timer: values from the logic, then a user click.
struct DialogScript final : DialogEvents {
  Win32DialogHost& host;
  std::vector<std::string> log;
  int ticks = 0;
  explicit DialogScript(Win32DialogHost& h) : host(h) {}
  void OnShow() override {
    log.push_back("show");
    host.SetChecked("stretch", true);
    host.SetPosition("speed", 7);
    host.SetPosition("clockCorner", 2);
    host.SetText("title", u"Harbour");
    host.SetEnabled("proportional", false);
    host.SetTimer(true, 1);
  }
  void OnClick(std::string_view control) override { log.push_back("click " + std::string(control)); }
  void OnChange(std::string_view control) override { log.push_back("change " + std::string(control)); }
  void OnTimer() override {
    if (++ticks != 1) return;
    log.push_back(std::string("checked ") + (host.Checked("stretch") ? "1" : "0") + " speed " +
                  std::to_string(host.Position("speed")) + " corner " + std::to_string(host.Position("clockCorner")));
    RECT client{};
    GetClientRect(reinterpret_cast<HWND>(host.Window()), &client);
    log.push_back("client " + std::to_string(client.right) + "x" + std::to_string(client.bottom));
    // A user's click, as the button receives it.
    SendMessageW(reinterpret_cast<HWND>(host.Control("sound")), BM_CLICK, 0, 0);
    SendMessageW(reinterpret_cast<HWND>(host.Control("cancel")), BM_CLICK, 0, 0);
  }
  void OnClose() override { log.push_back("formclose"); }
};

TEST(Win32DialogHost, LogicValuesRaiseNothingAndUserClicksArrive) {
  REQUIRE_DISPLAY();
  Win32DialogHost host;
  struct Script final : DialogEvents {
    DialogScript inner;
    explicit Script(Win32DialogHost& h) : inner(h) {}
    void OnShow() override { inner.OnShow(); }
    void OnClick(std::string_view c) override {
      inner.OnClick(c);
      if (c == "cancel") inner.host.Close();
    }
    void OnChange(std::string_view c) override { inner.OnChange(c); }
    void OnTimer() override { inner.OnTimer(); }
    void OnClose() override { inner.OnClose(); }
  } script(host);
  host.Run(script);
  const std::vector<std::string> expected = {"show", "checked 1 speed 7 corner 2", "client 456x347",
                                             "click sound", "click cancel", "formclose"};
  EXPECT_EQ(script.inner.log, expected);
  EXPECT_EQ(host.Window(), 0);
}

}  // namespace
}  // namespace lumevra
