// FastBitmap: a 24-bit picture (bytes blue, green, red) in padded rows, made
// for whole-image resizing when the background is fitted to the screen. It
// trades pixels with 32-bit surfaces in plain memory. Rows are stored
// bottom-up (row 0 of the row table is the picture's bottom row), so the
// resizing walks the same rows in the same order as the original.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/Bitmap32.h"

namespace lumevra {

class FastBitmap {
public:
  // Largest picture accepted by SetSize (as for 32-bit surfaces).
  static constexpr int64_t kMaxPixels = int64_t{1} << 28;

  FastBitmap() = default;
  FastBitmap(const FastBitmap&) = delete;
  FastBitmap& operator=(const FastBitmap&) = delete;
  ~FastBitmap() = default;

  // Reallocates (zeroed) and rebuilds the row table when the size changes; a
  // width or height <= 0 gives 0 x 0. Absurd sizes raise BitmapError.
  void SetSize(int32_t width, int32_t height);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // Filler bytes at the end of each row: width mod 4.
  int32_t Gap() const { return gap_; }
  // Bytes per row: ((width * 24 + 31) div 32) * 4.
  int32_t RowSize() const { return rowSize_; }
  // RowSize * Height.
  int64_t Size() const { return size_; }

  // Row i of the table (0 = bottom row of the picture), 3 bytes per pixel.
  uint8_t* Row(int32_t i) { return rows_[static_cast<size_t>(i)]; }
  const uint8_t* Row(int32_t i) const { return rows_[static_cast<size_t>(i)]; }
  uint8_t* Bits() { return pixels_.data(); }
  const uint8_t* Bits() const { return pixels_.data(); }

  // Resamples the whole picture into the target's current size: 1.15
  // fixed-point bilinear; a one-pixel-wide source goes to SimpleResize.
  void SmoothResize(FastBitmap& target) const;
  // Block replication when enlarging in both directions, else nearest
  // sampling in 16.16 steps.
  void SimpleResize(FastBitmap& target) const;

  // Takes the surface's size and its red, green and blue bytes.
  void LoadFrom(const Bitmap32& source);
  // Copies the whole picture 1:1 into the surface at (x, y) with alpha 255,
  // inside the surface's bounds.
  void DrawTo(Bitmap32& target, int32_t x, int32_t y) const;

private:
  int32_t gap_ = 0;
  int32_t rowSize_ = 0;
  int64_t size_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint8_t*> rows_;
  std::vector<uint8_t> pixels_;
};

}  // namespace lumevra
