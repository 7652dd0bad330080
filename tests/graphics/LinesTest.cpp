// Clipped pixels, horizontal and anti-aliased lines, and plain copies
// between surfaces.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>
#include <vector>

#include "graphics/Bitmap32.h"
#include "graphics/Blend.h"

namespace lumevra {
namespace {

const Color32 kBlack = Rgba(0, 0, 0);
const Color32 kWhite = Rgba(255, 255, 255);

struct Surface {
  Bitmap32 bmp;
  explicit Surface(int32_t w = 12, int32_t h = 12, Color32 c = kBlack) {
    bmp.SetSize(w, h);
    bmp.Clear(c);
  }
  // Pixels that are no longer black.
  std::set<std::pair<int32_t, int32_t>> Lit() const {
    std::set<std::pair<int32_t, int32_t>> lit;
    for (int32_t y = 0; y < bmp.Height(); ++y)
      for (int32_t x = 0; x < bmp.Width(); ++x)
        if (bmp.GetPixel(x, y) != kBlack) lit.insert({x, y});
    return lit;
  }
  int Red(int32_t x, int32_t y) const { return RedOf(bmp.GetPixel(x, y)); }
};

using Pixels = std::set<std::pair<int32_t, int32_t>>;

TEST(LineAntialiased, StraightAndDiagonalLinesAreOnePixelWide) {
  struct Case {
    int32_t x1, y1, x2, y2;
    bool last;
    Pixels want;
  };
  const std::vector<Case> cases = {
      {1, 2, 5, 2, false, {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
      {1, 2, 5, 2, true, {{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}},
      {5, 2, 1, 2, false, {{5, 2}, {4, 2}, {3, 2}, {2, 2}}},
      {3, 7, 3, 4, false, {{3, 7}, {3, 6}, {3, 5}}},
      {3, 4, 3, 7, true, {{3, 4}, {3, 5}, {3, 6}, {3, 7}}},
      {1, 1, 4, 4, false, {{1, 1}, {2, 2}, {3, 3}}},
      {6, 1, 2, 5, true, {{6, 1}, {5, 2}, {4, 3}, {3, 4}, {2, 5}}},
      {4, 4, 4, 4, false, {}},
      {4, 4, 4, 4, true, {{4, 4}}},
  };
  for (const Case& c : cases) {
    Surface s;
    s.bmp.LineAntialiased(c.x1, c.y1, c.x2, c.y2, kWhite, c.last);
    EXPECT_EQ(s.Lit(), c.want) << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2 << " last " << c.last;
    for (auto [x, y] : c.want) EXPECT_EQ(s.bmp.GetPixel(x, y), kWhite);
  }
}

TEST(LineAntialiased, BlendsAtTheColoursAlpha) {
  Surface s(8, 8, Rgba(100, 100, 100));
  const Color32 c = Rgba(200, 0, 50, 90);
  s.bmp.LineAntialiased(0, 3, 7, 3, c, true);
  EXPECT_EQ(s.bmp.GetPixel(4, 3), BlendPixel(c, Rgba(100, 100, 100), 90));
  EXPECT_EQ(s.bmp.GetPixel(4, 2), Rgba(100, 100, 100));
}

// White over black leaves each pixel's red equal to the alpha it received.
TEST(LineAntialiased, OtherSlopesSplitTheAlphaOverTwoPixelsAcrossTheMinorAxis) {
  Surface s;
  s.bmp.LineAntialiased(0, 0, 10, 5, kWhite, false);
  for (int32_t x = 0; x < 10; ++x) {
    int sum = 0;
    for (int32_t y = 0; y < 12; ++y) sum += s.Red(x, y);
    EXPECT_EQ(sum, 255) << "column " << x;
    if (x % 2 == 0) {
      EXPECT_EQ(s.Red(x, x / 2), 255);
    } else {
      // Half-way between two rows: half the alpha each.
      EXPECT_NEAR(s.Red(x, x / 2), 128, 1);
      EXPECT_NEAR(s.Red(x, x / 2 + 1), 128, 1);
    }
  }
  EXPECT_EQ(s.Red(10, 5), 0) << "last point not drawn";

  Surface last;
  last.bmp.LineAntialiased(0, 0, 10, 5, kWhite, true);
  EXPECT_EQ(last.Red(10, 5), 255);

  // Steep lines step along y and spread across x; at x = 8 2/3 column 9
  // gets two thirds of the alpha and column 8 one third.
  Surface steep;
  const Color32 half = Rgba(255, 255, 255, 180);
  steep.bmp.LineAntialiased(9, 0, 6, 9, half, false);
  for (int32_t y = 0; y < 9; ++y) {
    int sum = 0;
    for (int32_t x = 0; x < 12; ++x) sum += steep.Red(x, y);
    EXPECT_EQ(sum, 180) << "row " << y;
  }
  EXPECT_EQ(steep.Red(9, 0), 180);
  EXPECT_NEAR(steep.Red(9, 1), 120, 1);
  EXPECT_NEAR(steep.Red(8, 1), 60, 1);
  for (int32_t x = 0; x < 12; ++x) EXPECT_EQ(steep.Red(x, 9), 0);
}

TEST(LineAntialiased, DrawsOnlyInsideTheClipRectangle) {
  // Each line drawn once on the whole surface and once clipped: inside the
  // clip rectangle the pixels agree, outside the clipped one stays black.
  const std::vector<std::vector<int32_t>> lines = {
      {-5, 3, 20, 3}, {4, -8, 4, 30}, {-3, -3, 15, 15}, {-4, 1, 17, 8}, {2, -6, 9, 19}, {15, 2, -7, 11}};
  const Rect clip{2, 2, 8, 9};
  for (const auto& l : lines) {
    Surface whole, clipped;
    whole.bmp.LineAntialiased(l[0], l[1], l[2], l[3], kWhite, true);
    clipped.bmp.SetClipRect(clip);
    clipped.bmp.LineAntialiased(l[0], l[1], l[2], l[3], kWhite, true);
    bool anyInside = false;
    for (int32_t y = 0; y < 12; ++y)
      for (int32_t x = 0; x < 12; ++x) {
        const bool inside = x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
        EXPECT_EQ(clipped.bmp.GetPixel(x, y), inside ? whole.bmp.GetPixel(x, y) : kBlack)
            << l[0] << "," << l[1] << " -> " << l[2] << "," << l[3] << " at " << x << "," << y;
        anyInside |= inside && clipped.bmp.GetPixel(x, y) != kBlack;
      }
    EXPECT_TRUE(anyInside);
  }
}

TEST(LineAntialiased, LinesOutsideOrFarAwayDrawNothingOutsideAndFinish) {
  Surface s;
  s.bmp.LineAntialiased(-10, -10, -1, -3, kWhite, true);
  s.bmp.LineAntialiased(12, 0, 30, 11, kWhite, true);
  s.bmp.LineAntialiased(0, -1, 11, -1, kWhite, true);
  EXPECT_TRUE(s.Lit().empty());
  // The whole 32-bit range: only the visible steps are walked.
  s.bmp.LineAntialiased(INT32_MIN, 5, INT32_MAX, 5, kWhite, true);
  s.bmp.LineAntialiased(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, kWhite, true);
  s.bmp.LineAntialiased(INT32_MIN, 0, INT32_MAX, 7, kWhite, true);
  for (int32_t x = 0; x < 12; ++x) EXPECT_NE(s.bmp.GetPixel(x, 5), kBlack);
  // An empty surface takes any line.
  Bitmap32 empty;
  empty.LineAntialiased(0, 0, 5, 3, kWhite, true);
}

TEST(HorzLineClipped, BlendsBothEndsInclusiveAfterClipping) {
  Surface s;
  const Color32 c = Rgba(255, 255, 255, 128);
  s.bmp.HorzLineClipped(3, 4, 6, c);
  s.bmp.HorzLineClipped(9, 5, 7, c);  // either order
  s.bmp.HorzLineClipped(-100, 6, 100, c);
  s.bmp.HorzLineClipped(0, -1, 11, c);
  s.bmp.HorzLineClipped(0, 12, 11, c);
  Pixels want = {{3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 5}, {8, 5}, {9, 5}};
  for (int32_t x = 0; x < 12; ++x) want.insert({x, 6});
  EXPECT_EQ(s.Lit(), want);
  EXPECT_EQ(s.bmp.GetPixel(3, 4), BlendPixel(c, kBlack, 128));

  Surface clipped;
  clipped.bmp.SetClipRect(Rect{2, 0, 5, 12});
  clipped.bmp.HorzLineClipped(0, 1, 11, kWhite);
  EXPECT_EQ(clipped.Lit(), (Pixels{{2, 1}, {3, 1}, {4, 1}}));
}

TEST(BlendPixelClipped, BlendsInsideAndSkipsOutside) {
  Surface s(4, 4, Rgba(0, 0, 200));
  const Color32 c = Rgba(250, 0, 0, 51);
  s.bmp.SetClipRect(Rect{1, 1, 3, 3});
  for (auto [x, y] : std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {-1, 2}, {4, 2}, {2, 3}, {1, 1}, {2, 2}})
    s.bmp.BlendPixelClipped(x, y, c);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) {
      const bool hit = (x == 1 && y == 1) || (x == 2 && y == 2);
      EXPECT_EQ(s.bmp.GetPixel(x, y), hit ? BlendPixel(c, Rgba(0, 0, 200), 51) : Rgba(0, 0, 200));
    }
}

// A w x h source whose pixel (x, y) is Rgba(x, y, 7, 0): alpha 0 so a
// blending copy would show.
void Indexed(Bitmap32& bmp, int32_t w, int32_t h) {
  bmp.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) bmp.SetPixel(x, y, Rgba(x, y, 7, 0));
}

TEST(DrawFrom, CopiesTheRectangleAsItIsIgnoringDrawingProperties) {
  Bitmap32 src;
  Indexed(src, 20, 20);
  src.Mode = DrawMode::dmBlend;
  src.SetMasterAlpha(0);
  Surface s(6, 5, kWhite);
  s.bmp.DrawFrom(Rect{0, 0, 6, 5}, Rect{3, 4, 9, 9}, src);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(s.bmp.GetPixel(x, y), Rgba(3 + x, 4 + y, 7, 0));
}

TEST(DrawFrom, SkipsWhatLiesOutsideTheSourceOrTheClipRectangle) {
  Bitmap32 src;
  Indexed(src, 4, 4);
  Surface s(6, 6, kWhite);
  s.bmp.SetClipRect(Rect{0, 0, 5, 6});
  // Source rectangle hangs over the source's top-left; target over the right.
  s.bmp.DrawFrom(Rect{2, 1, 8, 7}, Rect{-2, -1, 4, 5}, src);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x) {
      const int32_t sx = x - 4, sy = y - 2;
      const bool copied = x < 5 && sx >= 0 && sy >= 0 && sy < 4;
      EXPECT_EQ(s.bmp.GetPixel(x, y), copied ? Rgba(sx, sy, 7, 0) : kWhite) << x << "," << y;
    }
  // Wholly outside the source: nothing.
  Surface untouched(4, 4, kWhite);
  untouched.bmp.DrawFrom(Rect{0, 0, 4, 4}, Rect{10, 10, 14, 14}, src);
  untouched.bmp.DrawFrom(Rect{-10, 0, -6, 4}, Rect{0, 0, 4, 4}, src);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(untouched.bmp.GetPixel(x, y), kWhite);
  // A target rectangle spanning the whole 32-bit range maps its middle
  // onto the source's middle without overflowing.
  untouched.bmp.DrawFrom(Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, Rect{0, 0, 4, 4}, src);
  EXPECT_EQ(untouched.bmp.GetPixel(0, 0), Rgba(2, 2, 7, 0));
}

TEST(DrawFrom, StretchesByNearestPixelAndCopiesFromItself) {
  Bitmap32 src;
  Indexed(src, 3, 2);
  Surface s(6, 4);
  s.bmp.DrawFrom(Rect{0, 0, 6, 4}, Rect{0, 0, 3, 2}, src);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(s.bmp.GetPixel(x, y), Rgba(x / 2, y / 2, 7, 0));

  Bitmap32 self;
  Indexed(self, 4, 1);
  self.DrawFrom(Rect{1, 0, 4, 1}, Rect{0, 0, 3, 1}, self);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(self.GetPixel(x, 0), Rgba(x == 0 ? 0 : x - 1, 0, 7, 0));
}

}  // namespace
}  // namespace lumevra
