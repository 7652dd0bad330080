// The real program on a real X display (Xvfb in CI) with the demo scene:
// the saver animates the water full-screen and a key ends it cleanly, the
// dialog's OK writes the settings, and /p draws into a window of ours.
// Skipped without a display or without the demo.
// gtest first: the X headers define macros (None, Bool) that clash with it.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "graphics/PictureLoader.h"
#include "support/TestFiles.h"
#include "ChildProcess.h"
#include "XPixels.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Spawn;
using test::WaitExit;

const fs::path kBin = fs::path(LUMEVRA_STANDALONESCR).parent_path();

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kSlowdown = 3;  // sanitized programs start and stop slower
#else
constexpr int kSlowdown = 1;
#endif

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

using test::Distance;
using test::Grab;

// Waits until most of the screen shows something other than black (a loaded
// machine starts the saver later), at most 10 s (30 s sanitized).
void WaitUntilLit(Display* d, Window root, int w, int h) {
  for (int i = 0; i < 40 * kSlowdown; ++i) {
    std::this_thread::sleep_for(250ms);
    const std::vector<uint32_t> shot = Grab(d, root, w, h);
    long lit = 0;
    for (size_t p = 0; p < shot.size(); p += 97) lit += Distance(shot[p], 0) > 40;
    if (lit > static_cast<long>(shot.size() / 97) * 8 / 10) return;
  }
}

// The first window below `w` whose name is `name`.
Window FindNamed(Display* d, Window w, const std::string& name) {
  char* title = nullptr;
  if (XFetchName(d, w, &title) && title) {
    const bool match = name == title;
    XFree(title);
    if (match) return w;
  }
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) found = FindNamed(d, children[i], name);
  if (children) XFree(children);
  return found;
}

void Click(Display* d, int x, int y) {
  XTestFakeMotionEvent(d, -1, x, y, 0);
  XTestFakeButtonEvent(d, 1, True, 0);
  XTestFakeButtonEvent(d, 1, False, 0);
  XFlush(d);
}

class DesktopRun : public ::testing::Test {
protected:
  void SetUp() override {
    if (!test::HaveDisplay()) GTEST_SKIP() << "no X display";
    if (!fs::exists(kBin / "Demo.scr")) GTEST_SKIP() << "the demo is not built (target demo)";
    display.reset(XOpenDisplay(nullptr));
    ASSERT_TRUE(display) << "cannot open the display";
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display.get(), &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
    saver = dir / "Demo.scr";
    fs::copy_file(kBin / "Demo.scr", saver);
    fs::create_directory(dir / "tmp");
    env = {"TMPDIR=" + (dir / "tmp").string(), "XDG_RUNTIME_DIR=" + dir.path().string()};
  }

  test::TempFolder dir;
  DisplayPtr display;
  fs::path saver;
  std::vector<std::string> env;
};

TEST_F(DesktopRun, SaverAnimatesTheWaterAndAKeyEndsItOnEitherWayToTheScreen) {
  Display* d = display.get();
  const Window root = DefaultRootWindow(d);
  const int w = DisplayWidth(d, DefaultScreen(d)), h = DisplayHeight(d, DefaultScreen(d));
  // The undisturbed picture as the saver fits it to this screen.
  std::string out;
  const fs::path still = dir / "still.png";
  ASSERT_EQ(test::RunCommand((kBin / "scrtool").string() + " render '" + saver.string() + "' -o '" + still.string() +
                                 "' --frames 0 --stretch --screen " + std::to_string(w) + "x" + std::to_string(h),
                             out),
            0)
      << out;
  const DecodedPicture picture = DecodePictureFile(still);
  const DecodedPicture mask = DecodePictureFile(kBin.parent_path() / "demo" / "lakeside-mask.png");
  ASSERT_EQ(picture.width, w);

  // Both ways to the screen: the renderer's texture and the window's
  // framebuffer.
  for (const char* path : {"renderer", "surface"}) {
    SCOPED_TRACE(path);
    std::vector<std::string> pathEnv = env;
    pathEnv.push_back(std::string("LUMEVRA_PRESENT=") + path);
    const pid_t pid = Spawn({saver.string(), "/s"}, pathEnv);
    WaitUntilLit(d, root, w, h);
    std::this_thread::sleep_for(1500ms);  // let the water run
    const std::vector<uint32_t> screen = Grab(d, root, w, h);
    ASSERT_EQ(screen.size(), static_cast<size_t>(w) * h);

    // Water where the mask has a layer all around (8 px), land where it has none.
    auto layerAt = [&](int x, int y) {
      const int mx = std::clamp(x * mask.width / w, 0, mask.width - 1), my = std::clamp(y * mask.height / h, 0, mask.height - 1);
      return (mask.pixels[static_cast<size_t>(my) * mask.width + mx] & 0xFFFFFF) != 0;
    };
    long water = 0, waterMoved = 0, land = 0, landMoved = 0, bright = 0;
    for (int y = 8; y < h - 8; y += 2)
      for (int x = 8; x < w - 8; x += 2) {
        const bool a = layerAt(x - 8, y - 8), b = layerAt(x + 8, y + 8), c = layerAt(x, y);
        const size_t i = static_cast<size_t>(y) * w + x;
        const bool moved = Distance(screen[i], picture.pixels[i] & 0xFFFFFF) > 24;
        bright += Distance(screen[i], 0) > 40;
        if (a && b && c) {
          ++water;
          waterMoved += moved;
        } else if (!a && !b && !c) {
          ++land;
          landMoved += moved;
        }
      }
    ASSERT_GT(water, 1000);
    ASSERT_GT(land, 1000);
    EXPECT_GT(bright, (w / 2) * (h / 2) * 8 / 10) << "the screen is mostly black";
    // The moving water settles at about a tenth of its pixels visibly displaced
    // (depending on the screen size), the land at under 2 %: snow, the sun fading
    // in, gulls and the title touch it a little. The bounds keep a wide margin on
    // both sides, and the water must move clearly more than the land.
    const double waterShare = double(waterMoved) / water, landShare = double(landMoved) / land;
    EXPECT_GT(waterShare, 0.05) << "the water does not move";
    EXPECT_LT(landShare, 0.08) << "the picture changed outside the water";
    EXPECT_GT(waterShare, 3 * landShare) << "the water moves no more than the land";

    XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_space), True, 0);
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_space), False, 0);
    XFlush(d);
    EXPECT_EQ(WaitExit(pid, 1000 * kSlowdown), 0);
    EXPECT_TRUE(fs::is_empty(dir / "tmp")) << "the extraction folder was left behind";

  }
}

