// The real saver on a real X server with two monitors side by side of
// different sizes: an Xorg of our own with the dummy driver and two heads
// joined by Xinerama (1280x720 at the left, 1024x768 right of it), where SDL
// sees a single display as wide as both. The scene must fill each monitor by
// itself, and a mouse move on the second monitor must end the saver.
// Skipped unless Xorg with the dummy driver is installed and we are root
// (Xorg takes a configuration file of ours only from root), as in CI.
// gtest first: the X headers define macros (None, Bool) that clash with it.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
// clang-format on
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "graphics/PictureLoader.h"
#include "support/TestFiles.h"
#include "XPixels.h"
#include "platform/linux/XServerQueries.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kBin = fs::path(LUMEVRA_STANDALONESCR).parent_path();
const fs::path kXorg = "/usr/lib/xorg/Xorg";
const fs::path kDummyDriver = "/usr/lib/xorg/modules/drivers/dummy_drv.so";

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kSlowdown = 3;
#else
constexpr int kSlowdown = 1;
#endif

struct Head {
  int left, top, width, height;
};
constexpr Head kHeads[] = {{0, 0, 1280, 720}, {1280, 0, 1024, 768}};

// Two dummy cards, one screen each, the second right of the first.
constexpr char kConfig[] = R"(Section "ServerFlags"
  Option "Xinerama" "true"
  Option "AutoAddDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dev0"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Device"
  Identifier "dev1"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "mon0"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "1280x720" 74.25 1280 1390 1430 1650 720 725 730 750
EndSection
Section "Monitor"
  Identifier "mon1"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806
EndSection
Section "Screen"
  Identifier "scr0"
  Device "dev0"
  Monitor "mon0"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 1280 720
    Modes "1280x720"
  EndSubSection
EndSection
Section "Screen"
  Identifier "scr1"
  Device "dev1"
  Monitor "mon1"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 1024 768
    Modes "1024x768"
  EndSubSection
EndSection
Section "ServerLayout"
  Identifier "layout"
  Screen 0 "scr0"
  Screen 1 "scr1" RightOf "scr0"
EndSection
)";

using test::Distance;

class TwoMonitorDesktop : public ::testing::Test {
protected:
  void SetUp() override {
    if (geteuid() != 0 || !fs::exists(kXorg) || !fs::exists(kDummyDriver))
      GTEST_SKIP() << "needs root and Xorg with the dummy driver (xserver-xorg-video-dummy)";
    if (!fs::exists(kBin / "Demo.scr")) GTEST_SKIP() << "the demo is not built (target demo)";
    int number = 70;
    while (number < 100 && fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) ++number;
    ASSERT_LT(number, 100) << "no free display number";
    name = ":" + std::to_string(number);
    std::ofstream(dir / "xorg.conf") << kConfig;
    server = test::Spawn({kXorg.string(), name, "-config", (dir / "xorg.conf").string(), "-noreset", "-nolisten",
                          "tcp", "-quiet", "-logfile", (dir / "xorg.log").string()},
                         {});
    for (int i = 0; i < 200 && !display; ++i) {
      std::this_thread::sleep_for(50ms);
      display = XOpenDisplay(name.c_str());
    }
    ASSERT_NE(display, nullptr) << "the two-monitor server did not start: " << test::ReadFile(dir / "xorg.log");
    fs::copy_file(kBin / "Demo.scr", dir / "Demo.scr");
    fs::create_directory(dir / "tmp");
  }

  void TearDown() override {
    if (display) XCloseDisplay(display);
    if (server > 0) {
      kill(server, SIGTERM);
      test::WaitExit(server, 5000);
    }
  }

  test::TempFolder dir;
  std::string name;
  pid_t server = -1;
  Display* display = nullptr;
};

