#include "graphics/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace lumevra {

namespace {

void AppendData(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}

void NoFlush(png_structp) {}

// Runs the libpng calls; a libpng error jumps back here and is reported by
// the return value. Only plain data lives in this frame.
bool WriteRows(png_structp png, png_infop info, const DecodedPicture& p, bool withAlpha, std::string* out,
               std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, AppendData, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height), 8,
               withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::string EncodePng(const DecodedPicture& p, bool withAlpha) {
  if (p.width <= 0 || p.height <= 0 ||
      p.pixels.size() != static_cast<size_t>(p.width) * static_cast<size_t>(p.height))
    throw PictureError("Cannot write a PNG of an empty or inconsistent picture");
  const size_t channels = withAlpha ? 4 : 3;
  std::vector<uint8_t> bytes(p.pixels.size() * channels);
  for (size_t i = 0; i < p.pixels.size(); ++i) {
    const uint32_t c = p.pixels[i];
    uint8_t* d = &bytes[i * channels];
    d[0] = (c >> 16) & 0xFF;
    d[1] = (c >> 8) & 0xFF;
    d[2] = c & 0xFF;
    if (withAlpha) d[3] = c >> 24;
  }
  std::vector<png_bytep> rows(static_cast<size_t>(p.height));
  for (size_t y = 0; y < rows.size(); ++y) rows[y] = &bytes[y * static_cast<size_t>(p.width) * channels];

  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = png && info && WriteRows(png, info, p, withAlpha, &out, rows);
  png_destroy_write_struct(&png, &info);
  if (!ok) throw PictureError("Cannot encode the PNG");
  return out;
}

}  // namespace lumevra