// Xvfb has no power management: the display's state comes from a file the
// saver reads in its place. While the display sleeps the picture stands
// still; when it wakes the water moves again; a key while asleep ends it.
TEST_F(DesktopRun, ASleepingDisplayStopsTheFramesAndAKeyStillEndsTheSaver) {
  Display* d = display.get();
  const Window root = DefaultRootWindow(d);
  const int w = DisplayWidth(d, DefaultScreen(d)), h = DisplayHeight(d, DefaultScreen(d));
  const fs::path state = dir / "display-state";
  auto setState = [&](const char* word) { std::ofstream(state) << word << "\n"; };
  setState("on");
  env.push_back("LUMEVRA_DISPLAY_STATE=" + state.string());
  const pid_t pid = Spawn({saver.string(), "/s"}, env);
  WaitUntilLit(d, root, w, h);
  auto changedPixels = [&] {
    const std::vector<uint32_t> before = Grab(d, root, w, h);
    std::this_thread::sleep_for(700ms);
    const std::vector<uint32_t> after = Grab(d, root, w, h);
    long changed = 0;
    for (size_t p = 0; p < before.size() && p < after.size(); ++p) changed += before[p] != after[p];
    return changed;
  };
  EXPECT_GT(changedPixels(), 1000) << "the water does not move";

  setState("off");
  std::this_thread::sleep_for(2000ms * kSlowdown);  // the saver looks about once a second
  EXPECT_EQ(changedPixels(), 0) << "frames go on while the display sleeps";

  setState("on");
  std::this_thread::sleep_for(2000ms * kSlowdown);
  EXPECT_GT(changedPixels(), 1000) << "the water stands still after waking";

  setState("off");
  std::this_thread::sleep_for(2000ms * kSlowdown);
  XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_space), True, 0);
  XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_space), False, 0);
  XFlush(d);
  EXPECT_EQ(WaitExit(pid, 2000 * kSlowdown), 0);
  EXPECT_TRUE(fs::is_empty(dir / "tmp")) << "the extraction folder was left behind";
}

TEST_F(DesktopRun, DialogPreviewsAndOkWritesTheSettings) {
  Display* d = display.get();
  const pid_t pid = Spawn({saver.string(), "/c"}, env);
  Window dialog = 0;
  for (int i = 0; i < 500 && !dialog; ++i) {
    std::this_thread::sleep_for(20ms);
    dialog = FindNamed(d, DefaultRootWindow(d), "Configuration");
  }
  ASSERT_NE(dialog, 0u) << "no window named Configuration";
  // Drawn: the still dialog looks the same twice running and is not blank.
  std::vector<uint32_t> previous;
  for (int i = 0; i < 100 * kSlowdown; ++i) {
    std::this_thread::sleep_for(100ms);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d, dialog, &attributes) || attributes.map_state != IsViewable) continue;
    auto shot = Grab(d, dialog, 280, 220);
    const bool blank = std::all_of(shot.begin(), shot.end(), [&](uint32_t p) { return p == shot.front(); });
    if (!blank && shot == previous) break;
    previous = std::move(shot);
  }
  int left = 0, top = 0;
  Window child = 0;
  XTranslateCoordinates(d, dialog, DefaultRootWindow(d), 0, 0, &left, &top, &child);

  // "Auto Preview" sits in the right panel (289, 19) at (7, 206).
  Click(d, left + 289 + 7 + 7, top + 19 + 206 + 9);
  std::this_thread::sleep_for(300ms);
  // The picture area of the dialog changes frame after frame.
  const auto first = Grab(d, dialog, 280, 220);
  long changed = 0;
  for (int i = 0; i < 20 * kSlowdown && changed <= 200; ++i) {
    std::this_thread::sleep_for(250ms);
    const auto later = Grab(d, dialog, 280, 220);
    changed = 0;
    for (size_t p = 0; p < first.size() && p < later.size(); ++p) changed += first[p] != later[p];
  }
  EXPECT_GT(changed, 200) << "the preview does not animate";

  Click(d, left + 292 + 37, top + 282 + 12);  // OK
  EXPECT_EQ(WaitExit(pid, 5000 * kSlowdown), 0);
  const std::string ini = test::ReadFile(dir / "Demo.ini");
  for (const char* key : {"Speed=100", "Stretch=1", "Proportional=0", "Sound=1", "Music=1", "ClockPos=1", "ShowClock=0"})
    EXPECT_NE(ini.find(key), std::string::npos) << key << " in\n" << ini;
  EXPECT_TRUE(fs::is_empty(dir / "tmp"));
}

