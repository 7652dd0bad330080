#include "platform/fonts/FreeTypeFontRaster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace lumevra {
namespace {

const FontSpec kArial20{"Arial", 20, false, false};

int CountSet(const TextCoverage& c) { return static_cast<int>(std::count(c.bits.begin(), c.bits.end(), 1)); }

TEST(FreeTypeFontRasterTest, ArialMatchesAMetricCompatibleFace) {
  FreeTypeFontRaster raster;
  ASSERT_NE(raster.FaceFile(kArial20).find("LiberationSans-Regular"), std::string::npos)
      << raster.FaceFile(kArial20);
  const TextExtent hello = raster.Extent(kArial20, u"Hello");
  EXPECT_EQ(hello.cx, 43);
  EXPECT_EQ(hello.cy, 22);  // ascent 18 + descent 4 of the face's Windows metrics
  EXPECT_NE(raster.FaceFile({"Arial", 20, true, false}).find("LiberationSans-Bold"), std::string::npos);
  EXPECT_NE(raster.FaceFile({"Times New Roman", 20, false, true}).find("LiberationSerif-Italic"), std::string::npos);
}

TEST(FreeTypeFontRasterTest, WidthIsTheSumOfAdvances) {
  FreeTypeFontRaster raster;
  int32_t sum = 0;
  for (char16_t c : std::u16string(u"AVTo.W")) sum += raster.Extent(kArial20, std::u16string(1, c)).cx;
  EXPECT_EQ(raster.Extent(kArial20, u"AVTo.W").cx, sum);  // no kerning

  const TextExtent empty = raster.Extent(kArial20, u"");
  EXPECT_EQ(empty.cx, 0);
  EXPECT_EQ(empty.cy, 22);
  EXPECT_GT(raster.Extent({"Arial", 40, false, false}, u"Hello").cx, 80);
  EXPECT_GT(raster.Extent({"Arial", 20, true, false}, u"Hello").cx, 43);
}

TEST(FreeTypeFontRasterTest, RenderGivesOneBitPerPixelOnTheExtent) {
  FreeTypeFontRaster raster;
  const TextCoverage c = raster.Render(kArial20, u"Hello");
  ASSERT_EQ(c.width, 43);
  ASSERT_EQ(c.height, 22);
  ASSERT_EQ(c.bits.size(), size_t{43} * 22);
  EXPECT_TRUE(std::all_of(c.bits.begin(), c.bits.end(), [](uint8_t b) { return b <= 1; }));
  EXPECT_GT(CountSet(c), 100);

  // "H" stands on the baseline: its left stem is set from the cap height
  // down to the row above the baseline (ascent 18), and nothing below it.
  int stemTop = -1, stemBottom = -1;
  for (int y = 0; y < c.height; ++y) {
    bool any = false;
    for (int x = 0; x < 6; ++x) any |= c.bits[y * c.width + x] != 0;
    if (any && stemTop < 0) stemTop = y;
    if (any) stemBottom = y;
  }
  EXPECT_EQ(stemBottom, 17);
  EXPECT_NEAR(stemTop, 18 - 14, 1);  // a cap height of about 0.69 em
}

TEST(FreeTypeFontRasterTest, StylesChangeThePixels) {
  FreeTypeFontRaster raster;
  const TextCoverage regular = raster.Render(kArial20, u"Hello");
  const TextCoverage bold = raster.Render({"Arial", 20, true, false}, u"Hello");
  const TextCoverage italic = raster.Render({"Arial", 20, false, true}, u"Hello");
  EXPECT_GT(CountSet(bold), CountSet(regular));
  EXPECT_NE(italic.bits, regular.bits);
}

TEST(FreeTypeFontRasterTest, UnknownFacesFallBackAndOddInputIsHarmless) {
  FreeTypeFontRaster raster;
  EXPECT_GT(raster.Extent({"No Such Face 1234", 20, false, false}, u"Hello").cx, 0);
  EXPECT_GT(raster.Extent({"", 20, false, false}, u"Hello").cx, 0);
  EXPECT_GT(raster.Extent({"Foo-12:bold", 20, false, false}, u"Hello").cx, 0);

  // Surrogate pairs, unpaired surrogates and control characters.
  const std::u16string odd = {u'a', 0xD83D, 0xDE00, 0xD800, u'b', 0xDC00, u'\n', u'\0'};
  EXPECT_GT(raster.Extent(kArial20, odd).cx, 0);
  EXPECT_EQ(raster.Render(kArial20, odd).width, raster.Extent(kArial20, odd).cx);

  for (int32_t size : {0, -5, 100000}) {
    EXPECT_EQ(raster.Extent({"Arial", size, false, false}, u"Hello").cx, 0) << size;
    EXPECT_TRUE(raster.Render({"Arial", size, false, false}, u"Hello").bits.empty()) << size;
  }
  EXPECT_TRUE(raster.Render(kArial20, u"").bits.empty());
}

TEST(FreeTypeFontRasterTest, ManyThreadsMeasureAlike) {
  FreeTypeFontRaster raster;
  std::vector<std::thread> threads;
  std::vector<int32_t> widths(4, -1);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) {
        const FontSpec font{"Arial", 10 + (i + t) % 30, (i & 1) != 0, false};
        raster.Render(font, u"The quick brown fox");
      }
      widths[t] = raster.Extent(kArial20, u"Hello").cx;
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(widths, std::vector<int32_t>(4, 43));
}

TEST(FreeTypeFontRasterTest, PointsToPixelsAt96Dpi) {
  EXPECT_EQ(PointsToPixels(15), 20);
  EXPECT_EQ(PointsToPixels(9), 12);
  EXPECT_EQ(PointsToPixels(10), 13);
  EXPECT_EQ(PointsToPixels(11), 15);
  EXPECT_EQ(PointsToPixels(0), 0);
}

}  // namespace
}  // namespace lumevra
