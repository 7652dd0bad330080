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
void CopyForSelfDraw(const Bitmap32& source, Bitmap32& copy) {
  copy.Assign(source);
  copy.OnPixelCombine = source.OnPixelCombine;
  copy.OnPixelAlpha = source.OnPixelAlpha;
}

// Draws the part `src` of the source (cut to the source) shifted by
// (shiftX, shiftY) onto the target, inside the target's clip rectangle.
void DrawSameSize(Bitmap32& target, int64_t shiftX, int64_t shiftY, const Rect& src, const Bitmap32& source) {
  const RowCombiner combiner(source);
  if (combiner.DrawsNothing()) return;
  const Rect part = IntersectRect(src, Rect{0, 0, source.Width(), source.Height()});
  if (part.Width() <= 0) return;
  const Rect placed{Clamp32(part.Left + shiftX), Clamp32(part.Top + shiftY), Clamp32(part.Right + shiftX),
                     Clamp32(part.Bottom + shiftY)};
  const Rect area = IntersectRect(placed, target.ClipRect());
  const int32_t n = area.Width();
  if (n <= 0) return;
  const auto srcLeft = static_cast<int32_t>(area.Left - shiftX);
  for (int32_t ty = area.Top; ty < area.Bottom; ++ty) {
    const int32_t row = ty - area.Top;
    const Color32* s = source.ScanLine(static_cast<int32_t>(ty - shiftY)) + srcLeft;
    Color32* d = target.ScanLine(ty) + area.Left;
    if (combiner.IsCustom() && combiner.AlphaEvent()) {
      // Column and row count from the top-left of the drawn (clipped) area.
      combiner.Row(s, d, n, [&](int32_t i) { return combiner.AskAlpha(i, row); });
    } else {
      combiner.Row(s, d, n, [&](int32_t) { return combiner.MasterAlpha(); });
    }
  }
}

}  // namespace

void Bitmap32::SetSize(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) {
    width = 0;
    height = 0;
  }
  const int64_t count = int64_t{width} * height;
  if (count > kMaxSurfacePixels) throw BitmapError("Can't allocate the DIB handle");
  if (static_cast<size_t>(count) == pixels_.size()) {
    // The same number of pixels: cleared in place, without fresh pages.
    std::fill(pixels_.begin(), pixels_.end(), Color32{0});
    width_ = width;
    height_ = height;
    clip_ = Rect{0, 0, width_, height_};
    return;
  }
  std::vector<Color32> pixels;
  try {
    pixels.assign(static_cast<size_t>(count), 0);
  } catch (const std::bad_alloc&) {
    throw BitmapError("Can't allocate the DIB handle");
  }
  pixels_.swap(pixels);
  width_ = width;
  height_ = height;
  clip_ = Rect{0, 0, width_, height_};
}

void Bitmap32::Assign(const Bitmap32& source) {
  if (&source == this) return;
  // Copied straight over: clearing first would be a second pass over the surface.
  if (pixels_.size() == source.pixels_.size()) {
    std::copy(source.pixels_.begin(), source.pixels_.end(), pixels_.begin());
  } else {
    std::vector<Color32> pixels;
    try {
      pixels.assign(source.pixels_.begin(), source.pixels_.end());
    } catch (const std::bad_alloc&) {
      throw BitmapError("Can't allocate the DIB handle");
    }
    pixels_.swap(pixels);
  }
  width_ = source.width_;
  height_ = source.height_;
  clip_ = Rect{0, 0, width_, height_};
  Mode = source.Mode;
  Combine = source.Combine;
  SetMasterAlpha(source.MasterAlpha());
  OuterColor = source.OuterColor;
  Filter = source.Filter;
  Font = source.Font;
}

void Bitmap32::Assign(const DecodedPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0) {
    SetSize(0, 0);
    return;
  }
  const int64_t count = int64_t{picture.width} * picture.height;
  if (static_cast<int64_t>(picture.pixels.size()) != count)
    throw BitmapError("Picture data does not match its size");
  SetSize(picture.width, picture.height);
  if (picture.hasAlpha) {
    std::copy(picture.pixels.begin(), picture.pixels.end(), pixels_.begin());
  } else {
    std::transform(picture.pixels.begin(), picture.pixels.end(), pixels_.begin(),
                   [](uint32_t p) { return p | 0xFF000000u; });
  }
}

void Bitmap32::LoadFromFile(const std::filesystem::path& file) { Assign(DecodePictureFile(file)); }

void Bitmap32::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color32 color) {
  const Rect r = IntersectRect(Rect{x1, y1, x2, y2}, Rect{0, 0, width_, height_});
  for (int32_t y = r.Top; y < r.Bottom; ++y) std::fill(ScanLine(y) + r.Left, ScanLine(y) + r.Right, color);
}

void Bitmap32::FlipHorz(Bitmap32* target) {
  if (target == nullptr || target == this) {
    for (int32_t y = 0; y < height_; ++y) std::reverse(ScanLine(y), ScanLine(y) + width_);
    return;
  }
  target->SetSize(width_, height_);
  for (int32_t y = 0; y < height_; ++y) std::reverse_copy(ScanLine(y), ScanLine(y) + width_, target->ScanLine(y));
}

void Bitmap32::SetClipRect(const Rect& r) { clip_ = IntersectRect(r, Rect{0, 0, width_, height_}); }

void Bitmap32::Draw(int32_t x, int32_t y, const Bitmap32& source) {
  if (source.Empty() || Empty()) return;
  if (&source == this) {
    Bitmap32 copy;
    CopyForSelfDraw(source, copy);
    Draw(x, y, copy);
    return;
  }
  DrawSameSize(*this, x, y, Rect{0, 0, source.width_, source.height_}, source);
}

void Bitmap32::DrawStretched(const Rect& dst, const Rect& src, const Bitmap32& source) {
  if (source.Empty() || Empty()) return;
  if (&source == this) {
    Bitmap32 copy;
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
