// JPEG through libjpeg(-turbo), from memory, into B,G,R,A pixels.
#include <cstring>
#include <string>

#include "graphics/JpegErrors.h"
#include "graphics/PictureDecoders.h"

namespace lumevra {

namespace {

// A progressive file can hold any number of scans, each costing a pass over
// the whole picture; real files have a dozen or so.
constexpr int kMaxJpegScans = 500;

// Everything one decode needs, owned by DecodeJpeg's frame so that the
// setjmp functions below hold nothing that needs destroying.
struct JpegDecodeJob {
  JpegErrorTrap trap;
  jpeg_decompress_struct cinfo{};
  jpeg_progress_mgr progress{};
  bool created = false;
  bool cmyk = false;

  JpegDecodeJob() { trap.failOnPrematureEnd = true; }
  ~JpegDecodeJob() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

void LimitScans(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->is_decompressor && d->input_scan_number > kMaxJpegScans) {
    FailJpeg(cinfo, "too many scans");
  }
}

bool ReadHeader(JpegDecodeJob& job, const unsigned char* data, unsigned long size) {
  job.cinfo.err = InstallJpegErrorTrap(job.trap);
  if (setjmp(job.trap.jump)) return false;
  jpeg_create_decompress(&job.cinfo);
  job.created = true;
  job.progress.progress_monitor = LimitScans;
  job.cinfo.progress = &job.progress;
  jpeg_mem_src(&job.cinfo, data, size);
  jpeg_read_header(&job.cinfo, TRUE);
  return true;
}

// Decodes into `out` (output_width x output_height pixels of 4 bytes).
bool ReadPixels(JpegDecodeJob& job, unsigned char* out) {
  if (setjmp(job.trap.jump)) return false;
  j_decompress_ptr cinfo = &job.cinfo;
  job.cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = job.cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(cinfo);
  if (cinfo->output_components != 4 || cinfo->output_width != cinfo->image_width ||
      cinfo->output_height != cinfo->image_height) {
    FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), "unexpected output format");
  }
  const size_t stride = size_t{cinfo->output_width} * 4;
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = out + cinfo->output_scanline * stride;
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), "no progress");
  }
  return true;
}

// C, M, Y, K bytes (inverted as Adobe writes them, or plain) to B, G, R, 255.
void CmykToBgra(std::vector<uint32_t>& pixels, bool adobeInverted) {
  for (uint32_t& p : pixels) {
    unsigned char b[4];
    std::memcpy(b, &p, 4);
    unsigned c = b[0], m = b[1], y = b[2], k = b[3];
    if (!adobeInverted) {
      c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    }
    const uint32_t red = c * k / 255, green = m * k / 255, blue = y * k / 255;
    p = 0xFF000000u | (red << 16) | (green << 8) | blue;
  }
}

}  // namespace

DecodedPicture DecodeJpeg(std::string_view bytes, const PictureLimits& limits) {
  JpegDecodeJob job;
  if (!ReadHeader(job, reinterpret_cast<const unsigned char*>(bytes.data()),
                  static_cast<unsigned long>(bytes.size()))) {
    throw PictureError(std::string("JPEG: ") + job.trap.message);
  }
  CheckPictureSize(job.cinfo.image_width, job.cinfo.image_height, limits, "JPEG");
  if (!job.cinfo.arith_code) {
    // Huffman coding spends at least one bit on every 8 x 8 block.
    CheckEnoughData(uint64_t{job.cinfo.image_width} * job.cinfo.image_height / 512, bytes.size(), "JPEG");
  }

  DecodedPicture picture;
  picture.width = static_cast<int32_t>(job.cinfo.image_width);
  picture.height = static_cast<int32_t>(job.cinfo.image_height);
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  if (!ReadPixels(job, reinterpret_cast<unsigned char*>(picture.pixels.data()))) {
    throw PictureError(std::string("JPEG: ") + job.trap.message);
  }
  if (job.cmyk) CmykToBgra(picture.pixels, job.cinfo.saw_Adobe_marker);
  return picture;
}

}  // namespace lumevra
