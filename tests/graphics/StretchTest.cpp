// Stretched drawing: the nearest, box and bilinear resamplers and the alpha
// that dmCustom hands over while stretching.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "graphics/Bitmap32.h"
#include "graphics/Resamplers.h"

namespace lumevra {
namespace {

// A surface w x h from red values (row by row); green 0, blue 9, alpha 255.
void FromReds(Bitmap32& bmp, int32_t w, int32_t h, const std::vector<uint8_t>& reds) {
  bmp.SetSize(w, h);
  for (int32_t i = 0; i < w * h; ++i) bmp.Bits()[i] = Rgba(reds[static_cast<size_t>(i)], 0, 9);
}

std::vector<int> Reds(const Bitmap32& bmp) {
  std::vector<int> out;
  for (int32_t i = 0; i < bmp.Width() * bmp.Height(); ++i) out.push_back(RedOf(bmp.Bits()[i]));
  return out;
}

TEST(NearestIndex, TruncatedRatioAndTheMiddleForOnePixel) {
  struct Case {
    int32_t src, dst;
    std::vector<int32_t> want;
  };
  const Case cases[] = {
      {4, 8, {0, 0, 1, 1, 2, 2, 3, 3}},
      {8, 3, {0, 2, 5}},
      {3, 4, {0, 0, 1, 2}},
      {5, 1, {2}},
      {4, 1, {2}},
      {1, 3, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    std::vector<int32_t> got;
    for (int32_t i = 0; i < c.dst; ++i) got.push_back(NearestIndex(i, c.src, c.dst));
    EXPECT_EQ(got, c.want) << c.src << " -> " << c.dst;
  }
}

// The ratio is single precision, the product with the column is not
// rounded again: 2 / 50 is 0.039999999105930328 as a float, and 25 times it
// is 0.99999997764825821, which truncates to 0 (rounded to a float first,
// it would be 1.0). The same for 10 / 12 at 6 (4.99999988 -> 4) and
// 9 / 57 at 19 and 38 (2.99999988 -> 2, 5.99999976 -> 5).
TEST(NearestIndex, TheProductIsNotRoundedToSinglePrecision) {
  struct Case {
    int32_t src, dst, i, want;
  };
  const Case cases[] = {
      {2, 50, 24, 0}, {2, 50, 25, 0}, {2, 50, 26, 1}, {2, 58, 29, 0}, {4, 50, 25, 1},
      {10, 12, 6, 4}, {9, 57, 19, 2}, {9, 57, 38, 5},  {6, 38, 19, 2},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NearestIndex(c.i, c.src, c.dst), c.want) << c.src << " -> " << c.dst << " at " << c.i;
}

// The same through a drawing: two columns stretched to fifty with the
// nearest filter give 26 columns of the first (0 .. 25) and 24 of the second.
TEST(NearestStretch, TwoColumnsToFifty) {
  Bitmap32 source, target;
  FromReds(source, 2, 1, {10, 20});
  target.SetSize(50, 1);
  target.Clear(0);
  source.Filter = StretchFilter::sfNearest;
  target.DrawStretched(Rect{0, 0, 50, 1}, Rect{0, 0, 2, 1}, source);
  std::vector<int> want(26, 10);
  want.resize(50, 20);
  EXPECT_EQ(Reds(target), want);
}

TEST(BoxSpan, BoxesInFixedPoint) {
  auto spans = [](int32_t src, int32_t dst) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (int32_t i = 0; i < dst; ++i) {
      const BoxSpan s = BoxSpanAt(i, src, dst);
      out.emplace_back(s.first, s.last);
    }
    return out;
  };
  EXPECT_EQ(spans(4, 2), (std::vector<std::pair<int32_t, int32_t>>{{0, 2}, {2, 4}}));
  EXPECT_EQ(spans(3, 2), (std::vector<std::pair<int32_t, int32_t>>{{0, 1}, {1, 3}}));
  EXPECT_EQ(spans(5, 1), (std::vector<std::pair<int32_t, int32_t>>{{0, 5}}));
}

TEST(LinearTap, CentresClampedAtTheEdges) {
  auto taps = [](int32_t src, int32_t dst) {
    std::vector<std::tuple<int32_t, int32_t, uint32_t>> out;
    for (int32_t i = 0; i < dst; ++i) {
      const LinearTap t = LinearTapAt(i, src, dst);
      out.emplace_back(t.first, t.second, t.weight);
    }
    return out;
  };
  using T = std::vector<std::tuple<int32_t, int32_t, uint32_t>>;
  EXPECT_EQ(taps(2, 4), (T{{0, 1, 0}, {0, 1, 64}, {0, 1, 192}, {1, 1, 0}}));
  EXPECT_EQ(taps(1, 3), (T{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
}

TEST(DrawStretchedNearest, ReplicatesAndPicksTheMiddleForOnePixelTargets) {
  Bitmap32 src;
  FromReds(src, 4, 1, {10, 20, 30, 40});
  Bitmap32 dst;
  dst.SetSize(8, 1);
  dst.DrawStretched(Rect{0, 0, 8, 1}, Rect{0, 0, 4, 1}, src);
  EXPECT_EQ(Reds(dst), (std::vector<int>{10, 10, 20, 20, 30, 30, 40, 40}));

  Bitmap32 grid;
  FromReds(grid, 5, 3, {0, 1, 2, 3, 4, 10, 11, 12, 13, 14, 20, 21, 22, 23, 24});
  Bitmap32 one;
  one.SetSize(1, 1);
  grid.DrawToStretched(one, Rect{0, 0, 1, 1}, Rect{0, 0, 5, 3});
  EXPECT_EQ(RedOf(one.GetPixel(0, 0)), 12);
  // A one-pixel-wide column of the target takes the middle column of the source rectangle.
  Bitmap32 column;
  column.SetSize(1, 3);
  column.DrawStretched(Rect{0, 0, 1, 3}, Rect{1, 0, 5, 3}, grid);
  EXPECT_EQ(Reds(column), (std::vector<int>{3, 13, 23}));
}

TEST(DrawStretchedNearest, DrawsOnlyTheVisiblePartOfTheTargetRectangle) {
  Bitmap32 src;
  FromReds(src, 2, 1, {50, 60});
  Bitmap32 dst;
  dst.SetSize(3, 1);
  dst.Clear(Rgba(1, 0, 0));
  dst.DrawStretched(Rect{-2, 0, 2, 1}, Rect{0, 0, 2, 1}, src);
  EXPECT_EQ(Reds(dst), (std::vector<int>{60, 60, 1}));
  // A target rectangle far larger than any surface still maps column by column.
  dst.DrawStretched(Rect{INT32_MIN, 0, INT32_MAX, 1}, Rect{0, 0, 2, 1}, src);
  EXPECT_EQ(Reds(dst), (std::vector<int>{60, 60, 60}));
}

TEST(DrawStretchedDraft, ShrinkingAveragesEachBox) {
  Bitmap32 src;
  // 4 x 4 in 2 x 2 blocks of reds.
  FromReds(src, 4, 4, {10, 20, 0, 0,  //
                       30, 41, 0, 255,  //
                       100, 100, 7, 8,  //
                       100, 102, 9, 10});
  src.Filter = StretchFilter::sfDraft;
  Bitmap32 dst;
  dst.SetSize(2, 2);
  dst.DrawStretched(Rect{0, 0, 2, 2}, Rect{0, 0, 4, 4}, src);
  // 101 / 4 = 25.25, 255 / 4 = 63.75, 402 / 4 = 100.5, 34 / 4 = 8.5 (to nearest, halves up).
  EXPECT_EQ(Reds(dst), (std::vector<int>{25, 64, 101, 9}));
  EXPECT_EQ(dst.GetPixel(0, 0), Rgba(25, 0, 9, 255));

  // 3 -> 2 columns: boxes [0, 1) and [1, 3).
  Bitmap32 row;
  FromReds(row, 3, 2, {10, 20, 40, 10, 20, 40});
  row.Filter = StretchFilter::sfDraft;
  Bitmap32 half;
  half.SetSize(2, 1);
  half.DrawStretched(Rect{0, 0, 2, 1}, Rect{0, 0, 3, 2}, row);
  EXPECT_EQ(Reds(half), (std::vector<int>{10, 30}));
}

TEST(DrawStretchedDraft, EnlargingInterpolatesBilinearly) {
  Bitmap32 src;
  FromReds(src, 2, 2, {0, 100, 200, 40});
  src.Filter = StretchFilter::sfDraft;
  Bitmap32 dst;
  dst.SetSize(4, 4);
  dst.DrawStretched(Rect{0, 0, 4, 4}, Rect{0, 0, 2, 2}, src);
  // Columns sit at 0, 1/4, 3/4, 1 between the two source columns; rows alike.
  // Between the top 0, 25, 75, 100 and the bottom 200, 160, 80, 40:
  // a quarter down 50, 58.75, 76.25, 85; three quarters 150, 126.25, 78.75, 55.
  EXPECT_EQ(Reds(dst), (std::vector<int>{0, 25, 75, 100,  //
                                         50, 59, 76, 85,  //
                                         150, 126, 79, 55,  //
                                         200, 160, 80, 40}));
  // Wider but lower: not shrinking in both directions, so bilinear too.
  Bitmap32 wide;
  FromReds(wide, 2, 2, {0, 100, 0, 100});
  wide.Filter = StretchFilter::sfDraft;
  Bitmap32 flat;
  flat.SetSize(4, 1);
  flat.DrawStretched(Rect{0, 0, 4, 1}, Rect{0, 0, 2, 2}, wide);
  EXPECT_EQ(Reds(flat), (std::vector<int>{0, 25, 75, 100}));
}

TEST(DrawStretched, InvalidSourceRectangle) {
  Bitmap32 src, dst;
  src.SetSize(4, 4);
  dst.SetSize(8, 8);
  for (const Rect& bad : {Rect{-1, 0, 3, 4}, Rect{0, 0, 5, 4}, Rect{0, 1, 4, 5}, Rect{2, 2, 2, 4},
                           Rect{3, 0, 1, 4}}) {
    try {
      dst.DrawStretched(Rect{0, 0, 8, 8}, bad, src);
      ADD_FAILURE() << "no exception for " << bad.Left << "," << bad.Top << "," << bad.Right << "," << bad.Bottom;
    } catch (const BitmapError& e) {
      EXPECT_EQ(std::string(e.what()), "Invalid SrcRect");
    }
  }
  // At equal sizes it is a plain draw of the part inside the source.
  FromReds(src, 2, 1, {5, 6});
  dst.SetSize(2, 1);
  dst.DrawStretched(Rect{0, 0, 2, 1}, Rect{1, 0, 3, 1}, src);
  EXPECT_EQ(Reds(dst), (std::vector<int>{6, 0}));
  // An empty target rectangle or surface draws nothing, checked or not.
  EXPECT_NO_THROW(dst.DrawStretched(Rect{0, 0, 0, 5}, Rect{0, 0, 9, 9}, src));
  Bitmap32 empty;
  EXPECT_NO_THROW(empty.DrawStretched(Rect{0, 0, 3, 3}, Rect{0, 0, 9, 9}, src));
}

TEST(DrawStretched, CombinesEachResampledPixelByTheDrawMode) {
  Bitmap32 src;
  FromReds(src, 1, 1, {200});
  src.Mode = DrawMode::dmBlend;
  src.SetMasterAlpha(128);
  Bitmap32 dst;
  dst.SetSize(2, 2);
  dst.Clear(Rgba(0, 0, 9));
  dst.DrawStretched(Rect{0, 0, 2, 2}, Rect{0, 0, 1, 1}, src);
  EXPECT_EQ(Reds(dst), (std::vector<int>{100, 100, 100, 100}));
  src.SetMasterAlpha(0);
  dst.Clear(Rgba(3, 0, 9));
  dst.DrawStretched(Rect{0, 0, 2, 2}, Rect{0, 0, 1, 1}, src);
  EXPECT_EQ(Reds(dst), (std::vector<int>{3, 3, 3, 3}));
}

// Records what a dmCustom source hands to its handlers while stretched.
struct CustomProbe {
  std::vector<std::pair<int32_t, int32_t>> asked;
  std::vector<uint32_t> alphas;

  void Install(Bitmap32& src) {
    src.Mode = DrawMode::dmCustom;
    src.SetMasterAlpha(99);
    src.OnPixelAlpha = [this](int32_t x, int32_t y, uint32_t& a) {
      asked.emplace_back(x, y);
      a = static_cast<uint32_t>(10 * x + y);
    };
    src.OnPixelCombine = [this](Color32 F, Color32& B, uint32_t a) {
      alphas.push_back(a);
      B = F;
    };
  }
};

using Positions = std::vector<std::pair<int32_t, int32_t>>;

TEST(DrawStretchedCustom, NearestHandsOverMasterAlphaOnly) {
  Bitmap32 src, dst;
  src.SetSize(2, 2);
  CustomProbe probe;
  probe.Install(src);
  dst.SetSize(4, 4);
  dst.DrawStretched(Rect{0, 0, 4, 4}, Rect{0, 0, 2, 2}, src);
  EXPECT_TRUE(probe.asked.empty());
  EXPECT_EQ(probe.alphas, std::vector<uint32_t>(16, 99));
}

TEST(DrawStretchedCustom, DraftAsksAtSourcePositions) {
  {
    SCOPED_TRACE("shrinking 4 x 4 to 2 x 2");
    Bitmap32 src, dst;
    src.SetSize(4, 4);
    src.Filter = StretchFilter::sfDraft;
    CustomProbe probe;
    probe.Install(src);
    dst.SetSize(2, 2);
    dst.DrawStretched(Rect{0, 0, 2, 2}, Rect{0, 0, 4, 4}, src);
    EXPECT_EQ(probe.asked, (Positions{{0, 0}, {2, 0}, {0, 2}, {2, 2}}));
    EXPECT_EQ(probe.alphas, (std::vector<uint32_t>{0, 20, 2, 22}));
  }
  {
    SCOPED_TRACE("enlarging 2 x 2 to 4 x 4, left half clipped away");
    Bitmap32 src, dst;
    src.SetSize(2, 2);
    src.Filter = StretchFilter::sfDraft;
    CustomProbe probe;
    probe.Install(src);
    dst.SetSize(3, 4);
    // Drawn columns 0..1 of the target; counted from the drawn area.
    dst.DrawStretched(Rect{-2, 0, 2, 4}, Rect{0, 0, 2, 2}, src);
    EXPECT_EQ(probe.asked, (Positions{{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 1}, {0, 1}, {0, 1}, {0, 1}}));
  }
  {
    SCOPED_TRACE("a source one pixel wide uses master alpha");
    Bitmap32 src, dst;
    src.SetSize(1, 3);
    src.Filter = StretchFilter::sfDraft;
    CustomProbe probe;
    probe.Install(src);
    dst.SetSize(2, 6);
    dst.DrawStretched(Rect{0, 0, 2, 6}, Rect{0, 0, 1, 3}, src);
    EXPECT_TRUE(probe.asked.empty());
    EXPECT_EQ(probe.alphas, std::vector<uint32_t>(12, 99));
  }
}

TEST(DrawStretched, OntoItselfWorksFromTheOriginalPixels) {
  Bitmap32 bmp;
  FromReds(bmp, 4, 1, {10, 20, 30, 40});
  bmp.DrawStretched(Rect{0, 0, 4, 1}, Rect{0, 0, 2, 1}, bmp);
  EXPECT_EQ(Reds(bmp), (std::vector<int>{10, 10, 20, 20}));
}

}  // namespace
}  // namespace lumevra

namespace lumevra {
namespace {

TEST(BilinearPixel, MatchesTheReferenceForAllWeights) {
  const Color32 corners[][4] = {
      {0xFF000000u, 0x00FFFFFFu, 0x80808080u, 0x7F7F7F7Fu},
      {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu},
      {0x01020304u, 0xFEFDFCFBu, 0x10203040u, 0xC0B0A090u},
  };
  for (const auto& c : corners)
    for (uint32_t wx = 0; wx < 256; wx += 5)
      for (uint32_t wy = 0; wy < 256; wy += 3)
        ASSERT_EQ(BilinearPixel(c[0], c[1], c[2], c[3], wx, wy), BilinearPixelReference(c[0], c[1], c[2], c[3], wx, wy))
            << wx << "," << wy;
}

}  // namespace
}  // namespace lumevra
