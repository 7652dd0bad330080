#include "graphics/PngWriter.h"

#include <gtest/gtest.h>

namespace lumevra {
namespace {

TEST(PngWriter, RoundTripsWithAndWithoutAlpha) {
  DecodedPicture p;
  p.width = 3;
  p.height = 2;
  p.pixels = {0xFF102030, 0x80405060, 0x00708090, 0xFFFFFFFF, 0xFF000000, 0x7F010203};
  const DecodedPicture withAlpha = DecodePicture(EncodePng(p, true));
  EXPECT_EQ(withAlpha.width, 3);
  EXPECT_EQ(withAlpha.height, 2);
  EXPECT_EQ(withAlpha.pixels, p.pixels);
  const DecodedPicture opaque = DecodePicture(EncodePng(p, false));
  for (size_t i = 0; i < p.pixels.size(); ++i) EXPECT_EQ(opaque.pixels[i], p.pixels[i] | 0xFF000000u);

  DecodedPicture bad = p;
  bad.pixels.pop_back();
  EXPECT_THROW(EncodePng(bad, true), PictureError);
  EXPECT_THROW(EncodePng(DecodedPicture{}, true), PictureError);
}

}  // namespace
}  // namespace lumevra
