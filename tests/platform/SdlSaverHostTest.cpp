// The test framework before the X11 headers: their macros (None, Bool)
// clash with its names.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/linux/LinuxSystem.h"
#include "platform/linux/SdlSaverHost.h"
#include "platform/linux/SdlSound.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

#include "XPixels.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

// A window logic that records what reaches it and runs a script per frame.
struct FakeSaver : SaverEvents {
  explicit FakeSaver(SdlSaverHost& h) : host(h) {}
  void OnShow() override {
    ++shows;
    if (onShow) onShow();
    host.SetIdleHandler(true);
  }
  bool OnIdle() override {
    ++frames;
    if (onFrame) onFrame(frames);
    // A guard for a broken test: never spin forever.
    if (frames > 500) host.Close();
    return false;
  }
  void OnMouseMove(int32_t x, int32_t y) override { moves.push_back({x, y}); }
  void OnMouseDown() override { ++downs; }
  void OnKeyDown() override { ++keys; }
  void OnResize() override { ++resizes; }
  void Close() override {
    ++closes;
    host.Close();
  }

  SdlSaverHost& host;
  std::function<void()> onShow;
  std::function<void(int)> onFrame;
  int shows = 0, frames = 0, downs = 0, keys = 0, resizes = 0, closes = 0;
  std::vector<PixelSize> moves;
};

// A frame of one colour (B, G, R, A bytes; the fourth byte zero on purpose).
struct Frame {
  Frame(int32_t w, int32_t h, uint32_t rgb) : pixels(size_t(w) * size_t(h), rgb & 0xFFFFFF), width(w), height(h) {}
  PixelView View() const { return {pixels.data(), width, height, width}; }
  std::vector<uint32_t> pixels;
  int32_t width, height;
};

uint32_t WindowRgb(SDL_Window* window, int x, int y) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0xFFFFFFFFu;
  return test::ReadRgb(info.info.x11.display, info.info.x11.window, x, y);
}

void PushEvent(Uint32 type) {
  SDL_Event e{};
  e.type = type;
  SDL_PushEvent(&e);
}

class SdlSaverHostTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!test::HaveDisplay()) GTEST_SKIP() << "needs an X display";
  }
  SdlSaverHost host;
  FakeSaver saver{host};
};

TEST_F(SdlSaverHostTest, FullScreenCoversTheScreenAndShowsTheFrameUnscaledOnBlack) {
  const Frame frame(100, 80, 0xC03010);
  uint32_t inside = 0, outside = 0, corner = 0;
  PixelSize client, screen;
  saver.onFrame = [&](int n) {
    host.Present(frame.View(), 10, 20);
    if (n == 3) {
      client = host.ClientSize();
      screen = host.ScreenSize();
      inside = WindowRgb(host.Window(), 10 + 99, 20 + 79);
      outside = WindowRgb(host.Window(), 10 + 100, 20 + 80);
      corner = WindowRgb(host.Window(), 0, 0);
      host.Close();
    }
  };
  host.Run(saver);
  EXPECT_EQ(saver.shows, 1);
  EXPECT_EQ(saver.frames, 3);
  EXPECT_GT(screen.cx, 0);
  EXPECT_EQ(client.cx, screen.cx);
  EXPECT_EQ(client.cy, screen.cy);
  EXPECT_EQ(inside, 0xC03010u);
  EXPECT_EQ(outside, 0u);
  EXPECT_EQ(corner, 0u);
  EXPECT_EQ(host.Window(), nullptr);
}

