// The test framework before the X11 headers: their macros clash with it.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/linux/X11PreviewTarget.h"

#include "XPixels.h"

namespace lumevra {
namespace {

class X11PreviewTargetTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!test::HaveDisplay()) GTEST_SKIP() << "needs an X display";
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 20, 20, 64, 48, 0, 0, 0xFFFFFF);
    XSync(display, False);
  }
  void TearDown() override {
    if (display == nullptr) return;
    if (window != 0) XDestroyWindow(display, window);
    XCloseDisplay(display);
  }
  void Show() {
    XMapWindow(display, window);
    XSync(display, False);
  }

  Display* display = nullptr;
  ::Window window = 0;
};

TEST_F(X11PreviewTargetTest, DrawsThePictureScaledToTheWholeWindow) {
  Show();
  auto target = X11PreviewTarget::Open(window);
  ASSERT_NE(target, nullptr);
  EXPECT_TRUE(target->WaitVisible());
  EXPECT_EQ(target->Size().cx, 64);
  EXPECT_EQ(target->Size().cy, 48);
  // Four quadrants, B, G, R, A bytes, in a row stride wider than the picture.
  const std::vector<uint32_t> picture = {0x00FF0000, 0x0000FF00, 0xDEADBEEF,  //
                                         0x000000FF, 0x00808080, 0xDEADBEEF};
  target->DrawStretched({picture.data(), 2, 2, 3});
  const struct {
    int x, y;
    uint32_t rgb;
  } probes[] = {{0, 0, 0xFF0000}, {31, 23, 0xFF0000}, {32, 0, 0x00FF00}, {63, 23, 0x00FF00},
                {0, 24, 0x0000FF}, {31, 47, 0x0000FF}, {32, 24, 0x808080}, {63, 47, 0x808080}};
  for (const auto& p : probes) EXPECT_EQ(test::ReadRgb(display, window, p.x, p.y), p.rgb) << p.x << "," << p.y;
}

TEST_F(X11PreviewTargetTest, AWindowThatNeverShowsIsNotVisibleInTime) {
  auto target = X11PreviewTarget::Open(window, std::chrono::milliseconds(100));
  ASSERT_NE(target, nullptr);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(target->WaitVisible());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(X11PreviewTargetTest, MissingOrVanishedWindowsAreHarmless) {
  EXPECT_EQ(OpenX11Preview(0), nullptr);
  EXPECT_EQ(OpenX11Preview(-5), nullptr);
  EXPECT_EQ(X11PreviewTarget::Open(0x7FFFFFF0ul), nullptr);

  Show();
  auto target = X11PreviewTarget::Open(window);
  ASSERT_NE(target, nullptr);
  XDestroyWindow(display, window);
  XSync(display, False);
  window = 0;
  EXPECT_FALSE(target->WaitVisible());
  EXPECT_EQ(target->Size().cx, 0);
  const uint32_t pixel = 0x00FFFFFF;
  target->DrawStretched({&pixel, 1, 1, 1});  // nothing to draw into: no crash, no X error exit
  target->DrawStretched({nullptr, 4, 4, 4});
}

}  // namespace
}  // namespace lumevra
