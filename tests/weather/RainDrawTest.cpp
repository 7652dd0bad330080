// Rain: the two line pieces of a drop, their greys and alphas, and clipping.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

#include "graphics/Blend.h"
#include "weather/Rain.h"
#include "weather/WeatherFixtures.h"

namespace lumevra {
namespace {

using testing_weather::CountChanged;
using testing_weather::Fill;
using testing_weather::kBlack;
using testing_weather::PixelDiff;

void Patterned(Bitmap32& bmp, int32_t w, int32_t h) {
  bmp.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) bmp.SetPixel(x, y, Rgba(x * 7, y * 5, 90, 255));
}

// The drop as the surface's own line primitive draws it from the end points,
// grey and alphas worked out here from the drop's class, length and slant.
void ExpectedDrop(Bitmap32& bmp, double X, double Y, int c, int lengthFactor, int dropLength,
                  int angle, int opacity) {
  const auto round = [](double v) { return static_cast<int32_t>(std::nearbyint(v)); };
  const int32_t x0 = round(X), y0 = round(Y);
  const int grey = 55 / (5 - c) + 200;
  const int32_t y1 = round(c * lengthFactor * dropLength / 10.0 + y0);
  const int32_t x1 = round(std::cos(angle * std::numbers::pi / 180) * (y1 - y0) + x0);
  const int32_t xm = round(x0 + (x1 - x0) * 6 / 8.0);
  const int32_t ym = round(y0 + (y1 - y0) * 6 / 8.0);
  const int tail = round((150 - (5 - c) * 20) * opacity / 10.0);
  const int head = round((255 - (5 - c) * 20) * opacity / 10.0);
  bmp.LineAntialiased(x0, y0, xm, ym, Rgba(grey, grey, grey, tail), false);
  bmp.LineAntialiased(xm, ym, x1, y1, Rgba(grey, grey, grey, head), false);
}

Color32 OnBlack(int grey, int alpha) { return BlendPixel(Rgba(grey, grey, grey, alpha), kBlack, alpha); }

TEST(RainDraw, AStraightDropIsATailThenAHeadInOneColumn) {
  // Class 4, length factor 4, base length: 16 pixels from row 5; the split
  // three quarters down is row 17; row 21 itself is not drawn.
  Bitmap32 bmp;
  Fill(bmp, 20, 30);
  Rain rain;
  rain.Surface = &bmp;
  rain.DrawDrop(RainDrop{10, 5, 0, 4, 4});
  for (int32_t y = 0; y < 30; ++y) {
    Color32 want = kBlack;
    if (y >= 5 && y < 17) want = OnBlack(255, 130);
    if (y >= 17 && y < 21) want = OnBlack(255, 235);
    EXPECT_EQ(bmp.GetPixel(10, y), want) << y;
  }
  EXPECT_EQ(CountChanged(bmp), 16);
}

TEST(RainDraw, GreyAndAlphasOfTheThreeSpeedsAndOpacities) {
  // Head alphas at odd opacities end in a half: rounded to the even neighbour.
  struct Case { int c, opacity, grey, tail, head; };
  for (const Case k : {Case{2, 10, 218, 90, 195}, {3, 10, 227, 110, 215}, {4, 10, 255, 130, 235},
                       {2, 5, 218, 45, 98}, {3, 5, 227, 55, 108}, {4, 3, 255, 39, 70},
                       {4, 1, 255, 13, 24}, {3, 0, 227, 0, 0},
                       {4, 12, 255, 130, 235}, {4, -2, 255, 0, 0}}) {
    Bitmap32 bmp;
    Fill(bmp, 8, 40);
    Rain rain;
    rain.Surface = &bmp;
    rain.Opacity = k.opacity;
    rain.DrawDrop(RainDrop{3, 2, 0, k.c, 4});  // 4c rows: tail 3c, head c
    EXPECT_EQ(bmp.GetPixel(3, 2), OnBlack(k.grey, k.tail)) << k.c << " " << k.opacity;
    EXPECT_EQ(bmp.GetPixel(3, 2 + 3 * k.c - 1), OnBlack(k.grey, k.tail)) << k.c << " " << k.opacity;
    EXPECT_EQ(bmp.GetPixel(3, 2 + 3 * k.c), OnBlack(k.grey, k.head)) << k.c << " " << k.opacity;
    EXPECT_EQ(bmp.GetPixel(3, 2 + 4 * k.c - 1), OnBlack(k.grey, k.head)) << k.c << " " << k.opacity;
    EXPECT_EQ(bmp.GetPixel(3, 2 + 4 * k.c), kBlack) << k.c << " " << k.opacity;
  }
}

TEST(RainDraw, EndPointsFollowLengthSlantAndPosition) {
  struct Case { double x, y; int c, factor, length, angle, opacity; };
  const std::vector<Case> cases = {
      {20, 10, 2, 1, 10, 90, 10},  {20, 10, 3, 2, 10, 120, 10}, {20, 10, 4, 3, 10, 60, 10},
      {20, 10, 4, 4, 10, 135, 10}, {20, 10, 2, 4, 10, 45, 7},   {20, 10, 3, 4, 10, 80, 5},   {20, 10, 3, 3, 25, 100, 10},
      {20, 10, 4, 2, 5, 150, 10},  {20.5, 9.5, 3, 1, 10, 90, 10}, {21.5, 10.5, 2, 3, 10, 110, 10},
      {20, 10, 4, 4, 0, 90, 10},   {20, 20, 3, 2, -10, 120, 10}, {20, 10, 4, 4, 15, 179, 10},
      {20, 10, 2, 2, 10, 0, 10},   {20, 10, 3, 3, 10, 180, 10},
  };
  for (const Case& k : cases) {
    Bitmap32 actual, expected;
    Patterned(actual, 40, 40);
    Patterned(expected, 40, 40);
    Rain rain;
    rain.Surface = &actual;
    rain.DropLength = k.length;
    rain.Angle = k.angle;
    rain.Opacity = k.opacity;
    rain.DrawDrop(RainDrop{k.x, k.y, 0, k.c, k.factor});
    ExpectedDrop(expected, k.x, k.y, k.c, k.factor, k.length, k.angle, k.opacity);
    EXPECT_EQ(PixelDiff(actual, expected), "") << k.x << "," << k.y << " c" << k.c << " f" << k.factor
                                               << " len " << k.length << " angle " << k.angle;
  }
}

TEST(RainDraw, DropsOverTheEdgesAreClipped) {
  struct Case { double x, y; int angle; };
  for (const Case k : {Case{-1, 5, 120}, {0, 5, 60}, {15, 5, 60}, {16, 5, 130}, {8, -10, 90},
                       {8, -3, 70}, {8, 14, 110}, {8, 16, 90}, {-30, 5, 90}, {8, -99, 90}}) {
    Bitmap32 actual, expected;
    Patterned(actual, 16, 16);
    Patterned(expected, 16, 16);
    Rain rain;
    rain.Surface = &actual;
    rain.Angle = k.angle;
    rain.DrawDrop(RainDrop{k.x, k.y, 0, 4, 4});
    ExpectedDrop(expected, k.x, k.y, 4, 4, 10, k.angle, 10);
    EXPECT_EQ(PixelDiff(actual, expected), "") << k.x << "," << k.y << " angle " << k.angle;
  }
}

TEST(RainDraw, AbsurdLengthsAndPositionsNeitherHangNorOverflow) {
  Bitmap32 bmp;
  Fill(bmp, 16, 16);
  Rain rain;
  rain.Surface = &bmp;
  rain.DropLength = INT32_MAX;
  rain.DrawDrop(RainDrop{4, 3, 0, 4, 4});
  // A straight streak from row 3 down past the bottom.
  for (int32_t y = 0; y < 16; ++y) EXPECT_EQ(bmp.GetPixel(4, y) != kBlack, y >= 3) << y;
  rain.DropLength = INT32_MIN;
  rain.Angle = 33;
  for (double v : {1e300, -1e300, 1e12, -1e12, 2147483647.0, -2147483648.0}) {
    rain.DrawDrop(RainDrop{v, 3, 0, 4, 4});
    rain.DrawDrop(RainDrop{3, v, 0, 4, 4});
    rain.DrawDrop(RainDrop{v, v, 0, 4, INT32_MAX});
  }
  rain.DrawDrop(RainDrop{3, 3, 0, INT32_MIN, INT32_MIN});
}

TEST(RainDraw, AdvanceDrawsEveryDropAtItsRoundedPosition) {
  Bitmap32 actual, expected;
  Patterned(actual, 40, 40);
  Patterned(expected, 40, 40);
  Rain rain;
  rain.Surface = &actual;
  rain.Elapsed = 0;
  rain.Angle = 100;
  rain.Drops = {RainDrop{10.5, 3.5, 1, 2, 1}, RainDrop{11.5, 20.5, -1, 3, 4}, RainDrop{30, 30, 0, 4, 2}};
  rain.Advance();
  for (const RainDrop& d : rain.Drops) ExpectedDrop(expected, d.X, d.Y, d.SpeedClass, d.LengthFactor, 10, 100, 10);
  EXPECT_EQ(PixelDiff(actual, expected), "");
}

}  // namespace
}  // namespace lumevra
