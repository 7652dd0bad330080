#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "graphics/Bitmap32.h"
#include "platform/fonts/FreeTypeFontRaster.h"

namespace lumevra {
namespace {

// A raster with known glyphs: every character is a cell 4k wide and 5k high
// (k = pixelHeight / 10, at least 1); a non-space character inks the cell's
// first three columns, except column 1 of row 2.
class GridRaster final : public FontRaster {
public:
  TextExtent Extent(const FontSpec& font, std::u16string_view text) override {
    lastFont = font;
    const int32_t k = Scale(font);
    return {static_cast<int32_t>(text.size()) * 4 * k, 5 * k};
  }
  TextCoverage Render(const FontSpec& font, std::u16string_view text) override {
    lastFont = font;
    rendered = std::u16string(text);
    const TextExtent size = Extent(font, text);
    TextCoverage c{size.cx, size.cy, std::vector<uint8_t>(static_cast<size_t>(size.cx) * size.cy, 0)};
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u' ') continue;
      for (int32_t y = 0; y < size.cy; ++y) {
        for (int32_t col = 0; col < 3; ++col) {
          if (col == 1 && y == 2) continue;
          c.bits[y * size.cx + static_cast<int32_t>(i) * 4 * Scale(font) + col] = 1;
        }
      }
    }
    return c;
  }
  static bool Ink(int32_t cellX, int32_t y) { return cellX < 3 && !(cellX == 1 && y == 2); }

  FontSpec lastFont;
  std::u16string rendered;

private:
  static int32_t Scale(const FontSpec& font) { return std::max(1, font.pixelHeight / 10); }
};

constexpr Color32 kBackground = 0xFF102030;

struct Canvas {
  Bitmap32 surface;
  Canvas(int32_t w, int32_t h) {
    surface.SetSize(w, h);
    surface.Clear(kBackground);
    surface.Font = FontSpec{"Arial", 10, false, false};
  }
};

TEST(TextTest, TextWidthMeasuresInTheSurfaceFont) {
  GridRaster raster;
  Bitmap32 surface;
  surface.Font = FontSpec{"Tahoma", 17, true, false};
  EXPECT_EQ(surface.TextWidth(raster, u"abc"), 12);
  EXPECT_EQ(raster.lastFont.face, "Tahoma");
  EXPECT_EQ(raster.lastFont.pixelHeight, 17);
  EXPECT_TRUE(raster.lastFont.bold);
  EXPECT_EQ(surface.TextWidth(raster, u""), 0);
}

TEST(TextTest, RenderTextPaintsTheColourOnlyWhereTheGlyphsAre) {
  GridRaster raster;
  Canvas canvas(16, 8);
  const Color32 color = Rgba(200, 100, 50, 255);
  canvas.surface.RenderText(raster, 2, 1, u"ab", 0, color);
  EXPECT_EQ(raster.rendered, u"ab ");  // laid out with one space after
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      const int32_t tx = x - 2, ty = y - 1;
      const bool ink = tx >= 0 && tx < 8 && ty >= 0 && ty < 5 && GridRaster::Ink(tx % 4, ty);
      const Color32 p = canvas.surface.GetPixel(x, y);
      if (ink) {
        EXPECT_EQ(p & 0xFFFFFF, color & 0xFFFFFF) << x << "," << y;
      } else {
        EXPECT_EQ(p, kBackground) << x << "," << y;
      }
    }
  }
}

TEST(TextTest, ColourAlphaIsTheMasterAlpha) {
  GridRaster raster;
  Canvas half(8, 6);
  half.surface.RenderText(raster, 0, 0, u"a", 0, Rgba(255, 255, 255, 128));
  // Blended: B + (F - B) * 128 / 255 per channel, give or take the rounding.
  const Color32 p = half.surface.GetPixel(0, 0);
  EXPECT_NEAR(RedOf(p), 0x10 + (255 - 0x10) * 128 / 255, 1);
  EXPECT_NEAR(GreenOf(p), 0x20 + (255 - 0x20) * 128 / 255, 1);
  EXPECT_NEAR(BlueOf(p), 0x30 + (255 - 0x30) * 128 / 255, 1);
  EXPECT_EQ(half.surface.GetPixel(1, 2), kBackground);  // the hole

  Canvas none(8, 6);
  none.surface.RenderText(raster, 0, 0, u"a", 0, Rgba(255, 255, 255, 0));
  for (int32_t y = 0; y < 6; ++y) {
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(none.surface.GetPixel(x, y), kBackground);
  }
}

