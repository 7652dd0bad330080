// Drawing one surface onto another at its own size: the four draw modes,
// clipping and the degenerate surfaces.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

#include "graphics/Bitmap32.h"

namespace lumevra {
namespace {

const Color32 kBack = Rgba(1, 2, 3, 255);

Bitmap32& Filled(Bitmap32& bmp, int32_t w, int32_t h, Color32 c) {
  bmp.SetSize(w, h);
  bmp.Clear(c);
  return bmp;
}

// A w x h source whose pixel (x, y) is Rgba(10 + x, 20 + y, 0, alpha).
void Indexed(Bitmap32& bmp, int32_t w, int32_t h, uint8_t alpha = 255) {
  bmp.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) bmp.SetPixel(x, y, Rgba(10 + x, 20 + y, 0, alpha));
}

// Expects target pixel (x, y) to hold source pixel (x - ox, y - oy) where
// that lies in the source and inside `drawn`, and kBack elsewhere.
void ExpectPlaced(const Bitmap32& target, const Bitmap32& source, int32_t ox, int32_t oy, const Rect& drawn) {
  for (int32_t y = 0; y < target.Height(); ++y)
    for (int32_t x = 0; x < target.Width(); ++x) {
      const bool inside = x >= drawn.Left && x < drawn.Right && y >= drawn.Top && y < drawn.Bottom &&
                          x - ox >= 0 && x - ox < source.Width() && y - oy >= 0 && y - oy < source.Height();
      const Color32 want = inside ? source.GetPixel(x - ox, y - oy) : kBack;
      EXPECT_EQ(target.GetPixel(x, y), want) << "at " << x << "," << y;
    }
}

TEST(DrawOpaque, DrawsOnlyTheOverlapAtAnyPosition) {
  Bitmap32 src;
  Indexed(src, 3, 2, 17);  // alpha is copied as it is
  const Rect whole{0, 0, 5, 4};
  for (auto [x, y] : std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {-2, 0}, {3, 3}, {-1, -1}, {0, 2}, {5, 0}, {-3, 0}}) {
    Bitmap32 dst;
    Filled(dst, 5, 4, kBack);
    dst.Draw(x, y, src);
    ExpectPlaced(dst, src, x, y, whole);
  }
}

TEST(DrawOpaque, TheTargetsClipRectLimitsTheDrawing) {
  Bitmap32 src, dst;
  Indexed(src, 4, 4);
  Filled(dst, 5, 5, kBack);
  dst.SetClipRect(Rect{1, 2, 3, 5});
  dst.Draw(0, 0, src);
  ExpectPlaced(dst, src, 0, 0, Rect{1, 2, 3, 5});
  // DrawTo is the same seen from the source.
  Bitmap32 other;
  Filled(other, 5, 5, kBack);
  other.SetClipRect(Rect{1, 2, 3, 5});
  src.DrawTo(other, 0, 0);
  ExpectPlaced(other, src, 0, 0, Rect{1, 2, 3, 5});
}

TEST(DrawOpaque, EmptySurfacesAndFarPositionsDrawNothing) {
  Bitmap32 src, dst, empty;
  Indexed(src, 2, 2);
  Filled(dst, 3, 3, kBack);
  empty.SetSize(0, 7);
  dst.Draw(0, 0, empty);
  empty.Draw(0, 0, src);
  for (auto [x, y] : std::vector<std::pair<int32_t, int32_t>>{
           {INT32_MAX, 0}, {INT32_MAX - 1, 0}, {INT32_MIN, 0}, {0, INT32_MIN}, {0, INT32_MAX}})
    dst.Draw(x, y, src);
  ExpectPlaced(dst, src, 100, 100, Rect{});
  EXPECT_TRUE(empty.Empty());
}

TEST(DrawOpaque, DrawingASurfaceOntoItselfReadsTheOriginalPixels) {
  Bitmap32 bmp;
  Indexed(bmp, 4, 1);
  Bitmap32 before;
  before.Assign(bmp);
  bmp.Draw(1, 0, bmp);
  EXPECT_EQ(bmp.GetPixel(0, 0), before.GetPixel(0, 0));
  for (int32_t x = 1; x < 4; ++x) EXPECT_EQ(bmp.GetPixel(x, 0), before.GetPixel(x - 1, 0));
}