TEST_F(TwoMonitorDesktop, TheSceneFillsEachMonitorAndAMoveOnTheSecondEndsIt) {
  Display* d = display;
  const int w = DisplayWidth(d, DefaultScreen(d)), h = DisplayHeight(d, DefaultScreen(d));
  ASSERT_EQ(w, 2304);
  ASSERT_EQ(h, 768);
  // The server's heads, as the saver asks for them (SDL sees one display).
  const std::vector<PixelRect> heads = QueryMonitorHeads(d);
  ASSERT_EQ(heads.size(), std::size(kHeads));
  for (size_t m = 0; m < heads.size(); ++m)
    EXPECT_EQ(heads[m], (PixelRect{kHeads[m].left, kHeads[m].top, kHeads[m].width, kHeads[m].height}));
  EXPECT_EQ(QueryDisplayPoweredOn(d), std::nullopt);  // this server has no power management
  // The undisturbed picture as the demo's settings (stretched) fit it to each monitor.
  std::vector<DecodedPicture> stills;
  for (const Head& head : kHeads) {
    const fs::path still = dir / ("still-" + std::to_string(head.width) + ".png");
    std::string out;
    ASSERT_EQ(test::RunCommand((kBin / "scrtool").string() + " render '" + (dir / "Demo.scr").string() + "' -o '" +
                                   still.string() + "' --frames 0 --stretch --screen " + std::to_string(head.width) +
                                   "x" + std::to_string(head.height),
                               out),
              0)
        << out;
    stills.push_back(DecodePictureFile(still));
  }
  const DecodedPicture mask = DecodePictureFile(kBin.parent_path() / "demo" / "lakeside-mask.png");

  const pid_t pid = test::Spawn({(dir / "Demo.scr").string(), "/s"},
                                {"DISPLAY=" + name, "TMPDIR=" + (dir / "tmp").string(),
                                 "XDG_RUNTIME_DIR=" + dir.path().string(), "SDL_AUDIODRIVER=dummy"});
  std::vector<uint32_t> screen;
  auto lit = [&](const Head& head) {
    long bright = 0, all = 0;
    for (int y = head.top; y < head.top + head.height; y += 7)
      for (int x = head.left; x < head.left + head.width; x += 7, ++all)
        bright += Distance(screen[static_cast<size_t>(y) * w + x], 0) > 40;
    return bright > all * 8 / 10;
  };
  for (int i = 0; i < 40 * kSlowdown; ++i) {
    std::this_thread::sleep_for(250ms);
    screen = test::Grab(d, DefaultRootWindow(d), w, h);
    if (lit(kHeads[0]) && lit(kHeads[1])) break;
  }
  std::this_thread::sleep_for(1000ms);
  screen = test::Grab(d, DefaultRootWindow(d), w, h);
  ASSERT_EQ(screen.size(), static_cast<size_t>(w) * h);

  // On each monitor the land (where the mask has no water all around) is the
  // picture fitted to that monitor's own size.
  for (size_t m = 0; m < std::size(kHeads); ++m) {
    const Head& head = kHeads[m];
    const DecodedPicture& still = stills[m];
    ASSERT_EQ(still.width, head.width);
    auto water = [&](int x, int y) {
      const int mx = std::clamp(x * mask.width / head.width, 0, mask.width - 1);
      const int my = std::clamp(y * mask.height / head.height, 0, mask.height - 1);
      return (mask.pixels[static_cast<size_t>(my) * mask.width + mx] & 0xFFFFFF) != 0;
    };
    long land = 0, same = 0;
    for (int y = 8; y < head.height - 8; y += 3)
      for (int x = 8; x < head.width - 8; x += 3) {
        if (water(x - 8, y - 8) || water(x + 8, y + 8) || water(x, y)) continue;
        ++land;
        const uint32_t shown = screen[static_cast<size_t>(y + head.top) * w + x + head.left];
        same += Distance(shown, still.pixels[static_cast<size_t>(y) * still.width + x] & 0xFFFFFF) <= 24;
      }
    ASSERT_GT(land, 1000);
    EXPECT_GT(double(same) / land, 0.9) << "monitor " << m << " does not show the scene fitted to its size";
  }
  // The mouse moves on the second monitor only.
  XTestFakeMotionEvent(d, -1, 1280 + 400, 300, 0);
  XFlush(d);
  std::this_thread::sleep_for(200ms);
  XTestFakeMotionEvent(d, -1, 1280 + 440, 340, 0);
  XFlush(d);
  EXPECT_EQ(test::WaitExit(pid, 3000 * kSlowdown), 0);
  EXPECT_TRUE(fs::is_empty(dir / "tmp")) << "the extraction folder was left behind";
}

}  // namespace
}  // namespace lumevra
