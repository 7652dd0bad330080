#include "graphics/JpegWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace lumevra {
namespace {

// Smooth gradients in all three channels.
DecodedPicture Gradient(int32_t width, int32_t height, uint8_t alpha = 255) {
  DecodedPicture picture{width, height, {}, false};
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t r = x * 255 / (width - 1), g = y * 255 / (height - 1), b = (x + y) * 255 / (width + height - 2);
      picture.pixels.push_back((uint32_t{alpha} << 24) | (r << 16) | (g << 8) | b);
    }
  }
  return picture;
}

TEST(JpegWriterTest, RoundTripKeepsSizeAndColours) {
  const DecodedPicture source = Gradient(40, 24);
  const std::string jpeg = EncodeJpeg(source);
  ASSERT_EQ(DetectPictureFormat(jpeg), PictureFormat::Jpeg);
  const DecodedPicture back = DecodeJpeg(jpeg);
  ASSERT_EQ(back.width, 40);
  ASSERT_EQ(back.height, 24);
  // Lossy, but close on a smooth picture.
  double total = 0;
  for (size_t i = 0; i < source.pixels.size(); ++i) {
    EXPECT_EQ(back.pixels[i] >> 24, 0xFFu);
    for (int shift : {0, 8, 16}) {
      total += std::abs(int((back.pixels[i] >> shift) & 0xFF) - int((source.pixels[i] >> shift) & 0xFF));
    }
  }
  EXPECT_LE(total / (source.pixels.size() * 3), 3.0);
}

TEST(JpegWriterTest, AlphaIsIgnoredAndQualityMatters) {
  EXPECT_EQ(EncodeJpeg(Gradient(32, 32, 255)), EncodeJpeg(Gradient(32, 32, 0)));
  EXPECT_GT(EncodeJpeg(Gradient(64, 64), 95).size(), EncodeJpeg(Gradient(64, 64), 20).size());
  // Out-of-range qualities are clamped, not refused.
  EXPECT_EQ(EncodeJpeg(Gradient(16, 16), 1000), EncodeJpeg(Gradient(16, 16), 100));
  EXPECT_EQ(EncodeJpeg(Gradient(16, 16), -5), EncodeJpeg(Gradient(16, 16), 1));
}

TEST(JpegWriterTest, RefusesPicturesWithoutMatchingPixels) {
  EXPECT_THROW(EncodeJpeg(DecodedPicture{}), PictureError);
  EXPECT_THROW(EncodeJpeg(DecodedPicture{2, 2, {1, 2, 3}, false}), PictureError);
  EXPECT_THROW(EncodeJpeg(DecodedPicture{-1, 4, {}, false}), PictureError);
  EXPECT_THROW(EncodeJpeg(DecodedPicture{70000, 1, std::vector<uint32_t>(70000), false}), PictureError);
}

}  // namespace
}  // namespace lumevra
