// Snow: the pixels of one flake and of a disc, and clipping at the edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "weather/Snow.h"
#include "weather/WeatherFixtures.h"

namespace lumevra {
namespace {

using testing_weather::CountChanged;
using testing_weather::Fill;
using testing_weather::kBlack;
using testing_weather::PixelDiff;

using Offsets = std::vector<std::pair<int, int>>;

// Half widths of the disc rows 0..r (row p and -p share one).
const std::vector<std::vector<int>> kDiscHalfWidths = {
    {0}, {1, 0}, {2, 2, 0}, {3, 3, 2, 0}, {4, 4, 3, 3, 0}};

// A surface whose pixels all differ, so a blend onto the wrong pixel shows.
void Patterned(Bitmap32& bmp, int32_t w, int32_t h) {
  bmp.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) bmp.SetPixel(x, y, Rgba(x * 13, y * 11, 40, 255));
}

// The expected picture is built with the surface's own clipped blend, so the
// test pins which pixels get which alpha, not the blend arithmetic.
struct Expected {
  Bitmap32& bmp;
  void Dot(int x, int y, int alpha) { bmp.BlendPixelClipped(x, y, Rgba(255, 255, 255, alpha)); }
  void Dots(int x, int y, const Offsets& offsets, int alpha) {
    for (auto [dx, dy] : offsets) Dot(x + dx, y + dy, alpha);
  }
  void Disc(int x, int y, int r, int alpha) {
    if (r < 0) return;
    for (int p = 0; p <= r; ++p) {
      const int h = kDiscHalfWidths[r][p];
      for (int dx = -h; dx <= h; ++dx) {
        Dot(x + dx, y + p, alpha);
        if (p != 0) Dot(x + dx, y - p, alpha);
      }
    }
  }
  // One flake of size s with d = maxSize - s at opacity o.
  void Flake(int x, int y, int s, int d, int o) {
    const int a1 = (250 - 60 * d) * o / 10;
    const int a2 = (180 - 60 * d) * o / 10;
    Dot(x, y, a1);
    if (s == 2) {
      Dots(x, y, {{1, 0}, {0, 1}}, 80 * o / 10);
    } else if (s == 3) {
      Dots(x, y, {{-1, 0}, {0, -1}, {1, 0}, {0, 1}}, 200 * o / 10);
      Dots(x, y, {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}}, 60 * o / 10);
    } else if (s == 4) {
      Dots(x, y, {{-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {0, 2}, {1, -1}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}}, a1);
    } else if (s >= 5) {
      Disc(x, y, s / 2, a2);
      Disc(x, y, s / 2 - 1, a1);
    }
  }
};

struct FlakeCase {
  int maxSize, size, opacity;
};

const std::vector<FlakeCase> kFlakeCases = {
    {8, 8, 10}, {8, 7, 10}, {8, 6, 10}, {7, 7, 10}, {7, 5, 10}, {6, 6, 10}, {6, 5, 10}, {5, 5, 10},
    {6, 4, 10}, {4, 4, 10}, {5, 3, 10}, {3, 3, 10}, {4, 2, 10}, {2, 2, 10}, {3, 1, 10}, {1, 1, 10},
    {1, 0, 10}, {1, -1, 10}, {8, 8, 5}, {8, 6, 3}, {4, 3, 7}, {2, 2, 1}, {8, 8, 0}, {4, 4, 5},
};

TEST(SnowDraw, EachSizeBlendsItsPixelsWithItsAlphas) {
  // Well inside, and at each corner and edge so that part is clipped away.
  const std::vector<std::pair<int, int>> centres = {{8, 8}, {0, 0}, {15, 15}, {-2, 6}, {17, 3}, {6, -4}, {3, 19}};
  for (const FlakeCase& c : kFlakeCases) {
    for (auto [x, y] : centres) {
      Bitmap32 actual, expected;
      Patterned(actual, 16, 16);
      Patterned(expected, 16, 16);
      Snow snow;
      snow.Surface = &actual;
      snow.MaxSize = c.maxSize;
      snow.Opacity = c.opacity;
      snow.DrawFlake(x, y, c.size);
      Expected{expected}.Flake(x, y, c.size, c.maxSize - c.size, c.opacity);
      EXPECT_EQ(PixelDiff(actual, expected), "")
          << "max " << c.maxSize << " size " << c.size << " opacity " << c.opacity << " at " << x << "," << y;
    }
  }
}

TEST(SnowDraw, AlphasOnBlackReadBackAsTheirValues) {
  // On black a white blend at alpha a leaves a grey of exactly a.
  struct Probe { int maxSize, size, opacity, dx, dy, grey; };
  const std::vector<Probe> probes = {
      {4, 4, 10, 2, 1, 250}, {5, 4, 10, 0, 2, 190}, {6, 4, 10, 1, -1, 130},
      {8, 8, 5, 0, 4, 90},   // outer disc row only: A2 = 180 x 5 / 10
      {8, 8, 5, 4, 0, 90},   {8, 7, 10, 2, 2, 120}, {8, 6, 10, 0, 3, 60},
      {3, 3, 10, 1, 0, 200}, {3, 3, 10, -1, 1, 60}, {2, 2, 10, 0, 1, 80},  {2, 2, 10, 0, 0, 250},
      {2, 2, 5, 1, 0, 40},   {1, 1, 5, 0, 0, 125},  {1, -1, 10, 0, 0, 130}, {3, 3, 5, 0, 0, 125},
  };
  for (const Probe& p : probes) {
    Bitmap32 bmp;
    Fill(bmp, 20, 20);
    Snow snow;
    snow.Surface = &bmp;
    snow.MaxSize = p.maxSize;
    snow.Opacity = p.opacity;
    snow.DrawFlake(9, 9, p.size);
    EXPECT_EQ(bmp.GetPixel(9 + p.dx, 9 + p.dy), Rgba(p.grey, p.grey, p.grey, 255))
        << p.maxSize << " " << p.size << " " << p.opacity << " (" << p.dx << "," << p.dy << ")";
  }
}

