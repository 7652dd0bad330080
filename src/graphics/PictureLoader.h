// The picture loader: JPEG, PNG (with alpha), GIF (first frame) and BMP,
// from memory or from a file, into 32-bit pixels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace lumevra {

// The largest picture we decode: bigger ones are refused before allocating.
inline constexpr int64_t kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 28;

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

DecodedPicture DecodePicture(std::string_view bytes);
DecodedPicture DecodePictureFile(const std::filesystem::path& file);
// The JPEG decoder alone (project files hold only JPEG blocks).
DecodedPicture DecodeJpeg(std::string_view bytes);

}  // namespace lumevra
