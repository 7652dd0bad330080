// The clock overlay: tick geometry, placement, grabbing the frame, marks,
// hands at fixed times, the centre cap and the bar primitive.
#include "engine/ClockOverlay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "base/Rounding.h"
#include "graphics/Blend.h"

namespace lumevra {
namespace {

const Color32 kBlack = Rgba(0, 0, 0);
const Color32 kGrey = Rgba(100, 100, 100);
const Color32 kWhite = Rgba(255, 255, 255);

ClockTimeSource At(int32_t h, int32_t m, int32_t s) {
  return [=] { return ClockTime{h, m, s, 0}; };
}

// A clock for a 1024-wide frame (Round(1024 / 8) = 128) in white at full
// opacity on a plain background, stopped at a given time.
struct Clock128 {
  ClockOverlay clock;
  explicit Clock128(Color32 back = kBlack) {
    clock.SetSize(static_cast<int32_t>(Round(1024 / 8.0)), static_cast<int32_t>(Round(1024 / 8.0)));
    clock.Face.Clear(back);
  }
  Bitmap32& RenderAt(int32_t h, int32_t m, int32_t s) {
    clock.SetTimeSource(At(h, m, s));
    return clock.Render();
  }
  int Red(int32_t x, int32_t y) const { return RedOf(clock.Face.GetPixel(x, y)); }
};

ClockPoint Expected(int32_t cx, int32_t cy, double degrees, double r) {
  const double a = degrees * std::numbers::pi / 180;
  return {static_cast<int32_t>(std::lround(std::sin(a) * r)) + cx,
          cy - static_cast<int32_t>(std::lround(std::cos(a) * r))};
}

TEST(ClockGeometry, ASmallClockForA1024WideFrame) {
  Clock128 c;
  const ClockOverlay& clock = c.clock;
  EXPECT_EQ(clock.ClockWidth, 128);
  EXPECT_EQ(clock.ClockHeight, 128);
  EXPECT_EQ(clock.Face.Width(), 128);
  EXPECT_EQ(clock.Face.Height(), 128);
  // Tick radius 54; minute marks reach in to 51, hour marks to 46.
  for (int32_t i = 1; i <= 60; ++i) {
    const ClockPoint o = Expected(64, 64, 6.0 * i, 54);
    const ClockPoint n = Expected(64, 64, 6.0 * i, i % 5 == 0 ? 46 : 51);
    EXPECT_EQ(clock.OuterPoints[i].x, o.x) << i;
    EXPECT_EQ(clock.OuterPoints[i].y, o.y) << i;
    EXPECT_EQ(clock.InnerPoints[i].x, n.x) << i;
    EXPECT_EQ(clock.InnerPoints[i].y, n.y) << i;
  }
  EXPECT_EQ(clock.OuterPoints[15].x, 118);
  EXPECT_EQ(clock.OuterPoints[15].y, 64);
  EXPECT_EQ(clock.InnerPoints[60].x, 64);
  EXPECT_EQ(clock.InnerPoints[60].y, 18);
  EXPECT_EQ(clock.InnerPoints[30].y, 110);
}

TEST(ClockGeometry, StartsAt100SquareAndMirrorsMarksWhenTooSmall) {
  ClockOverlay clock;
  EXPECT_EQ(clock.Face.Width(), 100);
  EXPECT_EQ(clock.Face.Height(), 100);
  EXPECT_EQ(clock.FaceStyle, 1);
  EXPECT_EQ(clock.OuterPoints[15].x, 50 + 40);

  // Height 10: tick radius -5, the marks mirrored through the middle.
  clock.SetSize(10, 10);
  EXPECT_EQ(clock.OuterPoints[15].x, 5 - 5);
  EXPECT_EQ(clock.OuterPoints[60].y, 5 + 5);
  clock.SetTimeSource(At(3, 0, 0));
  clock.Render();
  clock.SetSize(0, 5);
  EXPECT_TRUE(clock.Render().Empty());
}

TEST(ClockGeometry, CornerPositionKeepsTenPixelsFromTheEdges) {
  ClockOverlay clock;
  clock.SetSize(128, 128);
  struct Case {
    uint8_t corner;
    int32_t x, y;
  };
  for (const Case& c : {Case{0, 10, 10}, Case{1, 886, 10}, Case{2, 10, 630}, Case{3, 886, 630}, Case{4, 0, 0}}) {
    clock.Corner = c.corner;
    const ClockPoint p = clock.CornerPosition(1024, 768);
    EXPECT_EQ(p.x, c.x) << int{c.corner};
    EXPECT_EQ(p.y, c.y) << int{c.corner};
  }
}

TEST(ClockGrab, CopiesTheFrameUnderTheClockOneToOne) {
  Bitmap32 frame;
  frame.SetSize(200, 150);
  for (int32_t y = 0; y < 150; ++y)
    for (int32_t x = 0; x < 200; ++x) frame.SetPixel(x, y, Rgba(x, y, 9, 0));
  ClockOverlay clock;
  clock.GrabBackground(frame, 40, 30);
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 100; ++x) ASSERT_EQ(clock.Face.GetPixel(x, y), Rgba(40 + x, 30 + y, 9, 0));

