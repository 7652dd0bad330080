#include <gtest/gtest.h>

#include "graphics/Bitmap32.h"
#include "package/ProjectFile.h"

namespace lumevra {
namespace {

TEST(Mask, ColoursAndCodes) {
  for (int32_t c = 0; c <= 6; ++c) {
    EXPECT_EQ(MaskCode(MaskColor(c)), c);
    EXPECT_EQ(MaskColor(c), LayerColors[c]);
  }
  EXPECT_EQ(MaskCode(0x00FF0000), 3);
  EXPECT_EQ(MaskCode(0x00FFFFFF), 0);
  EXPECT_EQ(MaskCode(0xFF0000FF), 0);  // the alpha byte counts: raw values only
  EXPECT_EQ(MaskColor(7), 0u);
  EXPECT_EQ(MaskColor(-1), 0u);
}

TEST(Mask, RunsFillRowByRow) {
  Bitmap32 b;
  DecodeMask({3, 2}, b);  // two codes: sized, nothing written
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(b.GetPixel(x, y), 0u);

  b.Clear(0xDEADBEEF);
  DecodeMask({3, 2, 22, 33, 10}, b);  // 2 x code 2, 3 x code 3 across the row end, 1 x none
  EXPECT_EQ(b.GetPixel(0, 0), LayerColors[2]);
  EXPECT_EQ(b.GetPixel(1, 0), LayerColors[2]);
  EXPECT_EQ(b.GetPixel(2, 0), LayerColors[3]);
  EXPECT_EQ(b.GetPixel(0, 1), LayerColors[3]);
  EXPECT_EQ(b.GetPixel(1, 1), LayerColors[3]);
  EXPECT_EQ(b.GetPixel(2, 1), 0u);

  DecodeMask({30, 1, 243, 10}, b);
  for (int x = 0; x < 24; ++x) EXPECT_EQ(b.GetPixel(x, 0), 0x00FF0000u);
  EXPECT_EQ(b.GetPixel(24, 0), 0u);

  DecodeMask({}, b);
  EXPECT_TRUE(b.Empty());
}

TEST(Mask, MalformedRunsRaise) {
  Bitmap32 b;
  const IntList bad[] = {
      {2, 2, 41, 11},          // one pixel too many
      {2, 2, 17},              // mask code 7
      {2, 2, 19},              // mask code 9
      {2, 2, -11},             // negative code
      {-5, 2000000000, 11},    // no columns, rows without end
      {0, 0, 11},
      {100000, 100000},        // larger than any picture
  };
  for (const auto& codes : bad) EXPECT_THROW(DecodeMask(codes, b), ProjectError);
  DecodeMask({2, 2, 5, 40}, b);  // zero-length runs are nothing
  EXPECT_EQ(b.GetPixel(1, 1), 0u);
}

}  // namespace
}  // namespace lumevra
