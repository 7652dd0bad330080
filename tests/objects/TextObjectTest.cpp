#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/TextObjectDraw.h"

namespace lumevra {
namespace {

// Every character is a solid block pixelHeight / 2 wide and pixelHeight high.
class BlockRaster final : public FontRaster {
public:
  TextExtent Extent(const FontSpec& font, std::u16string_view text) override {
    lastFont = font;
    return {static_cast<int32_t>(text.size()) * (font.pixelHeight / 2), font.pixelHeight};
  }
  TextCoverage Render(const FontSpec& font, std::u16string_view text) override {
    const TextExtent size = Extent(font, text);
    TextCoverage c{size.cx, size.cy, {}};
    c.bits.assign(static_cast<size_t>(size.cx) * size.cy, 0);
    // The padding space stays empty.
    const int32_t inked = static_cast<int32_t>(text.size() - (text.ends_with(u' ') ? 1 : 0)) * (font.pixelHeight / 2);
    for (int32_t y = 0; y < size.cy; ++y)
      for (int32_t x = 0; x < inked; ++x) c.bits[static_cast<size_t>(y) * size.cx + x] = 1;
    return c;
  }
  FontSpec lastFont;
};

TEST(TextObjectTest, ThreeLinesBottomRightOnA1024By768Frame) {
  const int32_t size = ScaledTextSize(20, 768);
  const int32_t step = TextLineStep(size, 768);
  EXPECT_EQ(size, 20);
  EXPECT_EQ(step, 22);
  const std::vector<TextLinePlace> places = PlaceTextLines(8, 1024, 768, step, {100, 40, 7});
  const std::vector<TextLinePlace> expected = {{1024 - 100 - 15, 687}, {1024 - 40 - 15, 709}, {1024 - 7 - 15, 731}};
  EXPECT_EQ(places, expected);
}

TEST(TextObjectTest, BlockPlacesByPosition) {
  // Two lines of widths 100 and 51, step 20, on 400 x 300: the block is 40 high.
  struct Case {
    int32_t position;
    int32_t y0;
    int32_t x0, x1;
  };
  const Case cases[] = {
      {0, 15, 150, 174},   {1, 245, 150, 174},  {2, 130, 150, 174}, {3, 130, 15, 15},   {4, 130, 285, 334},
      {5, 15, 15, 15},     {6, 15, 285, 334},   {7, 245, 15, 15},   {8, 245, 285, 334},
      {9, 15, 150, 174},   {-1, 15, 150, 174},  {INT32_MAX, 15, 150, 174},  // outside 0..8: top centre
  };
  for (const Case& c : cases) {
    const std::vector<TextLinePlace> places = PlaceTextLines(c.position, 400, 300, 20, {100, 51});
    const std::vector<TextLinePlace> expected = {{c.x0, c.y0}, {c.x1, c.y0 + 20}};
    EXPECT_EQ(places, expected) << "Position " << c.position;
  }
}

TEST(TextObjectTest, MiddleAndCentreHalveTowardZero) {
  // A block taller than the frame: Half(100 - 3 x 50) = -25; a line wider
  // than the frame: Half(100 - 151) = -25.
  const std::vector<TextLinePlace> places = PlaceTextLines(2, 100, 100, 50, {151, 0, 0});
  EXPECT_EQ(places[0], (TextLinePlace{-25, -25}));
  EXPECT_EQ(places[1], (TextLinePlace{50, 25}));
}

TEST(TextObjectTest, SizesScaleWithTheFrameHeight) {
  EXPECT_EQ(ScaledTextSize(20, 600), 16);   // 15.625
  EXPECT_EQ(TextLineStep(16, 600), 18);     // + Round(1.5625)
  EXPECT_EQ(ScaledTextSize(20, 96), 2);     // 2.5: halves to even
  EXPECT_EQ(ScaledTextSize(-20, 768), 0);
  EXPECT_EQ(ScaledTextSize(INT32_MAX, 4096), 1 << 20);
  EXPECT_EQ(TextLineStep(INT32_MAX, 768), INT32_MAX);
}

struct TextScene {
  TextObject text;
  BlockRaster raster;
  Bitmap32 frame;

  TextScene() {
    text.Lines = {"ab", "c"};
    text.FontName = "Tahoma";
    text.FontSize = 20;
    text.Position = 5;
    text.TextColor = 0x00FF0000;  // blue as a Windows colour
    text.TextAlpha = 255;
    frame.SetSize(200, 150);
    frame.Clear(0xFF000000u);
    frame.Font = FontSpec{"Keep", 9, true, false};
  }
};

TEST(TextObjectTest, DrawsInTheScaledFontAndColour) {
  TextScene s;
  DrawTextObject(s.text, s.frame, s.raster);
  // Size Round(20 x 150 / 768) = 4 points, 5 pixels; characters 2 wide.
  EXPECT_EQ(s.raster.lastFont.face, "Tahoma");
  EXPECT_EQ(s.raster.lastFont.pixelHeight, PointsToPixels(4));
  EXPECT_EQ(s.frame.GetPixel(15, 15), Rgba(0, 0, 255));
  EXPECT_EQ(s.frame.GetPixel(14, 15), 0xFF000000u);
  // Line step 4 + Round(0.39) = 4: the second line starts at y 19.
  EXPECT_EQ(s.frame.GetPixel(16, 19 + 4), Rgba(0, 0, 255));
  EXPECT_EQ(s.frame.GetPixel(18, 19 + 4), 0xFF000000u);
  EXPECT_EQ(s.frame.Font.face, "Keep");
}

TEST(TextObjectTest, TextAlphaBlendsAndZeroDrawsNothing) {
  TextScene s;
  s.text.TextAlpha = 0;
  DrawTextObject(s.text, s.frame, s.raster);
  EXPECT_EQ(s.frame.GetPixel(15, 15), 0xFF000000u);
  s.text.TextAlpha = 128;
  DrawTextObject(s.text, s.frame, s.raster);
  EXPECT_EQ(BlueOf(s.frame.GetPixel(15, 15)), 128);
}

TEST(TextObjectTest, PrepareForcesFullOpacity) {
  TextObject text;
  text.Opacity = 3;
  text.TextAlpha = 7;
  text.BackWidth = 100;
  text.BackHeight = 100;
  text.ScreenRect = Rect{0, 0, 100, 100};
  text.Prepare();
  EXPECT_EQ(text.Opacity, 10);
  EXPECT_EQ(text.TextAlpha, 255);
  text.ApplyAlpha(64);
  EXPECT_EQ(text.TextAlpha, 64);
}

}  // namespace
}  // namespace lumevra