TEST(SnowDraw, PixelCountsPerSize) {
  struct Case { int size; int pixels; };
  // 1 or less: centre; 2: three; 3: 3 x 3; 4: 4 x 4 less corners; 5+: the outer disc.
  for (const Case c : {Case{-1, 1}, {0, 1}, {1, 1}, {2, 3}, {3, 9}, {4, 12}, {5, 17}, {6, 33}, {7, 33}, {8, 57}}) {
    Bitmap32 bmp;
    Fill(bmp, 20, 20);
    Snow snow;
    snow.Surface = &bmp;
    snow.MaxSize = std::max(c.size, 1);
    snow.DrawFlake(9, 9, c.size);
    EXPECT_EQ(CountChanged(bmp), c.pixels) << c.size;
  }
}

TEST(SnowDraw, OpacityOutsideZeroToTenIsClamped) {
  for (auto [given, used] : std::vector<std::pair<int, int>>{{15, 10}, {INT32_MAX, 10}, {-3, 0}, {INT32_MIN, 0}}) {
    Bitmap32 actual, expected;
    Patterned(actual, 12, 12);
    Patterned(expected, 12, 12);
    Snow snow;
    snow.Surface = &actual;
    snow.Opacity = given;
    snow.DrawFlake(5, 5, 8);
    Expected{expected}.Flake(5, 5, 8, 0, used);
    EXPECT_EQ(PixelDiff(actual, expected), "") << given;
  }
}

TEST(SnowDraw, ClipRectangleLimitsEveryPixel) {
  Bitmap32 actual, expected;
  Patterned(actual, 16, 16);
  Patterned(expected, 16, 16);
  actual.SetClipRect(Rect{6, 5, 10, 9});
  expected.SetClipRect(Rect{6, 5, 10, 9});
  Snow snow;
  snow.Surface = &actual;
  for (int s : {2, 3, 4, 8}) snow.DrawFlake(7, 7, s);
  Expected e{expected};
  for (int s : {2, 3, 4, 8}) e.Flake(7, 7, s, 8 - s, 10);
  EXPECT_EQ(PixelDiff(actual, expected), "");
  Bitmap32 untouched;
  Patterned(untouched, 16, 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x)
      if (x < 6 || x >= 10 || y < 5 || y >= 9) {
        ASSERT_EQ(actual.GetPixel(x, y), untouched.GetPixel(x, y));
      }
}

TEST(SnowDraw, DiscRowsAndDegenerateRadii) {
  for (int r = 0; r <= 4; ++r) {
    Bitmap32 actual, expected;
    Fill(actual, 11, 11);
    Fill(expected, 11, 11);
    Snow snow;
    snow.Surface = &actual;
    snow.DrawDisc(5, 5, r, 255);
    Expected{expected}.Disc(5, 5, r, 255);
    EXPECT_EQ(PixelDiff(actual, expected), "") << r;
  }
  Bitmap32 bmp;
  Fill(bmp, 8, 8);
  Snow snow;
  snow.Surface = &bmp;
  snow.DrawDisc(4, 4, -1, 255);
  snow.DrawDisc(4, 4, INT32_MIN, 255);
  EXPECT_EQ(CountChanged(bmp), 0);
  // A radius far beyond the surface covers it once, without walking the radius.
  snow.DrawDisc(3, 3, INT32_MAX, 255);
  EXPECT_EQ(CountChanged(bmp, Rgba(255, 255, 255, 255)), 0);
  for (auto [x, y] : std::vector<std::pair<int32_t, int32_t>>{
           {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN}, {INT32_MIN, 3}, {3, INT32_MAX}}) {
    Fill(bmp, 8, 8);
    snow.DrawDisc(x, y, INT32_MAX, 255);
    snow.DrawDisc(x, y, 4, 255);
    snow.DrawFlake(x, y, 4);
    snow.DrawFlake(x, y, 3);
  }
}

TEST(SnowDraw, AdvanceDrawsEachFlakeAtItsRoundedPosition) {
  struct Case { double x, y; int cx, cy; };
  for (const Case c : {Case{10.5, 4.5, 10, 4}, {11.5, 5.5, 12, 6}, {3.49, 7.51, 3, 8}, {0.5, 0.4, 0, 0}}) {
    Bitmap32 bmp;
    Fill(bmp, 20, 12);
    Snow snow;
    snow.Surface = &bmp;
    snow.MaxSize = 1;  // every size from -1 to 1 is the centre alone
    snow.Elapsed = 0;
    snow.Flakes.assign(1, SnowFlake{c.x, c.y, 1, 0});
    snow.Advance();
    EXPECT_EQ(CountChanged(bmp), 1) << c.x << "," << c.y;
    EXPECT_NE(bmp.GetPixel(c.cx, c.cy), kBlack) << c.x << "," << c.y;
  }
}

}  // namespace
}  // namespace lumevra
