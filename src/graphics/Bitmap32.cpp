#include "graphics/Bitmap32.h"

#include <algorithm>
#include <new>

#include "graphics/Blend.h"
#include "graphics/PictureLoader.h"
#include "graphics/Resamplers.h"

namespace lumevra {

namespace {

// Clamps a 64-bit coordinate into the 32-bit range so that rectangles far
// outside the surface intersect to nothing instead of wrapping.
int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Drawing a surface onto itself would read what it writes: such a draw
// works from a copy with the same drawing properties and handlers.
void CopyForSelfDraw(const TBitmap32& source, TBitmap32& copy) {
  copy.Assign(source);
  copy.OnPixelCombine = source.OnPixelCombine;
  copy.OnPixelAlpha = source.OnPixelAlpha;
}

// Draws the part `src` of the source (cut to the source) shifted by
// (shiftX, shiftY) onto the target, inside the target's clip rectangle.
void DrawSameSize(TBitmap32& target, int64_t shiftX, int64_t shiftY, const TRect& src, const TBitmap32& source) {
  const RowCombiner combiner(source);
  if (combiner.DrawsNothing()) return;
  const TRect part = IntersectRect(src, TRect{0, 0, source.Width(), source.Height()});
  if (part.Width() <= 0) return;
  const TRect placed{Clamp32(part.Left + shiftX), Clamp32(part.Top + shiftY), Clamp32(part.Right + shiftX),
                     Clamp32(part.Bottom + shiftY)};
  const TRect area = IntersectRect(placed, target.ClipRect());
  const int32_t n = area.Width();
  if (n <= 0) return;
  const auto srcLeft = static_cast<int32_t>(area.Left - shiftX);
  for (int32_t ty = area.Top; ty < area.Bottom; ++ty) {
    const int32_t row = ty - area.Top;
    const TColor32* s = source.ScanLine(static_cast<int32_t>(ty - shiftY)) + srcLeft;
    TColor32* d = target.ScanLine(ty) + area.Left;
    if (combiner.IsCustom() && combiner.AlphaEvent()) {
      // Column and row count from the top-left of the drawn (clipped) area.
      combiner.Row(s, d, n, [&](int32_t i) { return combiner.AskAlpha(i, row); });
    } else {
      combiner.Row(s, d, n, [&](int32_t) { return combiner.MasterAlpha(); });
    }
  }
}

}  // namespace

void TBitmap32::SetSize(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) {
    width = 0;
    height = 0;
  }
  const int64_t count = int64_t{width} * height;
  if (count > kMaxSurfacePixels) throw EBitmapError("Can't allocate the DIB handle");
  std::vector<TColor32> pixels;
  try {
    pixels.assign(static_cast<size_t>(count), 0);
  } catch (const std::bad_alloc&) {
    throw EBitmapError("Can't allocate the DIB handle");
  }
  pixels_.swap(pixels);
  width_ = width;
  height_ = height;
  clip_ = TRect{0, 0, width_, height_};
}

void TBitmap32::Assign(const TBitmap32& source) {
  if (&source == this) return;
  SetSize(source.width_, source.height_);
  std::copy(source.pixels_.begin(), source.pixels_.end(), pixels_.begin());
  DrawMode = source.DrawMode;
  CombineMode = source.CombineMode;
  SetMasterAlpha(source.MasterAlpha());
  OuterColor = source.OuterColor;
  StretchFilter = source.StretchFilter;
  Font = source.Font;
}

void TBitmap32::Assign(const DecodedPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0) {
    SetSize(0, 0);
    return;
  }
  const int64_t count = int64_t{picture.width} * picture.height;
  if (static_cast<int64_t>(picture.pixels.size()) != count)
    throw EBitmapError("Picture data does not match its size");
  SetSize(picture.width, picture.height);
  if (picture.hasAlpha) {
    std::copy(picture.pixels.begin(), picture.pixels.end(), pixels_.begin());
  } else {
    std::transform(picture.pixels.begin(), picture.pixels.end(), pixels_.begin(),
                   [](uint32_t p) { return p | 0xFF000000u; });
  }
}

void TBitmap32::LoadFromFile(const std::filesystem::path& file) { Assign(DecodePictureFile(file)); }

void TBitmap32::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 color) {
  const TRect r = IntersectRect(TRect{x1, y1, x2, y2}, TRect{0, 0, width_, height_});
  for (int32_t y = r.Top; y < r.Bottom; ++y) std::fill(ScanLine(y) + r.Left, ScanLine(y) + r.Right, color);
}

void TBitmap32::FlipHorz(TBitmap32* target) {
  if (target == nullptr || target == this) {
    for (int32_t y = 0; y < height_; ++y) std::reverse(ScanLine(y), ScanLine(y) + width_);
    return;
  }
  target->SetSize(width_, height_);
  for (int32_t y = 0; y < height_; ++y) std::reverse_copy(ScanLine(y), ScanLine(y) + width_, target->ScanLine(y));
}

void TBitmap32::SetClipRect(const TRect& r) { clip_ = IntersectRect(r, TRect{0, 0, width_, height_}); }

void TBitmap32::Draw(int32_t x, int32_t y, const TBitmap32& source) {
  if (source.Empty() || Empty()) return;
  if (&source == this) {
    TBitmap32 copy;
    CopyForSelfDraw(source, copy);
    Draw(x, y, copy);
    return;
  }
  DrawSameSize(*this, x, y, TRect{0, 0, source.width_, source.height_}, source);
}

void TBitmap32::DrawStretched(const TRect& dst, const TRect& src, const TBitmap32& source) {
  if (source.Empty() || Empty()) return;
  if (&source == this) {
    TBitmap32 copy;
    CopyForSelfDraw(source, copy);
    DrawStretched(dst, src, copy);
    return;
  }
  // Extents in 64 bits: a rectangle may span more than the 32-bit range.
  const int64_t dw = int64_t{dst.Right} - dst.Left;
  const int64_t dh = int64_t{dst.Bottom} - dst.Top;
  if (dw <= 0 || dh <= 0) return;
  if (dw == int64_t{src.Right} - src.Left && dh == int64_t{src.Bottom} - src.Top) {
    DrawSameSize(*this, dst.Left - int64_t{src.Left}, dst.Top - int64_t{src.Top}, src, source);
  } else {
    DrawResampled(*this, dst, src, source);
  }
}

}  // namespace lumevra
