// Windows bitmap files, decoded by hand: 1-, 4- and 8-bit palettes, 16-, 24-
// and 32-bit pixels (plain or with bit-field masks), bottom-up or top-down.
// Run-length compressed files are refused. Every offset and size read from
// the file is checked against the buffer before use.
#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "graphics/PictureDecoders.h"

namespace lumevra {

namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12;  // the old header with 16-bit sizes
constexpr size_t kInfoHeaderSize = 40;

class Bytes {
public:
  explicit Bytes(std::string_view data) : data_(data) {}
  size_t size() const { return data_.size(); }
  const uint8_t* At(size_t offset, size_t length) const {
    if (offset > data_.size() || length > data_.size() - offset) throw PictureError("BMP: the file is truncated");
    return reinterpret_cast<const uint8_t*>(data_.data()) + offset;
  }
  uint16_t U16(size_t offset) const {
    const uint8_t* p = At(offset, 2);
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
  }
  uint32_t U32(size_t offset) const {
    const uint8_t* p = At(offset, 4);
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
  }

private:
  std::string_view data_;
};

// One channel of a bit-field pixel, scaled to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    const int bits = std::min(static_cast<int>(std::bit_width(mask >> shift)), 31);
    max = (uint32_t{1} << bits) - 1;
  }
  uint8_t Of(uint32_t pixel) const {
    if (max == 0) return 0;
    const uint32_t v = std::min((pixel & mask) >> shift, max);
    return static_cast<uint8_t>(uint64_t{v} * 255 / max);
  }
};

struct BmpHeader {
  int64_t width = 0;
  int64_t height = 0;  // positive; see topDown
  bool topDown = false;
  uint32_t bitCount = 0;
  uint32_t compression = kRgb;
  uint32_t colorsUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  size_t paletteOffset = 0;
  size_t paletteEntrySize = 4;
  size_t pixelOffset = 0;
};

BmpHeader ReadHeader(const Bytes& bytes, const PictureLimits& limits) {
  BmpHeader h;
  h.pixelOffset = bytes.U32(10);
  const uint32_t headerSize = bytes.U32(kFileHeaderSize);
  if (headerSize == kCoreHeaderSize) {
    h.width = bytes.U16(18);
    h.height = bytes.U16(20);
    h.bitCount = bytes.U16(24);
    h.paletteEntrySize = 3;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
    h.width = static_cast<int32_t>(bytes.U32(18));
    const int32_t height = static_cast<int32_t>(bytes.U32(22));
    h.topDown = height < 0;
    h.height = height < 0 ? -int64_t{height} : height;
    h.bitCount = bytes.U16(28);
    h.compression = bytes.U32(30);
    h.colorsUsed = bytes.U32(46);
    if (h.compression == kBitFields) {
      // Masks sit inside the larger headers, or just after the plain one.
      const size_t maskCount = headerSize >= 56 ? 4 : 3;
      for (size_t i = 0; i < maskCount; ++i) h.masks[i] = bytes.U32(kFileHeaderSize + 40 + 4 * i);
    }
  } else {
    throw PictureError("BMP: unsupported header of " + std::to_string(headerSize) + " bytes");
  }
  h.paletteOffset = kFileHeaderSize + headerSize;
  if (headerSize == kInfoHeaderSize && h.compression == kBitFields) h.paletteOffset += 12;

  if (h.compression == kRle8 || h.compression == kRle4) {
    throw PictureError("BMP: run-length compressed bitmaps are not supported");
  }
  const uint32_t b = h.bitCount;
  const bool plainOk = h.compression == kRgb && (b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32);
  const bool fieldsOk = h.compression == kBitFields && (b == 16 || b == 32);
  if (!plainOk && !fieldsOk) {
    throw PictureError("BMP: unsupported format (" + std::to_string(b) + " bits, compression " +
                       std::to_string(h.compression) + ")");
  }
  CheckPictureSize(h.width, h.height, limits, "BMP");
  return h;
}

