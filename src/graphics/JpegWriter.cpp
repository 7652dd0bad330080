#include "graphics/JpegWriter.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/JpegErrors.h"

namespace lumevra {

namespace {

// Owned by EncodeJpeg's frame; the setjmp function below holds only plain data.
struct JpegEncodeJob {
  JpegErrorTrap trap;
  jpeg_compress_struct cinfo{};
  bool created = false;
  unsigned char* output = nullptr;  // malloc'ed by libjpeg's memory destination
  unsigned long outputSize = 0;

  ~JpegEncodeJob() {
    if (created) jpeg_destroy_compress(&cinfo);
    std::free(output);
  }
};

bool Compress(JpegEncodeJob& job, const DecodedPicture& picture, int quality) {
  job.cinfo.err = InstallJpegErrorTrap(job.trap);
  if (setjmp(job.trap.jump)) return false;
  jpeg_compress_struct* cinfo = &job.cinfo;
  jpeg_create_compress(cinfo);
  job.created = true;
  jpeg_mem_dest(cinfo, &job.output, &job.outputSize);
  cinfo->image_width = static_cast<JDIMENSION>(picture.width);
  cinfo->image_height = static_cast<JDIMENSION>(picture.height);
  cinfo->input_components = 4;
  cinfo->in_color_space = JCS_EXT_BGRX;  // our B,G,R,A bytes; the A byte is skipped
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, quality, TRUE);
  jpeg_start_compress(cinfo, TRUE);
  const unsigned char* bits = reinterpret_cast<const unsigned char*>(picture.pixels.data());
  const size_t stride = static_cast<size_t>(picture.width) * 4;
  while (cinfo->next_scanline < cinfo->image_height) {
    JSAMPROW row = const_cast<unsigned char*>(bits + cinfo->next_scanline * stride);
    jpeg_write_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_compress(cinfo);
  return true;
}

}  // namespace

std::string EncodeJpeg(const DecodedPicture& picture, int quality) {
  if (picture.width <= 0 || picture.height <= 0 || picture.width > JPEG_MAX_DIMENSION ||
      picture.height > JPEG_MAX_DIMENSION ||
      picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height)) {
    throw PictureError("JPEG: cannot encode a " + std::to_string(picture.width) + " x " +
                       std::to_string(picture.height) + " picture with " +
                       std::to_string(picture.pixels.size()) + " pixels");
  }
  JpegEncodeJob job;
  if (!Compress(job, picture, std::clamp(quality, 1, 100))) {
    throw PictureError(std::string("JPEG: ") + job.trap.message);
  }
  return std::string(reinterpret_cast<const char*>(job.output), job.outputSize);
}

}  // namespace lumevra
