// PNG through libpng, from memory, into B,G,R,A pixels with the file's alpha.
//
// libpng reports fatal errors by longjmp. The setjmp is taken in small
// functions that hold only plain data; the pixel buffer and the row table
// belong to DecodePng, which throws once the jump has landed.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>

#include "graphics/PictureDecoders.h"

namespace lumevra {

namespace {

struct PngDecodeJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const unsigned char* data = nullptr;
  size_t size = 0;
  size_t position = 0;
  char message[200] = {};
  char warning[200] = {};  // the last one: often says why an error followed
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  bool hasAlpha = false;
  uint64_t minimumFileSize = 0;

  ~PngDecodeJob() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
};

PngDecodeJob& JobOf(png_structp png) { return *static_cast<PngDecodeJob*>(png_get_error_ptr(png)); }

void OnError(png_structp png, png_const_charp message) {
  PngDecodeJob& job = JobOf(png);
  std::strncpy(job.message, message ? message : "error", sizeof job.message - 1);
  png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message) {
  PngDecodeJob& job = JobOf(png);
  std::strncpy(job.warning, message ? message : "", sizeof job.warning - 1);
}

[[noreturn]] void Fail(const PngDecodeJob& job) {
  std::string text = std::string("PNG: ") + job.message;
  if (job.warning[0]) text += std::string(" (") + job.warning + ")";
  throw PictureError(text);
}

void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
  auto& job = *static_cast<PngDecodeJob*>(png_get_io_ptr(png));
  if (length > job.size - job.position) png_error(png, "file is truncated");
  std::memcpy(out, job.data + job.position, length);
  job.position += length;
}

bool ReadHeader(PngDecodeJob& job, const PictureLimits& limits) {
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning);
  if (!job.png) {
    std::strcpy(job.message, "out of memory");
    return false;
  }
  job.info = png_create_info_struct(job.png);
  if (!job.info) {
    std::strcpy(job.message, "out of memory");
    return false;
  }
  if (setjmp(png_jmpbuf(job.png))) return false;
  // libpng refuses larger headers itself, before allocating anything.
  png_set_user_limits(job.png, static_cast<png_uint_32>(limits.maxSide),
                      static_cast<png_uint_32>(limits.maxSide));
  png_set_read_fn(job.png, &job, ReadFromMemory);
  png_read_info(job.png, job.info);

  int bitDepth = 0, colorType = 0;
  png_get_IHDR(job.png, job.info, &job.width, &job.height, &bitDepth, &colorType, nullptr, nullptr,
               nullptr);
  // Deflate packs at most 1032 bytes into one: the file must be at least
  // that share of the filtered rows.
  const uint64_t rowBytes = 1 + (uint64_t{job.width} * png_get_channels(job.png, job.info) * bitDepth + 7) / 8;
  job.minimumFileSize = rowBytes * job.height / 1032;
  job.hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(job.png, job.info, PNG_INFO_tRNS);

  // Every layout to 8-bit B, G, R, A.
  png_set_expand(job.png);  // palette and low-depth grey to 8 bits, tRNS to alpha
  png_set_strip_16(job.png);
  png_set_gray_to_rgb(job.png);
  png_set_add_alpha(job.png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(job.png);
  png_set_interlace_handling(job.png);
  png_read_update_info(job.png, job.info);
  if (png_get_rowbytes(job.png, job.info) != size_t{job.width} * 4) png_error(job.png, "unexpected row layout");
  return true;
}

bool ReadRows(PngDecodeJob& job, png_bytepp rows) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  png_read_image(job.png, rows);
  return true;
}

}  // namespace

DecodedPicture DecodePng(std::string_view bytes, const PictureLimits& limits) {
  PngDecodeJob job;
  job.data = reinterpret_cast<const unsigned char*>(bytes.data());
  job.size = bytes.size();
  if (!ReadHeader(job, limits)) Fail(job);
  CheckPictureSize(job.width, job.height, limits, "PNG");
  CheckEnoughData(job.minimumFileSize, bytes.size(), "PNG");

  DecodedPicture picture;
  picture.width = static_cast<int32_t>(job.width);
  picture.height = static_cast<int32_t>(job.height);
  picture.hasAlpha = job.hasAlpha;
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  std::vector<png_bytep> rows(job.height);
  for (png_uint_32 y = 0; y < job.height; ++y) {
    rows[y] = reinterpret_cast<png_bytep>(picture.pixels.data() + size_t{y} * job.width);
  }
  if (!ReadRows(job, rows.data())) Fail(job);
  return picture;
}

}  // namespace lumevra
