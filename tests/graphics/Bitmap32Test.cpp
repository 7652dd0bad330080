#include "graphics/Bitmap32.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/PictureLoader.h"

namespace lumevra {
namespace {

// A w x h surface whose pixel (x, y) is Rgba(x, y, 7, alpha).
void FillIndexed(Bitmap32& bmp, int32_t w, int32_t h, uint8_t alpha = 255) {
  bmp.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) bmp.SetPixel(x, y, Rgba(x, y, 7, alpha));
}

TEST(Bitmap32, ColourConversions) {
  const Color32 c = Rgba(0x11, 0x22, 0x33, 0x44);
  EXPECT_EQ(c, 0x44112233u);
  EXPECT_EQ(AlphaOf(c), 0x44);
  const RGBBytes rgb = SplitRGB(0xAABBCCDDu);
  EXPECT_EQ(rgb.r, 0xBB);
  EXPECT_EQ(rgb.g, 0xCC);
  EXPECT_EQ(rgb.b, 0xDD);
  // A Windows value keeps red in its low byte.
  EXPECT_EQ(WinColor32(0x00332211u), Rgba(0x11, 0x22, 0x33, 255));
  EXPECT_EQ(WinColor32(0x00332211u, 9), Rgba(0x11, 0x22, 0x33, 9));
}

TEST(Bitmap32, SetSizeGivesZeroedContiguousPixelsAndAWholeClip) {
  Bitmap32 bmp;
  EXPECT_TRUE(bmp.Empty());
  bmp.SetSize(5, 3);
  EXPECT_EQ(bmp.Width(), 5);
  EXPECT_EQ(bmp.Height(), 3);
  EXPECT_EQ(bmp.ScanLine(1), bmp.Bits() + 5);
  for (int32_t i = 0; i < 15; ++i) EXPECT_EQ(bmp.Bits()[i], 0u);
  EXPECT_EQ(bmp.ClipRect(), (Rect{0, 0, 5, 3}));
  bmp.SetClipRect(Rect{1, 1, 2, 2});
  bmp.SetSize(4, 4);
  EXPECT_EQ(bmp.ClipRect(), (Rect{0, 0, 4, 4}));
  bmp.SetWidth(6);
  EXPECT_EQ(bmp.Width(), 6);
  EXPECT_EQ(bmp.Height(), 4);
}

TEST(Bitmap32, NonPositiveSizesEmptyTheSurface) {
  for (auto [w, h] : std::vector<std::pair<int32_t, int32_t>>{{0, 5}, {5, 0}, {-3, 4}, {4, -3}}) {
    Bitmap32 bmp;
    bmp.SetSize(3, 3);
    bmp.SetSize(w, h);
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(bmp.Width(), 0);
    EXPECT_EQ(bmp.Height(), 0);
    EXPECT_EQ(bmp.ClipRect(), Rect{});
  }
}

TEST(Bitmap32, AbsurdSizeIsRefusedAndKeepsTheOldPixels) {
  Bitmap32 bmp;
  bmp.SetSize(2, 2);
  bmp.SetPixel(1, 1, 42);
  try {
    bmp.SetSize(100000, 100000);
    FAIL() << "no exception";
  } catch (const BitmapError& e) {
    EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
  }
  EXPECT_EQ(bmp.Width(), 2);
  EXPECT_EQ(bmp.GetPixel(1, 1), 42u);
  EXPECT_THROW(bmp.SetSize(INT32_MAX, INT32_MAX), BitmapError);
}

TEST(Bitmap32, AssignCopiesPixelsAndPropertiesButNotHandlers) {
  Bitmap32 src;
  FillIndexed(src, 3, 2, 99);
  src.Mode = DrawMode::dmCustom;
  src.Combine = CombineMode::cmMerge;
  src.SetMasterAlpha(33);
  src.OuterColor = 0x12345678;
  src.Filter = StretchFilter::sfDraft;
  src.Font = FontSpec{"Tahoma", 10, true, false};
  src.OnPixelCombine = [](Color32, Color32&, uint32_t) {};
  src.OnPixelAlpha = [](int32_t, int32_t, uint32_t&) {};

  Bitmap32 dst;
  dst.SetClipRect(Rect{0, 0, 1, 1});
  dst.Assign(src);
  EXPECT_EQ(dst.Width(), 3);
  EXPECT_EQ(dst.Height(), 2);
  EXPECT_EQ(dst.GetPixel(2, 1), Rgba(2, 1, 7, 99));
  EXPECT_EQ(dst.Mode, DrawMode::dmCustom);
  EXPECT_EQ(dst.Combine, CombineMode::cmMerge);
  EXPECT_EQ(dst.MasterAlpha(), 33);
  EXPECT_EQ(dst.OuterColor, 0x12345678u);
  EXPECT_EQ(dst.Filter, StretchFilter::sfDraft);
  EXPECT_EQ(dst.Font.face, "Tahoma");
  EXPECT_TRUE(dst.Font.bold);
  EXPECT_FALSE(dst.OnPixelCombine);
  EXPECT_FALSE(dst.OnPixelAlpha);
  EXPECT_EQ(dst.ClipRect(), (Rect{0, 0, 3, 2}));

  dst.Assign(dst);  // self-assignment keeps everything
  EXPECT_EQ(dst.GetPixel(2, 1), Rgba(2, 1, 7, 99));
}

TEST(Bitmap32, AssignDecodedPicture) {
  DecodedPicture pic;
  pic.width = 2;
  pic.height = 1;
  pic.pixels = {0x00112233u, 0x80445566u};
  Bitmap32 bmp;
  bmp.Assign(pic);
  // Without an alpha channel every pixel is opaque.
  EXPECT_EQ(bmp.GetPixel(0, 0), 0xFF112233u);
  EXPECT_EQ(bmp.GetPixel(1, 0), 0xFF445566u);
  pic.hasAlpha = true;
  bmp.Assign(pic);
  EXPECT_EQ(bmp.GetPixel(0, 0), 0x00112233u);
  EXPECT_EQ(bmp.GetPixel(1, 0), 0x80445566u);

  DecodedPicture none;
  bmp.Assign(none);
  EXPECT_TRUE(bmp.Empty());

  DecodedPicture torn;
  torn.width = 4;
  torn.height = 4;
  torn.pixels.resize(3);
  EXPECT_THROW(bmp.Assign(torn), BitmapError);
}

TEST(Bitmap32, FillRectIsClippedToTheSurface) {
  Bitmap32 bmp;
  bmp.SetSize(4, 3);
  bmp.FillRect(-2, 1, 2, 9, 0xAA);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(bmp.GetPixel(x, y), (y >= 1 && x < 2) ? 0xAAu : 0u) << x << "," << y;
  bmp.FillRect(3, 0, 1, 3, 0xBB);  // inverted: nothing
  EXPECT_EQ(bmp.GetPixel(2, 0), 0u);
  bmp.Clear(0x11);
  EXPECT_EQ(bmp.GetPixel(3, 2), 0x11u);
  Bitmap32 empty;
  empty.Clear(5);  // no pixels, no fault
}

TEST(Bitmap32, FlipHorzInPlaceAndIntoATarget) {
  for (int32_t w : {1, 2, 5}) {
    Bitmap32 src;
    FillIndexed(src, w, 2);
    Bitmap32 mirror;
    mirror.SetSize(1, 1);
    src.FlipHorz(&mirror);
    ASSERT_EQ(mirror.Width(), w);
    ASSERT_EQ(mirror.Height(), 2);
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < w; ++x) EXPECT_EQ(mirror.GetPixel(x, y), src.GetPixel(w - 1 - x, y));

    src.FlipHorz();
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < w; ++x) EXPECT_EQ(src.GetPixel(x, y), mirror.GetPixel(x, y));
    src.FlipHorz(&src);  // itself as the target: back again
    EXPECT_EQ(src.GetPixel(0, 1), Rgba(0, 1, 7));
  }
}

TEST(Bitmap32, ClipRectIsKeptInsideTheSurface) {
  Bitmap32 bmp;
  bmp.SetSize(10, 8);
  bmp.SetClipRect(Rect{-5, 2, 4, 20});
  EXPECT_EQ(bmp.ClipRect(), (Rect{0, 2, 4, 8}));
  bmp.SetClipRect(Rect{20, 20, 30, 30});
  EXPECT_EQ(bmp.ClipRect().Width(), 0);
}

TEST(Bitmap32, LoadFromFileOfAMissingFileThrows) {
  Bitmap32 bmp;
  EXPECT_ANY_THROW(bmp.LoadFromFile("/nonexistent/picture.png"));
  EXPECT_TRUE(bmp.Empty());
}

}  // namespace
}  // namespace lumevra
