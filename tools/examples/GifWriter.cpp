#include "GifWriter.h"

#include <gif_lib.h>

#include <fstream>
#include <memory>
#include <stdexcept>

namespace lumevra::demo {

namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("GIF: " + what); }

struct MapDeleter {
  void operator()(ColorMapObject* m) const { GifFreeMapObject(m); }
};

int AppendToString(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
  return length;
}

}  // namespace

std::string EncodeAnimatedGif(const IndexedAnimation& a) {
  if (a.width <= 0 || a.height <= 0 || a.width > 65535 || a.height > 65535) Fail("bad picture size");
  const size_t pixels = static_cast<size_t>(a.width) * static_cast<size_t>(a.height);
  if (a.palette.empty() || a.palette.size() > 256) Fail("the palette needs 1..256 colours");
  if (a.transparentIndex >= static_cast<int32_t>(a.palette.size())) Fail("the transparent index is not in the palette");
  if (a.frames.empty()) Fail("no frames");
  for (const auto& f : a.frames) {
    if (f.size() != pixels) Fail("a frame does not match the picture size");
    for (const uint8_t i : f)
      if (i >= a.palette.size()) Fail("a pixel's index is not in the palette");
  }

  // The colour table holds a power of two entries; the rest stay black.
  int bits = 1;
  while ((size_t{1} << bits) < a.palette.size()) ++bits;
  std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(1 << bits, nullptr));
  if (!map) Fail("out of memory");
  for (size_t i = 0; i < a.palette.size(); ++i)
    map->Colors[i] = GifColorType{a.palette[i][0], a.palette[i][1], a.palette[i][2]};

  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendToString, &error);
  if (!gif) Fail(GifErrorString(error));
  auto check = [&](int result, const char* step) {
    if (result == GIF_OK) return;
    const int code = gif->Error;
    EGifCloseFile(gif, &error);
    Fail(std::string(step) + ": " + GifErrorString(code));
  };
  EGifSetGifVersion(gif, true);
  check(EGifPutScreenDesc(gif, a.width, a.height, bits, 0, map.get()), "screen descriptor");

  // Loop for ever.
  static const GifByteType kNetscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  static const GifByteType kLoop[] = {1, 0, 0};
  check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "loop block");
  check(EGifPutExtensionBlock(gif, sizeof kNetscape, kNetscape), "loop block");
  check(EGifPutExtensionBlock(gif, sizeof kLoop, kLoop), "loop block");
  check(EGifPutExtensionTrailer(gif), "loop block");

  std::vector<GifPixelType> row(static_cast<size_t>(a.width));
  for (const auto& frame : a.frames) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_BACKGROUND;
    gcb.UserInputFlag = false;
    gcb.DelayTime = a.delayCs;
    gcb.TransparentColor = a.transparentIndex < 0 ? NO_TRANSPARENT_COLOR : a.transparentIndex;
    GifByteType ext[4];
    const size_t n = EGifGCBToExtension(&gcb, ext);
    check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext), "frame timing");
    check(EGifPutImageDesc(gif, 0, 0, a.width, a.height, false, nullptr), "frame descriptor");
    for (int32_t y = 0; y < a.height; ++y) {
      const uint8_t* src = frame.data() + static_cast<size_t>(y) * a.width;
      row.assign(src, src + a.width);
      check(EGifPutLine(gif, row.data(), a.width), "frame pixels");
    }
  }
  if (EGifCloseFile(gif, &error) != GIF_OK) Fail(std::string("cannot finish: ") + GifErrorString(error));
  return out;
}

void WriteAnimatedGif(const std::filesystem::path& file, const IndexedAnimation& a) {
  const std::string bytes = EncodeAnimatedGif(a);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace lumevra::demo