// Both ways to the screen, as LUMEVRA_PRESENT chooses them: the frame 1:1
// in one place and scaled to twice its size in another, black around them.
TEST_F(SdlSaverHostTest, EitherWayToTheScreenShowsTheFrameInEachPlaceOnBlack) {
  for (const char* path : {"renderer", "surface"}) {
    SCOPED_TRACE(path);
    setenv("LUMEVRA_PRESENT", path, 1);
    SdlSaverHost pathHost;
    FakeSaver pathSaver{pathHost};
    Frame frame(40, 30, 0x2080C0);
    frame.pixels.back() = 0xF0E010;  // the bottom right pixel
    const PixelRect places[] = {{10, 10, 40, 30}, {100, 50, 80, 60}};
    struct Probe {
      int x, y;
      uint32_t rgb;
    };
    const Probe probes[] = {
        {10, 10, 0x2080C0},   {48, 38, 0x2080C0},  {49, 39, 0xF0E010}, {50, 40, 0},        {9, 9, 0},
        {100, 50, 0x2080C0}, {177, 107, 0x2080C0}, {178, 108, 0xF0E010}, {179, 109, 0xF0E010},
        {180, 110, 0},       {99, 49, 0},          {0, 0, 0}};
    std::vector<uint32_t> seen;
    pathSaver.onFrame = [&](int n) {
      pathHost.PresentPlaced(frame.View(), places);
      if (n == 3) {
        for (const Probe& p : probes) seen.push_back(WindowRgb(pathHost.Window(), p.x, p.y));
        pathHost.Close();
      }
    };
    pathHost.Run(pathSaver);
    EXPECT_STREQ(pathHost.PresentPathName(), path);
    ASSERT_EQ(seen.size(), std::size(probes));
    for (size_t i = 0; i < seen.size(); ++i)
      EXPECT_EQ(seen[i], probes[i].rgb) << "at " << probes[i].x << ", " << probes[i].y;
  }
  unsetenv("LUMEVRA_PRESENT");
}

TEST_F(SdlSaverHostTest, WindowedRunStartsAtItsDesignSizeAndReportsAPlacementAtOnce) {
  host.SetWindowed(true);
  PixelSize before, after;
  int resizesAfterPlacement = -1;
  uint32_t shown = 0;
  saver.onShow = [&] {
    before = host.ClientSize();
    host.SetPlacement(40, 30, 320, 200);
    resizesAfterPlacement = saver.resizes;
    after = host.ClientSize();
  };
  const Frame frame(320, 200, 0x20A040);
  saver.onFrame = [&](int n) {
    host.Present(frame.View(), 0, 0);
    if (n == 5) {
      shown = WindowRgb(host.Window(), 319, 199);
      host.Close();
    }
  };
  host.Run(saver);
  EXPECT_EQ(before.cx, 688);
  EXPECT_EQ(before.cy, 446);
  EXPECT_EQ(resizesAfterPlacement, 1);
  EXPECT_EQ(saver.resizes, 1);  // the window system's own report is not doubled
  EXPECT_EQ(after.cx, 320);
  EXPECT_EQ(after.cy, 200);
  EXPECT_EQ(shown, 0x20A040u);
}

TEST_F(SdlSaverHostTest, InputReachesTheLogicAndNothingAfterClose) {
  saver.onFrame = [&](int n) {
    if (n == 1) {
      SDL_Event e{};
      e.type = SDL_MOUSEMOTION;
      e.motion.x = 5;
      e.motion.y = 7;
      SDL_PushEvent(&e);
      PushEvent(SDL_MOUSEBUTTONDOWN);
    } else if (n == 2) {
      // Handled from inside a frame, as the sound scheduling does.
      PushEvent(SDL_KEYDOWN);
      host.ProcessMessages();
      EXPECT_EQ(saver.keys, 1);
    } else if (n == 3) {
      SDL_Event e{};
      e.type = SDL_WINDOWEVENT;
      e.window.event = SDL_WINDOWEVENT_CLOSE;
      e.window.windowID = SDL_GetWindowID(host.Window());
      SDL_PushEvent(&e);
      PushEvent(SDL_KEYDOWN);  // behind the close: never delivered
    }
  };
  host.Run(saver);
  // The window system may add a move of its own when the window appears
  // under the pointer.
  const bool sawMove = std::any_of(saver.moves.begin(), saver.moves.end(),
                                   [](const PixelSize& m) { return m.cx == 5 && m.cy == 7; });
  EXPECT_TRUE(sawMove);
  EXPECT_EQ(saver.downs, 1);
  EXPECT_EQ(saver.keys, 1);
  EXPECT_EQ(saver.closes, 1);
  EXPECT_EQ(saver.frames, 3);
}

TEST_F(SdlSaverHostTest, WithoutTheIdleHandlerTheLoopWaitsForInput) {
  saver.onShow = [&] { PushEvent(SDL_KEYDOWN); };
  struct NoIdle : FakeSaver {
    using FakeSaver::FakeSaver;
    void OnShow() override { FakeSaver::OnShow(), host.SetIdleHandler(false); }
    void OnKeyDown() override { FakeSaver::OnKeyDown(), host.Close(); }
  } idleless{host};
  idleless.onShow = saver.onShow;
  host.Run(idleless);
  EXPECT_EQ(idleless.frames, 0);
  EXPECT_EQ(idleless.keys, 1);
}

