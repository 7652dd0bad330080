#include <gtest/gtest.h>

#include <vector>

#include "graphics/FastBitmap.h"

namespace lumevra {
namespace {

// Fills the picture from blue values, row table order (row 0 first); green
// 0 and red 7 everywhere.
void FromBlues(FastBitmap& bmp, int32_t w, int32_t h, const std::vector<int>& blues) {
  bmp.SetSize(w, h);
  for (int32_t i = 0; i < h; ++i)
    for (int32_t j = 0; j < w; ++j) {
      uint8_t* p = bmp.Row(i) + 3 * j;
      p[0] = static_cast<uint8_t>(blues[static_cast<size_t>(i * w + j)]);
      p[1] = 0;
      p[2] = 7;
    }
}

// The blue bytes in row table order; fails when green or red moved.
std::vector<int> Blues(const FastBitmap& bmp) {
  std::vector<int> out;
  for (int32_t i = 0; i < bmp.Height(); ++i)
    for (int32_t j = 0; j < bmp.Width(); ++j) {
      const uint8_t* p = bmp.Row(i) + 3 * j;
      EXPECT_EQ(p[1], 0);
      EXPECT_EQ(p[2], 7);
      out.push_back(p[0]);
    }
  return out;
}

TEST(FastBitmap, RowGeometry) {
  struct Case {
    int32_t width, rowSize, gap;
  };
  for (const Case& c : {Case{1, 4, 1}, Case{2, 8, 2}, Case{3, 12, 3}, Case{4, 12, 0}, Case{5, 16, 1}}) {
    FastBitmap bmp;
    bmp.SetSize(c.width, 3);
    EXPECT_EQ(bmp.RowSize(), c.rowSize) << c.width;
    EXPECT_EQ(bmp.Gap(), c.gap) << c.width;
    EXPECT_EQ(bmp.Size(), 3 * c.rowSize);
    EXPECT_EQ(bmp.Row(2), bmp.Bits() + 2 * c.rowSize);
  }
  FastBitmap bmp;
  bmp.SetSize(0, 9);
  EXPECT_EQ(bmp.Width(), 0);
  EXPECT_EQ(bmp.Height(), 0);
  EXPECT_EQ(bmp.Size(), 0);
  EXPECT_THROW(bmp.SetSize(1 << 20, 1 << 20), BitmapError);
}

TEST(FastBitmap, SetSizeToTheSameSizeKeepsThePixels) {
  FastBitmap bmp;
  FromBlues(bmp, 2, 1, {5, 6});
  bmp.SetSize(2, 1);
  EXPECT_EQ(Blues(bmp), (std::vector<int>{5, 6}));
}

TEST(FastBitmap, LoadsBottomUpAndDrawsBackOpaque) {
  Bitmap32 pic;
  pic.SetSize(2, 2);
  pic.SetPixel(0, 0, Rgba(1, 2, 3, 0));  // top row
  pic.SetPixel(1, 0, Rgba(4, 5, 6, 9));
  pic.SetPixel(0, 1, Rgba(7, 8, 9, 255));  // bottom row
  pic.SetPixel(1, 1, Rgba(10, 11, 12, 0));
  FastBitmap fast;
  fast.LoadFrom(pic);
  ASSERT_EQ(fast.Width(), 2);
  // Row 0 is the picture's bottom row, bytes blue, green, red.
  const uint8_t* bottom = fast.Row(0);
  EXPECT_EQ((std::vector<int>{bottom[0], bottom[1], bottom[2], bottom[3], bottom[4], bottom[5]}),
            (std::vector<int>{9, 8, 7, 12, 11, 10}));
  EXPECT_EQ(fast.Row(1)[2], 1);

  Bitmap32 back;
  back.SetSize(3, 3);
  fast.DrawTo(back, 1, 1);
  EXPECT_EQ(back.GetPixel(0, 0), 0u);
  EXPECT_EQ(back.GetPixel(1, 1), Rgba(1, 2, 3, 255));
  EXPECT_EQ(back.GetPixel(2, 1), Rgba(4, 5, 6, 255));
  EXPECT_EQ(back.GetPixel(1, 2), Rgba(7, 8, 9, 255));
  EXPECT_EQ(back.GetPixel(2, 2), Rgba(10, 11, 12, 255));
  // Partly outside: only the overlap.
  Bitmap32 small;
  small.SetSize(1, 1);
  fast.DrawTo(small, -1, -1);
  EXPECT_EQ(small.GetPixel(0, 0), Rgba(10, 11, 12, 255));
}

TEST(SmoothResize, FixedPointBilinear) {
  FastBitmap src, dst;
  FromBlues(src, 3, 2, {0, 255, 60, 100, 200, 30});
  dst.SetSize(4, 3);
  src.SmoothResize(dst);
  // Steps 2 * 32768 div 4 = 16384 across and 32768 div 3 = 10922 down.
  EXPECT_EQ(Blues(dst), (std::vector<int>{0, 127, 255, 157,  //
                                          33, 134, 236, 143,  //
                                          66, 142, 218, 129}));
}

TEST(SmoothResize, OneRowSourceStaysOnItsRow) {
  FastBitmap src, dst;
  FromBlues(src, 3, 1, {10, 200, 60});
  dst.SetSize(5, 2);
  src.SmoothResize(dst);
  EXPECT_EQ(Blues(dst), (std::vector<int>{10, 85, 161, 172, 116, 10, 85, 161, 172, 116}));
}

TEST(SmoothResize, EqualSizesCopyAndEmptyTargetsAreIgnored) {
  FastBitmap src, dst;
  FromBlues(src, 3, 2, {1, 2, 3, 4, 5, 6});
  dst.SetSize(3, 2);
  src.SmoothResize(dst);
  EXPECT_EQ(Blues(dst), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  FastBitmap empty;
  EXPECT_NO_THROW(src.SmoothResize(empty));
  EXPECT_NO_THROW(empty.SmoothResize(dst));
  EXPECT_EQ(Blues(dst), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST(SmoothResize, OnePixelWideSourceIsReplicated) {
  FastBitmap src, dst;
  FromBlues(src, 1, 2, {10, 20});
  dst.SetSize(3, 4);
  src.SmoothResize(dst);
  EXPECT_EQ(Blues(dst), (std::vector<int>{10, 10, 10, 10, 10, 10, 20, 20, 20, 20, 20, 20}));
}

TEST(SimpleResize, BlocksWhenEnlarging) {
  struct Case {
    int32_t sw, sh;
    std::vector<int> in;
    int32_t tw, th;
    std::vector<int> want;
  };
  const Case cases[] = {
      // Blocks of Round(sx + 0.5) = Round(3.5) = 4 rows overlap: the later row wins.
      {1, 2, {10, 20}, 2, 6, {10, 10, 10, 10, 10, 10, 20, 20, 20, 20, 20, 20}},
      // sx = 1.5: blocks of 2 columns at 0 and 1.
      {2, 2, {1, 2, 3, 4}, 3, 3, {1, 2, 2, 3, 4, 4, 3, 4, 4}},
      {1, 1, {9}, 2, 2, {9, 9, 9, 9}},
      // sy = 10 / 6 = 1.66666663 as a float, blocks of Round(2.1667) = 2 rows;
      // row 3 starts at Trunc(3 x 1.66666663) = Trunc(4.99999988) = 4, not at
      // the 5 that a product rounded to single precision would give.
      {1, 6, {1, 2, 3, 4, 5, 6}, 1, 10, {1, 2, 2, 3, 4, 4, 5, 5, 6, 6}},
  };
  for (const Case& c : cases) {
    FastBitmap src, dst;
    FromBlues(src, c.sw, c.sh, c.in);
    dst.SetSize(c.tw, c.th);
    src.SimpleResize(dst);
    EXPECT_EQ(Blues(dst), c.want) << c.sw << "x" << c.sh << " -> " << c.tw << "x" << c.th;
  }
}

TEST(SimpleResize, NearestWhenNotEnlargingBothWays) {
  struct Case {
    int32_t sw, sh;
    std::vector<int> in;
    int32_t tw, th;
    std::vector<int> want;
  };
  const Case cases[] = {
      {4, 1, {1, 2, 3, 4}, 2, 1, {1, 3}},
      {3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 2, 2, {1, 2, 4, 5}},
      {1, 4, {1, 2, 3, 4}, 3, 2, {1, 1, 1, 3, 3, 3}},
  };
  for (const Case& c : cases) {
    FastBitmap src, dst;
    FromBlues(src, c.sw, c.sh, c.in);
    dst.SetSize(c.tw, c.th);
    src.SimpleResize(dst);
    EXPECT_EQ(Blues(dst), c.want) << c.sw << "x" << c.sh << " -> " << c.tw << "x" << c.th;
  }
}

}  // namespace
}  // namespace lumevra