TEST(DrawBlend, MasterAlphaAndPixelAlpha) {
  const Color32 B = Rgba(0, 200, 100, 255);
  struct Case {
    uint8_t master;
    uint8_t pixelAlpha;
    Color32 want;
  };
  const Case cases[] = {
      {0, 255, B},                                // master alpha 0 draws nothing
      {0, 0, B},
      {255, 0, B},                                // a transparent pixel leaves the target
      {255, 255, Rgba(200, 0, 100, 255)},      // opaque pixel at full master alpha: the source
      {255, 128, Rgba(100, 100, 100, 255)},    // pixel alpha alone
      {128, 255, Rgba(100, 100, 100, 255)},    // master alpha alone
      {128, 128, Rgba(50, 150, 100, 255)},     // a = 128 * 128 / 255 = 64
  };
  for (const Case& c : cases) {
    Bitmap32 src, dst;
    Filled(src, 2, 2, Rgba(200, 0, 100, c.pixelAlpha));
    src.Mode = DrawMode::dmBlend;
    src.SetMasterAlpha(c.master);
    Filled(dst, 3, 3, B);
    dst.Draw(1, 1, src);
    EXPECT_EQ(dst.GetPixel(0, 0), B);
    EXPECT_EQ(dst.GetPixel(2, 2), c.want) << "master " << +c.master << " pixel alpha " << +c.pixelAlpha;
  }
}

TEST(DrawTransparent, SkipsTheOuterColourOnly) {
  Bitmap32 src, dst;
  Indexed(src, 3, 1);
  src.Mode = DrawMode::dmTransparent;
  src.OuterColor = src.GetPixel(1, 0);
  Filled(dst, 3, 1, kBack);
  dst.Draw(0, 0, src);
  EXPECT_EQ(dst.GetPixel(0, 0), src.GetPixel(0, 0));
  EXPECT_EQ(dst.GetPixel(1, 0), kBack);
  EXPECT_EQ(dst.GetPixel(2, 0), src.GetPixel(2, 0));
}

struct CombineCall {
  Color32 F, B;
  uint32_t alpha;
  bool operator==(const CombineCall&) const = default;
};

TEST(DrawCustom, HandsMasterAlphaToTheCombineHandler) {
  Bitmap32 src, dst;
  Indexed(src, 2, 1);
  src.Mode = DrawMode::dmCustom;
  src.SetMasterAlpha(77);
  std::vector<CombineCall> calls;
  src.OnPixelCombine = [&](Color32 F, Color32& B, uint32_t a) {
    calls.push_back({F, B, a});
    B = F ^ 0xFFu;
  };
  Filled(dst, 2, 1, kBack);
  dst.Draw(0, 0, src);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], (CombineCall{src.GetPixel(0, 0), kBack, 77}));
  EXPECT_EQ(calls[1], (CombineCall{src.GetPixel(1, 0), kBack, 77}));
  EXPECT_EQ(dst.GetPixel(1, 0), src.GetPixel(1, 0) ^ 0xFFu);
}

TEST(DrawCustom, AlphaHandlerCountsFromTheDrawnAreaAfterClipping) {
  Bitmap32 src, dst;
  Indexed(src, 4, 3);
  src.Mode = DrawMode::dmCustom;
  src.SetMasterAlpha(200);
  std::vector<std::tuple<int32_t, int32_t, uint32_t>> asked;  // column, row, seeded alpha
  src.OnPixelAlpha = [&](int32_t x, int32_t y, uint32_t& a) {
    asked.emplace_back(x, y, a);
    a = static_cast<uint32_t>(10 * x + y);
  };
  std::vector<std::pair<Color32, uint32_t>> combined;
  src.OnPixelCombine = [&](Color32 F, Color32& B, uint32_t a) {
    combined.emplace_back(F, a);
    B = F;
  };
  Filled(dst, 3, 3, kBack);
  // Placed at (-2, 1): source columns 2..3 and rows 0..1 are drawn.
  dst.Draw(-2, 1, src);
  const std::vector<std::tuple<int32_t, int32_t, uint32_t>> wantAsked = {
      {0, 0, 200}, {1, 0, 200}, {0, 1, 200}, {1, 1, 200}};
  EXPECT_EQ(asked, wantAsked);
  const std::vector<std::pair<Color32, uint32_t>> wantCombined = {
      {src.GetPixel(2, 0), 0}, {src.GetPixel(3, 0), 10}, {src.GetPixel(2, 1), 1}, {src.GetPixel(3, 1), 11}};
  EXPECT_EQ(combined, wantCombined);
  EXPECT_EQ(dst.GetPixel(0, 1), src.GetPixel(2, 0));
  EXPECT_EQ(dst.GetPixel(2, 1), kBack);
}

TEST(DrawCustom, WithoutACombineHandlerActsOpaque) {
  Bitmap32 src, dst;
  Indexed(src, 2, 2, 0);
  src.Mode = DrawMode::dmCustom;
  bool asked = false;
  src.OnPixelAlpha = [&](int32_t, int32_t, uint32_t&) { asked = true; };
  Filled(dst, 2, 2, kBack);
  dst.Draw(0, 0, src);
  ExpectPlaced(dst, src, 0, 0, Rect{0, 0, 2, 2});
  EXPECT_FALSE(asked);
}

}  // namespace
}  // namespace lumevra
