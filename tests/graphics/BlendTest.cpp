#include "graphics/Blend.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace lumevra {
namespace {

TEST(BlendPixel, MatchesTheReferenceForEveryAlphaAndChannelPair) {
  // Every alpha against a spread of channel values, all four channels busy.
  const uint8_t values[] = {0, 1, 2, 63, 64, 127, 128, 129, 191, 200, 254, 255};
  for (uint32_t a = 0; a <= 255; ++a)
    for (uint8_t f : values)
      for (uint8_t b : values) {
        const Color32 F = Rgba(f, 255 - f, f / 2, f);
        const Color32 B = Rgba(b, b / 3, 255 - b, b);
        ASSERT_EQ(BlendPixel(F, B, a), BlendPixelReference(F, B, a)) << "a=" << a << " f=" << +f << " b=" << +b;
      }
}

TEST(BlendPixel, EndsAndRoundingOfTheReference) {
  const Color32 F = Rgba(200, 100, 0, 255);
  const Color32 B = Rgba(0, 100, 200, 255);
  EXPECT_EQ(BlendPixelReference(F, B, 0), B);
  EXPECT_EQ(BlendPixelReference(F, B, 255), F);
  // 200 * 128 / 255 = 100.39 -> 100; 200 * 127 / 255 = 99.6 -> 100.
  EXPECT_EQ(BlendPixelReference(F, B, 128), Rgba(100, 100, 100, 255));
  // Over a transparent target the alpha becomes the blend alpha.
  EXPECT_EQ(AlphaOf(BlendPixelReference(F, Rgba(0, 0, 0, 0), 90)), 90);
}

TEST(BlendRow, MatchesTheReferenceRow) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<uint32_t> any;
  std::vector<Color32> src(4096), dst(4096);
  for (auto& p : src) {
    p = any(gen);
    // Plenty of the skip and copy cases too.
    if ((p & 7) == 0) p &= 0x00FFFFFFu;
    if ((p & 7) == 1) p |= 0xFF000000u;
  }
  for (auto& p : dst) p = any(gen);
  for (uint32_t master : {0u, 1u, 77u, 128u, 254u, 255u}) {
    std::vector<Color32> fast = dst, ref = dst;
    BlendRow(src.data(), fast.data(), static_cast<int32_t>(src.size()), master);
    BlendRowReference(src.data(), ref.data(), static_cast<int32_t>(src.size()), master);
    EXPECT_EQ(fast, ref) << "master alpha " << master;
  }
}

}  // namespace
}  // namespace lumevra