// The dialog as drawn on the screen once it stands still, and its size.
struct DialogShot {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

DialogShot ShootDialog(Display* d, const fs::path& saver, std::vector<std::string> env) {
  DialogShot shot;
  const pid_t pid = Spawn({saver.string(), "/c"}, env);
  Window dialog = 0;
  for (int i = 0; i < 500 && !dialog; ++i) {
    std::this_thread::sleep_for(20ms);
    dialog = FindNamed(d, DefaultRootWindow(d), "Configuration");
  }
  for (int i = 0; dialog && i < 100 * kSlowdown; ++i) {
    std::this_thread::sleep_for(100ms);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d, dialog, &attributes) || attributes.map_state != IsViewable) continue;
    auto pixels = Grab(d, dialog, attributes.width, attributes.height);
    const bool blank = std::all_of(pixels.begin(), pixels.end(), [&](uint32_t p) { return p == pixels.front(); });
    if (!blank && pixels == shot.pixels) break;
    shot = {attributes.width, attributes.height, std::move(pixels)};
  }
  kill(pid, SIGTERM);
  WaitExit(pid, 5000 * kSlowdown);
  return shot;
}

// At a desktop scale of 2 the dialog is the same dialog at twice the size:
// halved again it matches the dialog at scale 1 nearly everywhere (text is
// drawn sharper, nothing moves, nothing is cut off).
TEST_F(DesktopRun, AtTwiceTheScaleTheDialogIsTwiceAsLargeAndWhole) {
  Display* d = display.get();
  std::vector<std::string> normalEnv = env, doubleEnv = env;
  normalEnv.push_back("GDK_SCALE=1");
  doubleEnv.push_back("GDK_SCALE=2");
  const DialogShot normal = ShootDialog(d, saver, normalEnv);
  const DialogShot doubled = ShootDialog(d, saver, doubleEnv);
  ASSERT_GT(normal.width, 0) << "no dialog at scale 1";
  ASSERT_EQ(doubled.width, 2 * normal.width);
  ASSERT_EQ(doubled.height, 2 * normal.height);
  long close = 0;
  for (int y = 0; y < normal.height; ++y)
    for (int x = 0; x < normal.width; ++x) {
      int sum[3] = {0, 0, 0};
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
          const uint32_t p = doubled.pixels[static_cast<size_t>(2 * y + dy) * doubled.width + 2 * x + dx];
          for (int c = 0; c < 3; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
        }
      const uint32_t halved = uint32_t(sum[2] / 4) << 16 | uint32_t(sum[1] / 4) << 8 | uint32_t(sum[0] / 4);
      close += Distance(halved, normal.pixels[static_cast<size_t>(y) * normal.width + x]) <= 40;
    }
  EXPECT_GT(double(close) / (normal.width * normal.height), 0.95);
}

TEST_F(DesktopRun, PreviewDrawsThePictureIntoTheDesktopsWindow) {
  Display* d = display.get();
  const int w = 200, h = 150;
  const Window target = XCreateSimpleWindow(d, DefaultRootWindow(d), 10, 10, w, h, 0, 0, 0);
  XMapWindow(d, target);
  XSync(d, False);
  std::this_thread::sleep_for(200ms);
  const pid_t pid = Spawn({saver.string(), "/p", std::to_string(target)}, env);
  EXPECT_EQ(WaitExit(pid, 10000 * kSlowdown), 0);
  const auto pixels = Grab(d, target, w, h);
  ASSERT_EQ(pixels.size(), static_cast<size_t>(w) * h);
  // The background stretched by nearest neighbour.
  const DecodedPicture back = DecodePictureFile(kBin.parent_path() / "demo" / "lakeside.jpg");
  int close = 0;
  for (int y = 5; y < h; y += 10)
    for (int x = 5; x < w; x += 10) {
      const uint32_t want = back.pixels[static_cast<size_t>(y * back.height / h) * back.width + x * back.width / w];
      close += Distance(pixels[static_cast<size_t>(y) * w + x], want & 0xFFFFFF) <= 8;
    }
  EXPECT_GT(close, 20 * 15 * 9 / 10);
  XDestroyWindow(d, target);
  XSync(d, False);
}

}  // namespace
}  // namespace lumevra
