#include "graphics/FastBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "base/Rounding.h"
#include "graphics/Bitmap32.h"

namespace lumevra {

void FastBitmap::SetSize(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) {
    width = 0;
    height = 0;
  }
  if (width == width_ && height == height_) return;
  if (int64_t{width} * height > kMaxPixels) throw BitmapError("Can't allocate the DIB handle");
  const int32_t rowSize = static_cast<int32_t>(((int64_t{width} * 24 + 31) / 32) * 4);
  const int64_t size = int64_t{rowSize} * height;
  std::vector<uint8_t> pixels;
  std::vector<uint8_t*> rows;
  try {
    pixels.assign(static_cast<size_t>(size), 0);
    rows.resize(static_cast<size_t>(height));
  } catch (const std::bad_alloc&) {
    throw BitmapError("Can't allocate the DIB handle");
  }
  for (int32_t i = 0; i < height; ++i) rows[static_cast<size_t>(i)] = pixels.data() + int64_t{i} * rowSize;
  pixels_.swap(pixels);
  rows_.swap(rows);
  width_ = width;
  height_ = height;
  gap_ = width % 4;
  rowSize_ = rowSize;
  size_ = size;
}

void FastBitmap::SmoothResize(FastBitmap& target) const {
  const int32_t tw = target.width_;
  const int32_t th = target.height_;
  if (tw <= 0 || th <= 0 || width_ <= 0 || height_ <= 0) return;
  if (width_ == 1) {
    SimpleResize(target);
    return;
  }
  if (tw == width_ && th == height_) {
    std::memcpy(target.pixels_.data(), pixels_.data(), static_cast<size_t>(size_));
    return;
  }
  // Steps from (size - 1) keep pixel k + 1 and row r0 + 1 inside the source.
  const int32_t xs = static_cast<int32_t>((int64_t{width_ - 1} * 32768) / tw);
  const int32_t ys = static_cast<int32_t>((int64_t{height_ - 1} * 32768) / th);
  int64_t y = 0;
  for (int32_t i = 0; i < th; ++i, y += ys) {
    const auto r = static_cast<int32_t>(y >> 15);
    const uint8_t* r0 = Row(r);
    // A one-row source has no next row; its weight is 0 there anyway.
    const uint8_t* r1 = Row(std::min(r + 1, height_ - 1));
    const auto fy = static_cast<uint32_t>(y & 32767);
    uint8_t* out = target.Row(i);
    int64_t x = 0;
    for (int32_t j = 0; j < tw; ++j, x += xs) {
      const auto k = static_cast<int32_t>(x >> 15);
      const auto fx = static_cast<uint32_t>(x & 32767);
      // Weights of the four neighbours in 1/32768: they always add up to 32768.
      const uint32_t wb = (fx * (32768 - fy)) >> 15;
      const uint32_t wa = 32768 - fy - wb;
      const uint32_t wd = (fx * fy) >> 15;
      const uint32_t wc = fy - wd;
      const uint8_t* pa = r0 + 3 * k;
      const uint8_t* pc = r1 + 3 * k;
      for (int c = 0; c < 3; ++c)
        out[3 * j + c] = static_cast<uint8_t>((pa[c] * wa + pa[3 + c] * wb + pc[c] * wc + pc[3 + c] * wd) >> 15);
    }
  }
}

void FastBitmap::SimpleResize(FastBitmap& target) const {
  const int32_t sw = width_;
  const int32_t sh = height_;
  const int32_t tw = target.width_;
  const int32_t th = target.height_;
  if (tw <= 0 || th <= 0 || sw <= 0 || sh <= 0) return;
  if (tw == sw && th == sh) {
    std::memcpy(target.pixels_.data(), pixels_.data(), static_cast<size_t>(size_));
    return;
  }
  if (tw >= sw && th >= sh) {
    // Each source pixel becomes a block; sizes in single precision, their
    // products with the column or row not rounded again.
    const float sx = static_cast<float>(tw) / static_cast<float>(sw);
    const float sy = static_cast<float>(th) / static_cast<float>(sh);
    const auto blockW = static_cast<int32_t>(Round(sx + 0.5f));
    const auto blockH = static_cast<int32_t>(Round(sy + 0.5f));
    std::vector<uint8_t> line(static_cast<size_t>(target.rowSize_), 0);
    for (int32_t i = 0; i < sh; ++i) {
      const uint8_t* in = Row(i);
      for (int32_t j = 0; j < sw; ++j) {
        const auto start = static_cast<int32_t>(static_cast<double>(sx) * j);
        const int32_t end = std::min(start + blockW, tw);
        for (int32_t c = start; c < end; ++c) std::memcpy(&line[3 * static_cast<size_t>(c)], in + 3 * j, 3);
      }
      const auto top = static_cast<int32_t>(static_cast<double>(sy) * i);
      const int32_t bottom = std::min(top + blockH, th);
      for (int32_t r = top; r < bottom; ++r) std::memcpy(target.Row(r), line.data(), line.size());
    }
    return;
  }
  const int64_t xs = (int64_t{sw} * 65536) / tw;
  const int64_t ys = (int64_t{sh} * 65536) / th;
  int64_t y = 0;
  for (int32_t i = 0; i < th; ++i, y += ys) {
    const uint8_t* in = Row(static_cast<int32_t>(y >> 16));
    uint8_t* out = target.Row(i);
    int64_t x = 0;
    for (int32_t j = 0; j < tw; ++j, x += xs) std::memcpy(out + 3 * j, in + 3 * (x >> 16), 3);
  }
}

void FastBitmap::LoadFrom(const Bitmap32& source) {
  SetSize(source.Width(), source.Height());
  const int32_t h = Height();
  for (int32_t y = 0; y < h; ++y) {
    const Color32* in = source.ScanLine(y);
    uint8_t* out = Row(h - 1 - y);
    for (int32_t x = 0; x < Width(); ++x) {
      out[3 * x] = BlueOf(in[x]);
      out[3 * x + 1] = GreenOf(in[x]);
      out[3 * x + 2] = RedOf(in[x]);
    }
  }
}

void FastBitmap::DrawTo(Bitmap32& target, int32_t x, int32_t y) const {
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t{x} + Width(), target.Width());
  const int64_t bottom = std::min<int64_t>(int64_t{y} + Height(), target.Height());
  for (int64_t ty = top; ty < bottom; ++ty) {
    // Row table is bottom-up: picture row (ty - y) from the top.
    const uint8_t* in = Row(static_cast<int32_t>(Height() - 1 - (ty - y)));
    Color32* out = target.ScanLine(static_cast<int32_t>(ty));
    for (int64_t tx = left; tx < right; ++tx) {
      const uint8_t* p = in + 3 * (tx - x);
      out[tx] = Rgba(p[2], p[1], p[0]);
    }
  }
}

}  // namespace lumevra