std::vector<uint32_t> ReadPalette(const Bytes& bytes, const BmpHeader& h) {
  const uint32_t full = uint32_t{1} << h.bitCount;
  const uint32_t count = h.colorsUsed == 0 ? full : h.colorsUsed;
  if (count > 256) throw PictureError("BMP: palette of " + std::to_string(count) + " colours");
  const uint8_t* p = bytes.At(h.paletteOffset, size_t{count} * h.paletteEntrySize);
  std::vector<uint32_t> palette(count);
  for (uint32_t i = 0; i < count; ++i, p += h.paletteEntrySize) {
    palette[i] = 0xFF000000u | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
  }
  return palette;
}

void DecodeRow(const uint8_t* row, const BmpHeader& h, const std::vector<uint32_t>& palette, uint32_t* out) {
  const int32_t width = static_cast<int32_t>(h.width);
  auto fromPalette = [&](uint32_t index) {
    // An index past the palette shows black.
    return index < palette.size() ? palette[index] : 0xFF000000u;
  };
  switch (h.bitCount) {
    case 1:
    case 4:
    case 8: {
      const uint32_t bits = h.bitCount, perByte = 8 / bits, mask = (1u << bits) - 1;
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t shift = 8 - bits * (x % perByte + 1);
        out[x] = fromPalette((row[x / perByte] >> shift) & mask);
      }
      break;
    }
    case 24:
      for (int32_t x = 0; x < width; ++x, row += 3) {
        out[x] = 0xFF000000u | (uint32_t{row[2]} << 16) | (uint32_t{row[1]} << 8) | row[0];
      }
      break;
    case 16:
    case 32: {
      const uint32_t defaults16[4] = {0x7C00, 0x03E0, 0x001F, 0};
      const uint32_t defaults32[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
      const uint32_t* masks = h.compression == kBitFields ? h.masks : (h.bitCount == 16 ? defaults16 : defaults32);
      const Channel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
      const size_t step = h.bitCount / 8;
      for (int32_t x = 0; x < width; ++x, row += step) {
        const uint32_t v = step == 2 ? uint32_t{row[0]} | (uint32_t{row[1]} << 8)
                                     : uint32_t{row[0]} | (uint32_t{row[1]} << 8) | (uint32_t{row[2]} << 16) |
                                           (uint32_t{row[3]} << 24);
        const uint32_t alpha = a.mask ? a.Of(v) : 255;
        out[x] = (alpha << 24) | (uint32_t{r.Of(v)} << 16) | (uint32_t{g.Of(v)} << 8) | b.Of(v);
      }
      break;
    }
  }
}

}  // namespace

DecodedPicture DecodeBmp(std::string_view data, const PictureLimits& limits) {
  const Bytes bytes(data);
  const BmpHeader h = ReadHeader(bytes, limits);
  const std::vector<uint32_t> palette = h.bitCount <= 8 ? ReadPalette(bytes, h) : std::vector<uint32_t>{};

  // Rows are padded to 4 bytes; the last one may lack its padding.
  const size_t stride = static_cast<size_t>((h.width * h.bitCount + 31) / 32 * 4);
  const size_t lastRow = static_cast<size_t>((h.width * h.bitCount + 7) / 8);
  if (h.pixelOffset < h.paletteOffset) throw PictureError("BMP: the pixels overlap the header");
  const uint8_t* pixels = bytes.At(h.pixelOffset, stride * static_cast<size_t>(h.height - 1) + lastRow);

  DecodedPicture picture;
  picture.width = static_cast<int32_t>(h.width);
  picture.height = static_cast<int32_t>(h.height);
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  for (int32_t y = 0; y < picture.height; ++y) {
    const int32_t stored = h.topDown ? y : picture.height - 1 - y;
    DecodeRow(pixels + static_cast<size_t>(stored) * stride, h, palette,
              picture.pixels.data() + static_cast<size_t>(y) * picture.width);
  }

  // 32-bit files usually leave the fourth byte at zero: only a file that
  // sets some alpha has an alpha channel.
  const bool alphaPossible = (h.bitCount == 32 && h.compression == kRgb) || h.masks[3] != 0;
  if (alphaPossible) {
    bool anyAlpha = false;
    for (uint32_t p : picture.pixels) anyAlpha |= (p >> 24) != 0;
    picture.hasAlpha = anyAlpha;
    if (!anyAlpha) {
      for (uint32_t& p : picture.pixels) p |= 0xFF000000u;
    }
  }
  return picture;
}

}  // namespace lumevra
