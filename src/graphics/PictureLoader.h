// The picture loader: JPEG, PNG (with alpha), GIF (first frame) and BMP,
// from memory or from a file, into 32-bit pixels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace lumevra {

// How large a picture may be for what it is used for; a larger one is
// refused before any pixels are allocated.
struct PictureLimits {
  int64_t maxSide;
  int64_t maxPixels;
  // An animated GIF's frames together, one byte of palette index a pixel;
  // the frames past this budget end the animation.
  int64_t maxFramePixels;
};

// The scene's background, its thumbnail and its mask (which must match it):
// 8192 x 8192 in area (256 MiB of pixels), sides up to 16384 for panoramas.
// It is decoded once and fitted to the screen, so nothing larger is ever
// shown finer; twice the sides of an 8K screen is the margin.
inline constexpr PictureLimits kBackgroundPictureLimits{16384, int64_t{8192} * 8192, int64_t{1} << 27};
// A picture object moves over the fitted scene at its own size and is held
// twice (as loaded and mirrored), an animation in five copies while it
// plays: 4096 x 4096 in area (64 MiB a copy) covers a 4K screen twice over.
// A GIF's frames share 128 MiB of indices, some 400 frames of 640 x 480.
inline constexpr PictureLimits kObjectPictureLimits{8192, int64_t{4096} * 4096, int64_t{1} << 27};

struct DecodedPicture {
  int32_t width = 0;
  int32_t height = 0;
  // B, G, R, A bytes per pixel (Color32), rows top to bottom.
  std::vector<uint32_t> pixels;
  // True when the file carried an alpha channel (PNG with alpha, 32-bit BMP
  // with non-zero alpha, GIF with a transparent index).
  bool hasAlpha = false;
};

// Raised for a picture that cannot be decoded; what() says why.
class PictureError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum class PictureFormat { Unknown, Jpeg, Png, Gif, Bmp };
// By the leading bytes, not the file name.
PictureFormat DetectPictureFormat(std::string_view bytes);

DecodedPicture DecodePicture(std::string_view bytes, const PictureLimits& limits = kBackgroundPictureLimits);
DecodedPicture DecodePictureFile(const std::filesystem::path& file,
                                 const PictureLimits& limits = kBackgroundPictureLimits);
// The JPEG decoder alone (project files hold only JPEG blocks).
DecodedPicture DecodeJpeg(std::string_view bytes, const PictureLimits& limits = kBackgroundPictureLimits);

}  // namespace lumevra
