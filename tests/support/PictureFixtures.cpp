#include "support/PictureFixtures.h"

#include <gif_lib.h>
#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#include <cstdlib>
#include <stdexcept>

namespace lumevra::test {

std::string Le16(uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

namespace {

std::string WritePng(png_image& image, const void* buffer) {
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, buffer, 0, nullptr)) {
    throw std::runtime_error(image.message);
  }
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, buffer, 0, nullptr)) {
    throw std::runtime_error(image.message);
  }
  out.resize(size);
  return out;
}

int WriteToString(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
  return length;
}

ColorMapObject* MapOf(const std::vector<uint32_t>& palette) {
  if (palette.empty()) return nullptr;
  std::vector<GifColorType> colors;
  for (uint32_t c : palette) {
    colors.push_back(GifColorType{static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8),
                                  static_cast<GifByteType>(c)});
  }
  return GifMakeMapObject(static_cast<int>(colors.size()), colors.data());
}

void Check(int result, const char* what) {
  if (result == GIF_ERROR) throw std::runtime_error(what);
}

}  // namespace

std::string MakePng(int32_t width, int32_t height, const std::vector<uint32_t>& pixels, bool withAlpha) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  if (withAlpha) {
    image.format = PNG_FORMAT_BGRA;
    return WritePng(image, pixels.data());
  }
  image.format = PNG_FORMAT_BGR;
  std::vector<uint8_t> bgr;
  for (uint32_t p : pixels) {
    bgr.push_back(p & 0xFF);
    bgr.push_back((p >> 8) & 0xFF);
    bgr.push_back((p >> 16) & 0xFF);
  }
  return WritePng(image, bgr.data());
}

std::string MakeGreyPng(int32_t width, int32_t height, const std::vector<uint8_t>& grey) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_GRAY;
  return WritePng(image, grey.data());
}

std::string MakeGif(int32_t screenWidth, int32_t screenHeight, const std::vector<uint32_t>& globalPalette,
                    const std::vector<GifFrameSpec>& frames) {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToString, &error);
  if (!gif) throw std::runtime_error("EGifOpen");
  EGifSetGifVersion(gif, true);
  ColorMapObject* global = MapOf(globalPalette);
  Check(EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, 0, global), "screen");
  GifFreeMapObject(global);
  for (const GifFrameSpec& f : frames) {
    if (f.controlBlock || f.transparentIndex >= 0 || f.delayCs > 0) {
      GraphicsControlBlock gcb{};
      gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
      gcb.DelayTime = f.delayCs;
      gcb.TransparentColor = f.transparentIndex;
      GifByteType ext[4];
      const size_t n = EGifGCBToExtension(&gcb, ext);
      Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext), "gcb");
    }
    ColorMapObject* local = MapOf(f.localPalette);
    Check(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local), "image");
    GifFreeMapObject(local);
    std::vector<int32_t> order;
    if (f.interlaced) {
      const int32_t start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
      for (int pass = 0; pass < 4; ++pass) {
        for (int32_t y = start[pass]; y < f.height; y += step[pass]) order.push_back(y);
      }
    } else {
      for (int32_t y = 0; y < f.height; ++y) order.push_back(y);
    }
    for (int32_t y : order) {
      std::vector<GifPixelType> row(f.indices.begin() + y * f.width, f.indices.begin() + (y + 1) * f.width);
      Check(EGifPutLine(gif, row.data(), f.width), "line");
    }
  }
  if (EGifCloseFile(gif, &error) == GIF_ERROR) throw std::runtime_error("EGifCloseFile");
  return out;
}

std::string MakeInvertedCmykJpeg(int32_t width, int32_t height, const std::vector<uint8_t>& cmyk) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> inverted(cmyk.size());
  for (size_t i = 0; i < cmyk.size(); ++i) inverted[i] = static_cast<uint8_t>(255 - cmyk[i]);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = inverted.data() + size_t{cinfo.next_scanline} * width * 4;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return out;
}

std::string MakeBmp(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression,
                    const std::vector<uint32_t>& palette, const std::string& pixelData,
                    const std::vector<uint32_t>& masks) {
  std::string info = Le32(40) + Le32(static_cast<uint32_t>(width)) + Le32(static_cast<uint32_t>(height)) + Le16(1) +
                     Le16(bitCount) + Le32(compression) + Le32(static_cast<uint32_t>(pixelData.size())) + Le32(2835) +
                     Le32(2835) + Le32(static_cast<uint32_t>(palette.size())) + Le32(0);
  for (uint32_t m : masks) info += Le32(m);
  for (uint32_t c : palette) info += Le32(c & 0x00FFFFFF);
  const uint32_t offset = static_cast<uint32_t>(14 + info.size());
  return "BM" + Le32(static_cast<uint32_t>(offset + pixelData.size())) + Le32(0) + Le32(offset) + info + pixelData;
}

}  // namespace lumevra::test