TEST(TextTest, EmptyTextAndEdgesDrawOnlyWhatIsThere) {
  GridRaster raster;
  Canvas empty(8, 6);
  empty.surface.RenderText(raster, 0, 0, u"", 0, Rgba(255, 0, 0));
  EXPECT_EQ(raster.rendered, u" ");
  for (int32_t y = 0; y < 6; ++y) {
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(empty.surface.GetPixel(x, y), kBackground);
  }

  // Partly outside on every side: only the overlap is drawn.
  Canvas edges(6, 4);
  edges.surface.RenderText(raster, -2, -3, u"a", 0, Rgba(255, 0, 0));
  edges.surface.RenderText(raster, 4, 2, u"a", 0, Rgba(0, 0, 255));
  EXPECT_EQ(edges.surface.GetPixel(0, 0) & 0xFFFFFF, 0xFF0000u);  // cell column 2, row 3
  EXPECT_EQ(edges.surface.GetPixel(0, 1) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(edges.surface.GetPixel(0, 2), kBackground);           // below the cell
  EXPECT_EQ(edges.surface.GetPixel(1, 0), kBackground);           // past the ink
  EXPECT_EQ(edges.surface.GetPixel(5, 3) & 0xFFFFFF, 0x0000FFu);  // cell column 1, row 1
  EXPECT_EQ(edges.surface.GetPixel(3, 3), kBackground);
  edges.surface.RenderText(raster, 1000, -1000, u"a", 0, Rgba(0, 255, 0));
}

TEST(TextTest, AntiAliasLevelAveragesTheLargerText) {
  GridRaster raster;
  Bitmap32 surface;
  surface.SetSize(8, 5);
  surface.Clear(0xFF000000);
  surface.Font = FontSpec{"Arial", 10, false, false};
  surface.RenderText(raster, 0, 0, u"a", 1, Rgba(255, 255, 255));
  EXPECT_EQ(raster.lastFont.pixelHeight, 20);  // drawn twice as large
  // 2 x 2 blocks of the large cell: all set, three of four (the hole), two
  // of four, none.
  EXPECT_NEAR(RedOf(surface.GetPixel(0, 0)), 255, 1);
  EXPECT_NEAR(RedOf(surface.GetPixel(0, 1)), 191, 1);
  EXPECT_NEAR(RedOf(surface.GetPixel(1, 0)), 127, 1);
  EXPECT_EQ(RedOf(surface.GetPixel(2, 0)), 0);
}

TEST(TextTest, RealFontInkMatchesTheRastersCoverage) {
  FreeTypeFontRaster raster;
  Bitmap32 surface;
  surface.SetSize(80, 30);
  surface.Clear(0xFFFFFFFF);
  surface.Font = FontSpec{"Arial", 20, false, false};
  surface.RenderText(raster, 5, 3, u"Hello", 0, Rgba(255, 0, 0));
  const TextCoverage coverage = raster.Render(surface.Font, u"Hello ");
  int red = 0, outside = 0;
  for (int32_t y = 0; y < surface.Height(); ++y) {
    for (int32_t x = 0; x < surface.Width(); ++x) {
      if ((surface.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF) continue;
      ++red;
      const int32_t cx = x - 5, cy = y - 3;
      if (cx < 0 || cy < 0 || cx >= coverage.width || cy >= coverage.height || !coverage.bits[cy * coverage.width + cx]) {
        ++outside;
      }
    }
  }
  EXPECT_EQ(red, static_cast<int>(std::count(coverage.bits.begin(), coverage.bits.end(), 1)));
  EXPECT_GT(red, 100);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(surface.TextWidth(raster, u"Hello"), 43);
}

}  // namespace
}  // namespace lumevra
