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
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "graphics/PictureLoader.h"
#include "support/TestFiles.h"
#include "XPixels.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kBin = fs::path(LUMEVRA_STANDALONESCR).parent_path();

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kSlowdown = 3;  // sanitized programs start and stop slower
#else
constexpr int kSlowdown = 1;
#endif

// A child process with a few extra environment variables.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  const pid_t pid = fork();
  if (pid == 0) {
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

// The exit code, or -1 when the child was still running after `ms` (it is
// killed then).
int WaitExit(pid_t pid, int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  int status = 0;
  while (std::chrono::steady_clock::now() < until) {
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::this_thread::sleep_for(10ms);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// Every pixel of a window as 0xRRGGBB.
std::vector<uint32_t> Grab(Display* d, Window w, int width, int height) {
  std::vector<uint32_t> pixels;
  XSync(d, False);
  XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return pixels;
  pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
  XDestroyImage(image);
  return pixels;
}

int Distance(uint32_t a, uint32_t b) {
  int most = 0;
  for (int shift : {0, 8, 16}) most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return most;
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

TEST_F(DesktopRun, SaverAnimatesTheWaterAndAKeyEndsIt) {
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

  const pid_t pid = Spawn({saver.string(), "/s"}, env);
  // Wait until the scene covers the screen (a loaded machine starts it later), then let it run.
  for (int i = 0; i < 40 * kSlowdown; ++i) {
    std::this_thread::sleep_for(250ms);
    const std::vector<uint32_t> shot = Grab(d, root, w, h);
    long lit = 0;
    for (size_t p = 0; p < shot.size(); p += 97) lit += Distance(shot[p], 0) > 40;
    if (lit > static_cast<long>(shot.size() / 97) * 8 / 10) break;
  }
  std::this_thread::sleep_for(1500ms);
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
