#include "graphics/GifDecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "graphics/PictureDecoders.h"

namespace lumevra {

namespace {

struct MemorySource {
  const GifByteType* data;
  size_t size;
  size_t position;
};

// giflib's read callback; a short count tells it the data ended.
int ReadFromMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* source = static_cast<MemorySource*>(gif->UserData);
  if (length <= 0) return 0;
  const size_t n = std::min(static_cast<size_t>(length), source->size - source->position);
  std::memcpy(out, source->data + source->position, n);
  source->position += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void Fail(int code) {
  if (code == D_GIF_ERR_READ_FAILED) throw PictureError("GIF: the file is truncated");
  const char* text = GifErrorString(code);
  throw PictureError(std::string("GIF: ") + (text ? text : "cannot decode"));
}

std::vector<uint32_t> PaletteOf(const ColorMapObject* map) {
  std::vector<uint32_t> palette;
  if (!map || !map->Colors || map->ColorCount <= 0) return palette;
  palette.reserve(static_cast<size_t>(map->ColorCount));
  for (int i = 0; i < map->ColorCount; ++i) {
    const GifColorType& c = map->Colors[i];
    palette.push_back(0xFF000000u | (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue);
  }
  return palette;
}

// The fewest bytes that can hold `pixels` pixels: an LZW code takes at
// least 3 bits and stands for at most 4096 pixels.
uint64_t MinimumLzwBytes(int64_t pixels) { return static_cast<uint64_t>(pixels) * 3 / (4096 * 8); }

// The stored order of an interlaced frame's rows: every 8th from 0, every
// 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<int32_t> RowOrder(int32_t height, bool interlaced) {
  std::vector<int32_t> rows;
  rows.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int32_t y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  static constexpr int32_t kStart[] = {0, 4, 2, 1};
  static constexpr int32_t kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int32_t y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  }
  return rows;
}

// Reads the image whose descriptor giflib has just read.
GifFrame ReadFrame(GifFileType* gif, const GraphicsControlBlock& control, const std::vector<uint32_t>& global,
                   const PictureLimits& limits, int64_t& pixelBudget) {
  const GifImageDesc& desc = gif->Image;
  CheckPictureSize(desc.Width, desc.Height, limits, "GIF frame");
  const int64_t area = int64_t{desc.Width} * desc.Height;
  const auto* source = static_cast<const MemorySource*>(gif->UserData);
  CheckEnoughData(MinimumLzwBytes(area), source->size - source->position, "GIF");
  if (area > pixelBudget) throw PictureError("GIF: the frames hold too many pixels");
  pixelBudget -= area;

  GifFrame frame;
  frame.left = desc.Left;
  frame.top = desc.Top;
  frame.width = desc.Width;
  frame.height = desc.Height;
  frame.palette = desc.ColorMap ? PaletteOf(desc.ColorMap) : global;
  frame.transparentIndex = control.TransparentColor;
  frame.delayCs = control.DelayTime;
  frame.disposal = GifDisposalOf(control.DisposalMode);
  frame.indices.resize(static_cast<size_t>(area));
  for (int32_t y : RowOrder(frame.height, desc.Interlace)) {
    if (DGifGetLine(gif, frame.indices.data() + static_cast<size_t>(y) * frame.width, frame.width) == GIF_ERROR) {
      Fail(gif->Error);
    }
  }
  return frame;
}

void ReadExtension(GifFileType* gif, GraphicsControlBlock& control, bool& hasControl) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) Fail(gif->Error);
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4) {
    DGifExtensionToGCB(block[0], block + 1, &control);
    hasControl = true;
  }
  while (block) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) Fail(gif->Error);
  }
}

GraphicsControlBlock NoControl() {
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSAL_UNSPECIFIED;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  return control;
}

}  // namespace