  // Hanging over the frame's corner: the rest of Face keeps what it had.
  clock.Face.Clear(kWhite);
  clock.GrabBackground(frame, 150, 120);
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 100; ++x) {
      const bool inFrame = 150 + x < 200 && 120 + y < 150;
      ASSERT_EQ(clock.Face.GetPixel(x, y), inFrame ? Rgba(150 + x, 120 + y, 9, 0) : kWhite) << x << "," << y;
    }
  clock.GrabBackground(frame, INT32_MAX - 5, INT32_MIN);
  EXPECT_EQ(clock.Face.GetPixel(99, 99), kWhite);
}

TEST(ClockHands, AtThreeOClockTheHourHandPointsRightAndTheOthersUp) {
  Clock128 c;
  c.RenderAt(3, 0, 0);
  const int32_t cx = 64, cy = 64;
  // Hour hand: 32 long, a bar over rows cy - 1 and cy.
  for (int32_t d = 6; d < 31; ++d) {
    EXPECT_EQ(c.Red(cx + d, cy - 1), 255) << d;
    EXPECT_EQ(c.Red(cx + d, cy), 255) << d;
    EXPECT_EQ(c.Red(cx - d, cy - 1), 0) << d;
    EXPECT_EQ(c.Red(cx - d, cy), 0) << d;
  }
  EXPECT_EQ(c.Red(cx + 36, cy), 0) << "beyond the tip";
  // Minute hand up (51 long), second hand up on top of it; below the
  // middle nothing until the six o'clock mark.
  for (int32_t d = 6; d < 50; ++d) EXPECT_EQ(c.Red(cx, cy - d), 255) << d;
  for (int32_t d = 6; d < 40; ++d) EXPECT_EQ(c.Red(cx, cy + d), 0) << d;
}

TEST(ClockHands, AtHalfPastTwelveTheHourHandIsHalfWayToOne) {
  Clock128 c;
  c.RenderAt(12, 30, 15);
  const int32_t cx = 64, cy = 64;
  // Hour hand at 15 degrees: 20 pixels out it passes (69.2, 44.7).
  EXPECT_GT(c.Red(69, 44), 128);
  EXPECT_EQ(c.Red(cx - 5, cy - 20), 0);
  // Minute hand straight down, second hand straight right.
  for (int32_t d = 6; d < 50; ++d) {
    EXPECT_EQ(c.Red(cx - 1, cy + d), 255) << d;
    EXPECT_EQ(c.Red(cx + d, cy), 255) << d;
  }
  // A 24-hour reading shows the same as its 12-hour one.
  Clock128 pm;
  pm.RenderAt(0, 30, 15);
  for (int32_t y = 0; y < 128; ++y)
    for (int32_t x = 0; x < 128; ++x) ASSERT_EQ(pm.clock.Face.GetPixel(x, y), c.clock.Face.GetPixel(x, y));
}

TEST(ClockHands, ShadowsFallOnePixelRightAndDown) {
  Clock128 c(kGrey);
  c.RenderAt(3, 0, 0);
  const int32_t cy = 64;
  const Color32 hourShadow = BlendPixel(Rgba(0, 0, 0), kGrey, 100);
  for (int32_t x = 64 + 6; x < 64 + 31; ++x) {
    EXPECT_EQ(c.clock.Face.GetPixel(x, cy + 1), hourShadow) << x;
    EXPECT_EQ(c.clock.Face.GetPixel(x, cy), kWhite) << x;
    EXPECT_EQ(c.clock.Face.GetPixel(x, cy - 2), kGrey) << x;
  }
  // Minute and second hands point up along column 64; both their shadows
  // (alpha 80) fall on column 65, the side left of the hands stays clear.
  const Color32 once = BlendPixel(Rgba(0, 0, 0), kGrey, 80);
  EXPECT_EQ(c.clock.Face.GetPixel(65, 40), BlendPixel(Rgba(0, 0, 0), once, 80));
  EXPECT_EQ(c.clock.Face.GetPixel(64, 40), kWhite);
  EXPECT_EQ(c.clock.Face.GetPixel(62, 40), kGrey);
}