TEST_F(SdlSaverHostTest, DrawsIntoAForeignWindowAndLeavesIt) {
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const ::Window foreign = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 150, 0, 0, 0xFFFFFF);
  XMapWindow(display, foreign);
  XSync(display, False);
  host.SetForeignWindow(foreign);
  const Frame frame(50, 40, 0x3060F0);
  PixelSize client;
  saver.onFrame = [&](int n) {
    host.Present(frame.View(), 100, 100);
    if (n == 3) {
      client = host.ClientSize();
      host.Close();
    }
  };
  host.Run(saver);
  EXPECT_EQ(client.cx, 200);
  EXPECT_EQ(client.cy, 150);
  // The window is still there, with the last frame on black.
  EXPECT_EQ(test::ReadRgb(display, foreign, 120, 120), 0x3060F0u);
  EXPECT_EQ(test::ReadRgb(display, foreign, 10, 10), 0u);
  XDestroyWindow(display, foreign);
  XCloseDisplay(display);
}

TEST_F(SdlSaverHostTest, MusicEndRunsItsNotificationFromTheWindowLoop) {
  test::TempFolder dir;
  const std::vector<uint8_t> format = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0};
  const std::vector<uint8_t> samples(2205 * 2, 0);  // 100 ms of silence
  const std::vector<uint8_t> wave = BuildWaveFile(format, samples.data(), samples.size());
  test::WriteFile(dir / "m.wav", std::string(wave.begin(), wave.end()));
  bool insideFrame = false, notifiedInsideFrame = false;
  int notified = 0;
  saver.onShow = [&] {
    ASSERT_NE(host.Music(), nullptr);
    ASSERT_TRUE(host.Music()->Open(dir / "m.wav"));
    host.Music()->Play([&] {
      ++notified;
      notifiedInsideFrame = insideFrame;
      host.Close();
    });
  };
  saver.onFrame = [&](int) {
    insideFrame = true;
    SDL_Delay(10);
    insideFrame = false;
  };
  host.Run(saver);
  EXPECT_EQ(notified, 1);
  EXPECT_FALSE(notifiedInsideFrame);
  EXPECT_LT(saver.frames, 500);
}

TEST(SdlSaverHostNoDisplay, RunThrowsAClearError) {
  struct Env {
    std::string name;
    std::optional<std::string> saved;
    Env(std::string n, const char* value) : name(std::move(n)) {
      if (const char* v = std::getenv(name.c_str())) saved = v;
      setenv(name.c_str(), value, 1);
    }
    ~Env() {
      if (saved) setenv(name.c_str(), saved->c_str(), 1);
      else unsetenv(name.c_str());
    }
  } display("DISPLAY", ":9999"), driver("SDL_VIDEODRIVER", "x11");
  SdlSaverHost host;
  FakeSaver saver{host};
  try {
    host.Run(saver);
    FAIL() << "Run returned without a display";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("no display"), std::string::npos) << e.what();
  }
  EXPECT_EQ(saver.shows, 0);
}

// The application title set at start-up names the saver window's class,
// which window managers and task lists show.
TEST(SdlSaverHostClass, TheWindowCarriesTheApplicationTitle) {
  if (!test::HaveDisplay()) GTEST_SKIP() << "needs an X display";
  unsetenv("SDL_VIDEO_X11_WMCLASS");
  char arg0[] = "prog";
  char* argv[] = {arg0, nullptr};
  LinuxSystem system(1, argv);
  system.SetApplicationTitle("Lumevra Screensaver");
  SdlSaverHost host;
  FakeSaver saver{host};
  host.SetWindowed(true);
  std::string windowClass;
  saver.onFrame = [&](int) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(host.Window(), &info) && info.subsystem == SDL_SYSWM_X11) {
      XClassHint hint{};
      if (XGetClassHint(info.info.x11.display, info.info.x11.window, &hint)) {
        windowClass = hint.res_class ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
      }
    }
    host.Close();
  };
  host.Run(saver);
  EXPECT_EQ(windowClass, "Lumevra Screensaver");
}

}  // namespace
}  // namespace lumevra
