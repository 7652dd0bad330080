// Format detection, dispatch to the per-format decoders, and file reading.
#include "graphics/PictureLoader.h"

#include <bit>
#include <cstring>
#include <fstream>
#include <string>

#include "graphics/PictureDecoders.h"

namespace lumevra {

// Decoders write B, G, R, A bytes and callers read 0xAARRGGBB values.
static_assert(std::endian::native == std::endian::little);

namespace {

// No picture we accept needs a file this large; refusing it early keeps a
// stray huge file from being read into memory.
constexpr std::uintmax_t kMaxPictureFileBytes = std::uintmax_t{1} << 30;

bool StartsWith(std::string_view bytes, const char* magic, size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), magic, length) == 0;
}

}  // namespace

void CheckPictureSize(int64_t width, int64_t height, const PictureLimits& limits, const char* format) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width <= 0 || height <= 0) {
    throw PictureError(std::string(format) + " picture has no pixels (" + size + ")");
  }
  if (width > limits.maxSide || height > limits.maxSide) {
    throw PictureError(std::string(format) + " picture is too large (" + size + "; at most " +
                       std::to_string(limits.maxSide) + " pixels a side)");
  }
  if (width * height > limits.maxPixels) {
    throw PictureError(std::string(format) + " picture is too large (" + size + "; at most " +
                       std::to_string(limits.maxPixels) + " pixels)");
  }
}

void CheckEnoughData(uint64_t needed, uint64_t available, const char* format) {
  if (needed > available) {
    throw PictureError(std::string(format) + ": the file is truncated (" + std::to_string(available) +
                       " bytes cannot hold the picture its header describes)");
  }
}

PictureFormat DetectPictureFormat(std::string_view bytes) {
  if (StartsWith(bytes, "\xFF\xD8\xFF", 3)) return PictureFormat::Jpeg;
  if (StartsWith(bytes, "\x89PNG\r\n\x1A\n", 8)) return PictureFormat::Png;
  if (StartsWith(bytes, "GIF87a", 6) || StartsWith(bytes, "GIF89a", 6)) return PictureFormat::Gif;
  if (StartsWith(bytes, "BM", 2)) return PictureFormat::Bmp;
  return PictureFormat::Unknown;
}

DecodedPicture DecodePicture(std::string_view bytes, const PictureLimits& limits) {
  switch (DetectPictureFormat(bytes)) {
    case PictureFormat::Jpeg: return DecodeJpeg(bytes, limits);
    case PictureFormat::Png: return DecodePng(bytes, limits);
    case PictureFormat::Gif: return DecodeGif(bytes, limits);
    case PictureFormat::Bmp: return DecodeBmp(bytes, limits);
    case PictureFormat::Unknown: break;
  }
  throw PictureError("Unknown picture format");
}

DecodedPicture DecodePictureFile(const std::filesystem::path& file, const PictureLimits& limits) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) throw PictureError("Cannot read picture " + file.string() + ": " + error.message());
  if (size > kMaxPictureFileBytes) throw PictureError("Picture file is too large: " + file.string());

  std::ifstream in(file, std::ios::binary);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    throw PictureError("Cannot read picture " + file.string());
  }
  try {
    return DecodePicture(bytes, limits);
  } catch (const PictureError& e) {
    throw PictureError(file.filename().string() + ": " + e.what());
  }
}

}  // namespace lumevra