GifAnimation DecodeGifAnimation(std::string_view bytes, const PictureLimits& limits, size_t maxFrames) {
  MemorySource source{reinterpret_cast<const GifByteType*>(bytes.data()), bytes.size(), 0};
  int error = 0;
  GifHandle gif(DGifOpen(&source, ReadFromMemory, &error));
  if (!gif) Fail(error);

  GifAnimation animation;
  animation.width = gif->SWidth;
  animation.height = gif->SHeight;
  // Some writers leave the logical screen at zero; the first frame sets it then.
  const bool screenFromFrame = animation.width <= 0 || animation.height <= 0;
  if (!screenFromFrame) {
    CheckPictureSize(animation.width, animation.height, limits, "GIF");
    // A screen far larger than the file could ever fill is a damaged header.
    CheckEnoughData(MinimumLzwBytes(int64_t{animation.width} * animation.height), bytes.size(), "GIF");
  }
  animation.globalPalette = PaletteOf(gif->SColorMap);

  int64_t pixelBudget = limits.maxFramePixels;
  GraphicsControlBlock control = NoControl();
  bool hasControl = false;
  try {
    while (animation.frames.size() < std::max<size_t>(maxFrames, 1)) {
      GifRecordType record = UNDEFINED_RECORD_TYPE;
      if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) Fail(gif->Error);
      if (record == TERMINATE_RECORD_TYPE) break;
      if (record == EXTENSION_RECORD_TYPE) {
        ReadExtension(gif.get(), control, hasControl);
      } else if (record == IMAGE_DESC_RECORD_TYPE) {
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) Fail(gif->Error);
        animation.frames.push_back(ReadFrame(gif.get(), control, animation.globalPalette, limits, pixelBudget));
        animation.frames.back().hasControl = hasControl;
        control = NoControl();
        hasControl = false;
      } else {
        throw PictureError("GIF: unknown record");
      }
    }
  } catch (const PictureError&) {
    if (animation.frames.empty()) throw;
    animation.complete = false;
  }
  if (animation.frames.empty()) throw PictureError("GIF: the file holds no image");
  if (screenFromFrame) {
    const GifFrame& first = animation.frames.front();
    animation.width = first.left + first.width;
    animation.height = first.top + first.height;
    CheckPictureSize(animation.width, animation.height, limits, "GIF");
    // The frame's offsets make the screen as large as a declared one would
    // be, and the same rule holds: no screen the file could never fill.
    CheckEnoughData(MinimumLzwBytes(int64_t{animation.width} * animation.height), bytes.size(), "GIF");
  }
  return animation;
}

void PaintGifFrame(const GifFrame& frame, int32_t screenWidth, int32_t screenHeight, uint32_t* canvas) {
  const int32_t x0 = std::max(frame.left, 0), x1 = std::min(frame.left + frame.width, screenWidth);
  const int32_t y0 = std::max(frame.top, 0), y1 = std::min(frame.top + frame.height, screenHeight);
  for (int32_t y = y0; y < y1; ++y) {
    const uint8_t* source = frame.indices.data() + static_cast<size_t>(y - frame.top) * frame.width;
    uint32_t* target = canvas + static_cast<size_t>(y) * screenWidth;
    for (int32_t x = x0; x < x1; ++x) {
      const int index = source[x - frame.left];
      if (index == frame.transparentIndex) continue;
      // An index past the colour map shows black, as viewers do.
      target[x] = static_cast<size_t>(index) < frame.palette.size() ? frame.palette[index] : 0xFF000000u;
    }
  }
}

DecodedPicture DecodeGif(std::string_view bytes, const PictureLimits& limits) {
  const GifAnimation animation = DecodeGifAnimation(bytes, limits, 1);
  const GifFrame& first = animation.frames.front();
  DecodedPicture picture;
  picture.width = animation.width;
  picture.height = animation.height;
  picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height, 0);  // transparent
  PaintGifFrame(first, picture.width, picture.height, picture.pixels.data());
  const bool coversScreen = first.left <= 0 && first.top <= 0 && first.left + first.width >= picture.width &&
                            first.top + first.height >= picture.height;
  picture.hasAlpha = first.transparentIndex >= 0 || !coversScreen;
  return picture;
}

}  // namespace lumevra
