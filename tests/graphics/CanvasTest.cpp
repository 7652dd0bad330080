// The canvas ellipse: which pixels it takes, pen and brush, clipping.
#include "graphics/Canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumevra {
namespace {

const Color32 kBack = Rgba(0, 0, 0, 0);
const Color32 kPen = Rgba(0x70, 0x70, 0x70);
const Color32 kBrush = Rgba(255, 0, 0);

// The surface as rows of '.', 'O' (pen) and 'F' (brush).
std::vector<std::string> Picture(const Bitmap32& bmp) {
  std::vector<std::string> rows;
  for (int32_t y = 0; y < bmp.Height(); ++y) {
    std::string row;
    for (int32_t x = 0; x < bmp.Width(); ++x) {
      const Color32 c = bmp.GetPixel(x, y);
      row += c == kPen ? 'O' : c == kBrush ? 'F' : c == kBack ? '.' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

struct Fixture {
  Bitmap32 bmp;
  Canvas canvas{bmp};
  Fixture(int32_t w, int32_t h) {
    bmp.SetSize(w, h);
    bmp.Clear(kBack);
    canvas.Pen.Color = kPen;
    canvas.Brush.Color = kBrush;
  }
};

// The clock's centre cap: an 8 x 8 box gives a round cap with a one-pixel ring.
const std::vector<std::string> kCap = {
    "..........",  //
    "...OOOO...",  //
    "..OFFFFO..",  //
    ".OFFFFFFO.",  //
    ".OFFFFFFO.",  //
    ".OFFFFFFO.",  //
    ".OFFFFFFO.",  //
    "..OFFFFO..",  //
    "...OOOO...",  //
    "..........",  //
};

TEST(CanvasEllipse, FillsTheInscribedEllipseWithARingOfThePen) {
  Fixture f(10, 10);
  f.canvas.Ellipse(1, 1, 9, 9);
  EXPECT_EQ(Picture(f.bmp), kCap);
  // Corners given the other way round draw the same.
  Fixture g(10, 10);
  g.canvas.Ellipse(9, 9, 1, 1);
  EXPECT_EQ(Picture(g.bmp), kCap);
}

TEST(CanvasEllipse, ClearPenOrBrushLeavesThatPartOut) {
  Fixture noPen(10, 10);
  noPen.canvas.Pen.Style = PenStyle::psClear;
  noPen.canvas.Ellipse(1, 1, 9, 9);
  Fixture noBrush(10, 10);
  noBrush.canvas.Brush.Style = BrushStyle::bsClear;
  noBrush.canvas.Ellipse(1, 1, 9, 9);
  const auto filled = Picture(noPen.bmp), ring = Picture(noBrush.bmp);
  for (size_t y = 0; y < kCap.size(); ++y)
    for (size_t x = 0; x < kCap[y].size(); ++x) {
      EXPECT_EQ(filled[y][x], kCap[y][x] == '.' ? '.' : 'F') << x << "," << y;
      EXPECT_EQ(ring[y][x], kCap[y][x] == 'O' ? 'O' : '.') << x << "," << y;
    }
}

TEST(CanvasEllipse, WritesOnlyInsideTheSurfaceAndTheClipRectangle) {
  // Shifted so that its right and bottom parts fall off the surface.
  Fixture f(6, 6);
  f.canvas.Ellipse(2, 3, 10, 11);
  const auto pic = Picture(f.bmp);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x) {
      const int32_t cy = y - 3 + 1, cx = x - 2 + 1;  // position in kCap
      const char want = cy >= 0 && cx >= 0 ? kCap[cy][cx] : '.';
      EXPECT_EQ(pic[y][x], want) << x << "," << y;
    }

  Fixture clipped(10, 10);
  clipped.bmp.SetClipRect(Rect{0, 0, 5, 10});
  clipped.canvas.Ellipse(1, 1, 9, 9);
  const auto half = Picture(clipped.bmp);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(half[y][x], x < 5 ? kCap[y][x] : '.') << x << "," << y;

  // Wholly outside, empty boxes and far-off boxes draw nothing.
  Fixture none(6, 6);
  none.canvas.Ellipse(-10, -10, -2, -2);
  none.canvas.Ellipse(3, 3, 3, 9);
  none.canvas.Ellipse(INT32_MIN, INT32_MIN, INT32_MIN + 8, INT32_MIN + 8);
  for (const auto& row : Picture(none.bmp)) EXPECT_EQ(row, "......");
  Bitmap32 empty;
  Canvas(empty).Ellipse(0, 0, 4, 4);
}

TEST(CanvasEllipse, AWidePenThickensTheRingInwards) {
  Fixture f(10, 10);
  f.canvas.Pen.Width = 2;
  f.canvas.Ellipse(1, 1, 9, 9);
  const auto pic = Picture(f.bmp);
  // Radius 4 with a ring 2 deep leaves the pixels within 2 of the middle.
  EXPECT_EQ(pic[4], ".OOFFFFOO.");
  EXPECT_EQ(pic[1], "...OOOO...");
  EXPECT_EQ(pic[3][3], 'O');
}

}  // namespace
}  // namespace lumevra
