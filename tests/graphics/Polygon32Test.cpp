// Polygon filling: exact fills, coverage anti-aliasing, the fill rules and
// shapes reaching outside the surface.
#include "graphics/Polygon32.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "graphics/Blend.h"

namespace lumevra {
namespace {

const Color32 kBlack = Rgba(0, 0, 0);
const Color32 kWhite = Rgba(255, 255, 255);

Bitmap32& Black(Bitmap32& bmp, int32_t w = 10, int32_t h = 10) {
  bmp.SetSize(w, h);
  bmp.Clear(kBlack);
  return bmp;
}

void AddAll(Polygon32& p, std::initializer_list<std::pair<int32_t, int32_t>> points) {
  for (auto [x, y] : points) p.Add(ToFixedPoint(x, y));
}

// Expects exactly the pixels of [l, r) x [t, b) to hold `inside`, the rest black.
void ExpectBlock(const Bitmap32& bmp, int32_t l, int32_t t, int32_t r, int32_t b, Color32 inside) {
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x) {
      const bool in = x >= l && x < r && y >= t && y < b;
      EXPECT_EQ(bmp.GetPixel(x, y), in ? inside : kBlack) << x << "," << y;
    }
}

TEST(Polygon32, StartsWithOneEmptyContourAndTheDocumentedSettings) {
  Polygon32 p;
  EXPECT_EQ(p.Contours().size(), 1u);
  EXPECT_TRUE(p.Contours()[0].empty());
  EXPECT_FALSE(p.Antialiased);
  EXPECT_EQ(p.SubSamples(), 8);
  EXPECT_TRUE(p.Closed);
  EXPECT_EQ(p.FillMode, PolyFillMode::pfAlternate);
  p.Add(ToFixedPoint(1, 2));
  p.NewLine();
  p.Add(ToFixedPoint(3, 4));
  EXPECT_EQ(p.Contours().size(), 2u);
  EXPECT_EQ(p.Contours()[1][0], (FixedPoint{3 << 16, 4 << 16}));
  p.Clear();
  EXPECT_EQ(p.Contours().size(), 1u);
  EXPECT_TRUE(p.Contours()[0].empty());
}

TEST(Polygon32, FillsAnIntegerSquareExactlyWithOrWithoutAntialiasing) {
  for (bool aa : {false, true}) {
    Bitmap32 bmp;
    Black(bmp);
    Polygon32 p;
    p.Antialiased = aa;
    AddAll(p, {{2, 3}, {7, 3}, {7, 6}, {2, 6}});
    p.DrawFill(bmp, kWhite);
    ExpectBlock(bmp, 2, 3, 7, 6, kWhite);
  }
  // Blended at the colour's alpha.
  Bitmap32 bmp;
  Black(bmp);
  Polygon32 p;
  AddAll(p, {{2, 3}, {7, 3}, {7, 6}, {2, 6}});
  const Color32 c = Rgba(255, 128, 0, 77);
  p.DrawFill(bmp, c);
  ExpectBlock(bmp, 2, 3, 7, 6, BlendPixel(c, kBlack, 77));
}

TEST(Polygon32, AntialiasingWeighsPartlyCoveredPixelsByTheirCoverage) {
  // A rectangle from 1 to 4.5 across and 2 to 5 along, lying or standing:
  // the pixels at 4 are half covered.
  for (bool standing : {false, true}) {
    auto at = [&](int32_t across, int32_t along) {
      return standing ? FixedPoint{along, across} : FixedPoint{across, along};
    };
    auto px = [&](const Bitmap32& bmp, int32_t across, int32_t along) {
      return RedOf(standing ? bmp.GetPixel(along, across) : bmp.GetPixel(across, along));
    };
    Polygon32 p;
    p.Antialiased = true;
    p.Add(at(Fixed(1), Fixed(2)));
    p.Add(at(Fixed(4) + 0x8000, Fixed(2)));
    p.Add(at(Fixed(4) + 0x8000, Fixed(5)));
    p.Add(at(Fixed(1), Fixed(5)));
    Bitmap32 bmp;
    Black(bmp);
    p.DrawFill(bmp, kWhite);
    for (int32_t along = 2; along < 5; ++along) {
      EXPECT_EQ(px(bmp, 3, along), 255) << standing;
      EXPECT_NEAR(px(bmp, 4, along), 128, 1) << standing;
      EXPECT_EQ(px(bmp, 5, along), 0) << standing;
    }
    // Without anti-aliasing the sample at the pixel middle (4.5) lies on
    // the edge and is left out.
    Bitmap32 plain;
    Black(plain);
    p.Antialiased = false;
    p.DrawFill(plain, kWhite);
    if (standing)
      ExpectBlock(plain, 2, 1, 5, 4, kWhite);
    else
      ExpectBlock(plain, 1, 2, 4, 5, kWhite);
  }

  // A diagonal edge through a pixel's corners covers about half of it.
  Bitmap32 tri;
  Black(tri);
  Polygon32 t;
  t.Antialiased = true;
  AddAll(t, {{0, 0}, {8, 0}, {0, 8}});
  t.DrawFill(tri, kWhite);
  EXPECT_NEAR(RedOf(tri.GetPixel(3, 4)), 128, 20);
  EXPECT_EQ(RedOf(tri.GetPixel(3, 3)), 255);
  EXPECT_EQ(RedOf(tri.GetPixel(4, 4)), 0);
}

TEST(Polygon32, SubSamplesFollowTheAntialiasMode) {
  const std::pair<uint8_t, int32_t> modes[] = {{0, 32}, {1, 16}, {2, 8}, {3, 4}, {4, 2}, {5, 1}, {200, 1}};
  for (auto [mode, samples] : modes) {
    Polygon32 p;
    p.AntialiasMode = mode;
    EXPECT_EQ(p.SubSamples(), samples) << int{mode};
  }
  // Right edge at x = 4.25: with 8 sub-samples 2 of column 4's 8 sub-columns
  // lie inside; with 2 none does (the first sits on the edge).
  Bitmap32 bmp;
  Black(bmp);
  Polygon32 p;
  p.Antialiased = true;
  p.Add(FixedPoint{Fixed(1), Fixed(2)});
  p.Add(FixedPoint{Fixed(4) + 0x4000, Fixed(2)});
  p.Add(FixedPoint{Fixed(4) + 0x4000, Fixed(5)});
  p.Add(FixedPoint{Fixed(1), Fixed(5)});
  p.DrawFill(bmp, kWhite);
  EXPECT_NEAR(RedOf(bmp.GetPixel(4, 3)), 64, 1);
  p.AntialiasMode = 4;
  Black(bmp);
  p.DrawFill(bmp, kWhite);
  EXPECT_EQ(RedOf(bmp.GetPixel(4, 3)), 0);
}

TEST(Polygon32, EvenOddLeavesAHoleWhereWindingFillsIt) {
  for (auto mode : {PolyFillMode::pfAlternate, PolyFillMode::pfWinding}) {
    Bitmap32 bmp;
    Black(bmp);
    Polygon32 p;
    p.FillMode = mode;
    AddAll(p, {{1, 1}, {9, 1}, {9, 9}, {1, 9}});
    p.NewLine();
    AddAll(p, {{3, 3}, {7, 3}, {7, 7}, {3, 7}});  // same turning direction
    p.DrawFill(bmp, kWhite);
    for (int32_t y = 0; y < 10; ++y)
      for (int32_t x = 0; x < 10; ++x) {
        const bool outer = x >= 1 && x < 9 && y >= 1 && y < 9;
        const bool hole = x >= 3 && x < 7 && y >= 3 && y < 7;
        const bool filled = outer && (mode == PolyFillMode::pfWinding || !hole);
        EXPECT_EQ(bmp.GetPixel(x, y), filled ? kWhite : kBlack) << x << "," << y;
      }
  }
}

TEST(Polygon32, ContoursOfFewerThanThreePointsAreSkipped) {
  Bitmap32 bmp;
  Black(bmp);
  Polygon32 p;
  AddAll(p, {{0, 0}, {9, 9}});
  p.DrawFill(bmp, kWhite);
  ExpectBlock(bmp, 0, 0, 0, 0, kWhite);
  // Next to a real contour, a two-point and an empty contour change nothing.
  p.NewLine();
  p.NewLine();
  AddAll(p, {{2, 2}, {5, 2}, {5, 4}, {2, 4}});
  p.NewLine();
  p.Add(ToFixedPoint(3, 0));
  p.DrawFill(bmp, kWhite);
  ExpectBlock(bmp, 2, 2, 5, 4, kWhite);
}

TEST(Polygon32, FillsOnlyInsideTheSurfaceAndItsClipRectangle) {
  for (bool aa : {false, true}) {
    Bitmap32 bmp;
    Black(bmp, 6, 6);
    Polygon32 p;
    p.Antialiased = aa;
    AddAll(p, {{-5, -5}, {3, -5}, {3, 2}, {-5, 2}});
    p.DrawFill(bmp, kWhite);
    ExpectBlock(bmp, 0, 0, 3, 2, kWhite);

    // Past every edge at once: the whole surface, nothing beyond it.
    Polygon32 huge;
    huge.Antialiased = aa;
    AddAll(huge, {{-30000, -30000}, {30000, -30000}, {30000, 30000}, {-30000, 30000}});
    Bitmap32 clipped;
    Black(clipped, 6, 6);
    clipped.SetClipRect(Rect{1, 2, 4, 6});
    huge.DrawFill(clipped, kWhite);
    ExpectBlock(clipped, 1, 2, 4, 6, kWhite);

    // Wholly outside: nothing at all.
    Bitmap32 none;
    Black(none, 6, 6);
    Polygon32 away;
    away.Antialiased = aa;
    AddAll(away, {{6, 0}, {20, 0}, {20, 6}, {6, 6}});
    away.DrawFill(none, kWhite);
    away.NewLine();
    AddAll(away, {{-9, -9}, {-1, -9}, {-1, 3}});
    away.DrawFill(none, kWhite);
    ExpectBlock(none, 0, 0, 0, 0, kWhite);
  }
  Bitmap32 empty;
  Polygon32 p;
  AddAll(p, {{0, 0}, {4, 0}, {4, 4}});
  p.DrawFill(empty, kWhite);
}

}  // namespace
}  // namespace lumevra