TEST(ClockFace, MarksUseTheClockColourAndAlphaOverTheirShadows) {
  Clock128 c(kGrey);
  c.clock.Alpha = 180;
  c.clock.Color = 0x3060F0;  // 0x00RRGGBB
  c.RenderAt(6, 0, 0);       // hands away from the three o'clock mark
  const Color32 mark = Rgba(0x30, 0x60, 0xF0, 180);
  const Color32 shadow = Rgba(0, 0, 0, 100);
  // The three o'clock mark runs from x 118 to 110 over rows 63 and 64; its
  // shadow covers rows 64 and 65.
  const Color32 shaded = BlendPixel(shadow, kGrey, 100);
  for (int32_t x = 111; x < 117; ++x) {
    EXPECT_EQ(c.clock.Face.GetPixel(x, 63), BlendPixel(mark, kGrey, 180)) << x;
    EXPECT_EQ(c.clock.Face.GetPixel(x, 64), BlendPixel(mark, shaded, 180)) << x;
    EXPECT_EQ(c.clock.Face.GetPixel(x, 65), shaded) << x;
    EXPECT_EQ(c.clock.Face.GetPixel(x, 62), kGrey) << x;
  }
}

TEST(ClockFace, MinuteMarksAreAntialiasedLinesWithoutTheirInnerEnd) {
  Clock128 c;
  c.clock.Alpha = 180;
  c.RenderAt(6, 30, 30);  // hands well away from the top right
  // Mark 1 runs from its outer point in toward its inner point; on black
  // each of its rows takes 180 in all, the inner end none.
  const ClockPoint o = Expected(64, 64, 6, 54), n = Expected(64, 64, 6, 51);
  ASSERT_EQ(o.y, 10);
  ASSERT_EQ(n.y, 13);
  for (int32_t y = o.y; y <= n.y; ++y) {
    int sum = 0;
    for (int32_t x = 66; x < 73; ++x) sum += c.Red(x, y);
    EXPECT_EQ(sum, y < n.y ? 180 : 0) << y;
  }
}

TEST(ClockFace, TheCentreCapIsOpaqueInTheClockColourWithAGreyRing) {
  Clock128 c;
  c.clock.Color = 0xFF0000;
  c.RenderAt(3, 0, 0);
  const Color32 grey = Rgba(0x70, 0x70, 0x70);
  EXPECT_EQ(c.clock.Face.GetPixel(63, 63), Rgba(255, 0, 0));
  EXPECT_EQ(c.clock.Face.GetPixel(62, 66), Rgba(255, 0, 0));
  EXPECT_EQ(c.clock.Face.GetPixel(60, 63), grey);
  EXPECT_EQ(c.clock.Face.GetPixel(62, 60), grey);
  EXPECT_EQ(c.clock.Face.GetPixel(60, 60), kBlack);
}

TEST(ClockBar, AnAxisParallelBarIsTwoPixelsThick) {
  ClockOverlay clock;
  Bitmap32 s;
  s.SetSize(30, 30);
  s.Clear(kBlack);
  clock.DrawBar(s, 10, 10, 20, 10, 1, kWhite);
  clock.DrawBar(s, 5, 25, 5, 15, 1, kWhite);
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 30; ++x) {
      const bool horizontal = x >= 10 && x < 20 && (y == 9 || y == 10);
      const bool vertical = (x == 4 || x == 5) && y >= 15 && y < 25;
      EXPECT_EQ(s.GetPixel(x, y), horizontal || vertical ? kWhite : kBlack) << x << "," << y;
    }
}

TEST(ClockBar, ADiagonalBarIsBlendedTwiceWhereItsHalvesOverlap) {
  ClockOverlay clock;
  Bitmap32 s;
  s.SetSize(30, 30);
  s.Clear(kBlack);
  const Color32 c = Rgba(255, 255, 255, 128);
  clock.DrawBar(s, 10, 10, 20, 20, 1, c);
  EXPECT_EQ(s.GetPixel(15, 15), BlendPixel(c, BlendPixel(c, kBlack, 128), 128));
  for (auto [x, y] : std::vector<std::pair<int32_t, int32_t>>{{13, 15}, {15, 13}, {10, 20}, {25, 25}, {9, 9}, {21, 21}})
    EXPECT_EQ(s.GetPixel(x, y), kBlack) << x << "," << y;
  // Bars reaching off the surface draw only what lies on it.
  Bitmap32 small;
  small.SetSize(4, 4);
  small.Clear(kBlack);
  clock.DrawBar(small, -50, 2, 60, 2, 1, kWhite);
  clock.DrawBar(small, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX, kWhite);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(small.GetPixel(x, 1), kWhite);
}

TEST(ClockTime, TheDefaultSourceReadsTheLocalTimeOfDay) {
  const ClockTime t = LocalClockTime();
  EXPECT_GE(t.hour, 0);
  EXPECT_LT(t.hour, 24);
  EXPECT_GE(t.minute, 0);
  EXPECT_LT(t.minute, 60);
  EXPECT_GE(t.second, 0);
  EXPECT_LE(t.second, 60);
  EXPECT_GE(t.millisecond, 0);
  EXPECT_LT(t.millisecond, 1000);
  // An empty source falls back to the local time; odd readings still draw.
  ClockOverlay clock;
  clock.SetTimeSource(nullptr);
  clock.Render();
  clock.SetTimeSource(At(-7, 1000, -3));
  clock.Render();
}

}  // namespace
}  // namespace lumevra
