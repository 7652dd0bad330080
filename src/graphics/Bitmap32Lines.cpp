// Clipped pixels, lines and plain copies between surfaces.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "graphics/Bitmap32.h"
#include "graphics/Blend.h"

namespace lumevra {

namespace {

// Both combine modes blend here: cmMerge is never selected for a surface
// that lines are drawn on.
void BlendOnto(Color32& target, Color32 color, uint32_t alpha) {
  if (alpha != 0) target = BlendPixel(color, target, alpha);
}

// Narrows [from, to) to the steps i for which start + i * step lies in
// [lo, hi); step is -1, 0 or 1.
void ClipSteps(int64_t start, int step, int64_t lo, int64_t hi, int64_t& from, int64_t& to) {
  if (step == 0) {
    if (start < lo || start >= hi) to = from;
    return;
  }
  const int64_t first = step > 0 ? lo - start : start - hi + 1;
  const int64_t last = step > 0 ? hi - start : start - lo + 1;
  from = std::max(from, first);
  to = std::min(to, last);
}

int Sign(int64_t v) { return (v > 0) - (v < 0); }

// offset * num / den for 0 <= offset < den < 2^32 and 0 < num < 2^32:
// the product fits unsigned 64 bits.
int64_t Scaled(int64_t offset, int64_t num, int64_t den) {
  return static_cast<int64_t>(static_cast<uint64_t>(offset) * static_cast<uint64_t>(num) / static_cast<uint64_t>(den));
}

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

void Bitmap32::BlendPixelClipped(int32_t x, int32_t y, Color32 color) {
  if (x < clip_.Left || x >= clip_.Right || y < clip_.Top || y >= clip_.Bottom) return;
  BlendOnto(ScanLine(y)[x], color, AlphaOf(color));
}

void Bitmap32::HorzLineClipped(int32_t x1, int32_t y, int32_t x2, Color32 color) {
  if (y < clip_.Top || y >= clip_.Bottom) return;
  if (x1 > x2) std::swap(x1, x2);
  const int32_t from = std::max(x1, clip_.Left);
  const int32_t to = std::min(x2, clip_.Right - 1);
  const uint32_t a = AlphaOf(color);
  Color32* row = ScanLine(y);
  for (int32_t x = from; x <= to; ++x) BlendOnto(row[x], color, a);
}

void Bitmap32::LineAntialiased(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color32 color,
                                bool includeLast) {
  if (clip_.Width() <= 0 || clip_.Height() <= 0) return;
  const int64_t dx = int64_t{x2} - x1;
  const int64_t dy = int64_t{y2} - y1;
  const int64_t adx = std::llabs(dx);
  const int64_t ady = std::llabs(dy);
  const int64_t steps = std::max(adx, ady) + (includeLast ? 1 : 0);
  const uint32_t alpha = AlphaOf(color);

  if (dx == 0 || dy == 0 || adx == ady) {
    // One pixel per step; only the steps inside the clip rectangle are walked.
    const int sx = Sign(dx), sy = Sign(dy);
    int64_t from = 0, to = steps;
    ClipSteps(x1, sx, clip_.Left, clip_.Right, from, to);
    ClipSteps(y1, sy, clip_.Top, clip_.Bottom, from, to);
    for (int64_t i = from; i < to; ++i)
      BlendOnto(ScanLine(static_cast<int32_t>(y1 + i * sy))[x1 + i * sx], color, alpha);
    return;
  }

  // Along the major axis one step per pixel; the exact minor position, in
  // 1/256 pixel, splits the alpha between the two pixels it falls between.
  const bool xMajor = adx > ady;
  const int64_t major0 = xMajor ? x1 : y1;
  const int64_t minor0 = xMajor ? y1 : x1;
  const int majorStep = Sign(xMajor ? dx : dy);
  const double slope = static_cast<double>(xMajor ? dy : dx) / static_cast<double>(xMajor ? adx : ady);
  int64_t from = 0, to = steps;
  if (xMajor)
    ClipSteps(major0, majorStep, clip_.Left, clip_.Right, from, to);
  else
    ClipSteps(major0, majorStep, clip_.Top, clip_.Bottom, from, to);
  for (int64_t i = from; i < to; ++i) {
    const int64_t pos = minor0 * 256 + static_cast<int64_t>(std::floor(static_cast<double>(i) * slope * 256.0 + 0.5));
    const int64_t m = pos >> 8;
    const uint32_t weight = static_cast<uint32_t>(pos & 0xFF);
    const uint32_t far = (alpha * weight + 128) >> 8;
    const uint32_t near = alpha - far;
    const int64_t major = major0 + i * majorStep;
    for (int k = 0; k < 2; ++k) {
      const int64_t mm = m + k;
      const int64_t x = xMajor ? major : mm;
      const int64_t y = xMajor ? mm : major;
      if (x < clip_.Left || x >= clip_.Right || y < clip_.Top || y >= clip_.Bottom) continue;
      BlendOnto(ScanLine(static_cast<int32_t>(y))[x], color, k == 0 ? near : far);
    }
  }
}

void Bitmap32::DrawFrom(const Rect& dst, const Rect& src, const Bitmap32& source) {
  // Sizes in 64 bits: a rectangle may span the whole 32-bit range.
  const int64_t dw = int64_t{dst.Right} - dst.Left, dh = int64_t{dst.Bottom} - dst.Top;
  const int64_t sw = int64_t{src.Right} - src.Left, sh = int64_t{src.Bottom} - src.Top;
  if (Empty() || source.Empty() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  if (&source == this) {
    Bitmap32 copy;
    copy.Assign(source);
    DrawFrom(dst, src, copy);
    return;
  }
  const Rect area = IntersectRect(dst, clip_);
  if (area.Width() <= 0) return;
  // Source column of every target column of the area; -1 outside the source.
  std::vector<int32_t> columns(static_cast<size_t>(area.Width()));
  for (int32_t x = area.Left; x < area.Right; ++x) {
    const int64_t sx = src.Left + Scaled(int64_t{x} - dst.Left, sw, dw);
    columns[static_cast<size_t>(x - area.Left)] = sx >= 0 && sx < source.Width() ? Clamp32(sx) : -1;
  }
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    const int64_t sy = src.Top + Scaled(int64_t{y} - dst.Top, sh, dh);
    if (sy < 0 || sy >= source.Height()) continue;
    const Color32* s = source.ScanLine(static_cast<int32_t>(sy));
    Color32* d = ScanLine(y) + area.Left;
    for (size_t i = 0; i < columns.size(); ++i)
      if (columns[i] >= 0) d[i] = s[columns[i]];
  }
}

}  // namespace lumevra
