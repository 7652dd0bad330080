// Bitmap32: the 32-bit surface every frame, object picture, clock face and
// text line is composed on. Pixels are Color32 (bytes blue, green, red,
// alpha in memory), rows top to bottom and contiguous.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "graphics/FontRaster.h"
#include "graphics/PixelView.h"

namespace lumevra {

using Color32 = uint32_t;

inline constexpr Color32 Rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return (Color32{a} << 24) | (Color32{r} << 16) | (Color32{g} << 8) | b;
}
inline constexpr uint8_t AlphaOf(Color32 c) { return c >> 24; }
inline constexpr uint8_t RedOf(Color32 c) { return (c >> 16) & 0xFF; }
inline constexpr uint8_t GreenOf(Color32 c) { return (c >> 8) & 0xFF; }
inline constexpr uint8_t BlueOf(Color32 c) { return c & 0xFF; }

struct RGBBytes {
  uint8_t r, g, b;
};
// The bytes at bits 16..23, 8..15 and 0..7 of a 32-bit value.
inline constexpr RGBBytes SplitRGB(uint32_t v) {
  return {static_cast<uint8_t>((v >> 16) & 0xFF), static_cast<uint8_t>((v >> 8) & 0xFF),
          static_cast<uint8_t>(v & 0xFF)};
}
// A Windows colour value (0x00BBGGRR) as a Color32.
inline constexpr Color32 WinColor32(uint32_t c, uint8_t alpha = 255) {
  return Rgba(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, alpha);
}

struct Rect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool operator==(const Rect&) const = default;
};

// The overlap of two rectangles; an empty rectangle (0, 0, 0, 0) when none.
inline Rect IntersectRect(const Rect& a, const Rect& b) {
  const Rect r{a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
                a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
  if (r.Right <= r.Left || r.Bottom <= r.Top) return Rect{};
  return r;
}

enum class DrawMode { dmOpaque, dmBlend, dmCustom, dmTransparent };
enum class CombineMode { cmBlend, cmMerge };
enum class StretchFilter { sfNearest, sfDraft, sfLinear, sfCosine, sfSpline, sfLanczos, sfMitchell };

// Raised for a surface that cannot be allocated ("Can't allocate the DIB
// handle") and for a stretched draw whose source rectangle does not lie
// inside the source ("Invalid SrcRect").
class BitmapError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The largest surface we allocate (1 GiB of pixels); a bigger request is
// refused with "Can't allocate the DIB handle".
inline constexpr int64_t kMaxSurfacePixels = int64_t{1} << 28;

// A decoded picture as the picture loader hands it over.
struct DecodedPicture;

class Bitmap32 {
public:
  // (source pixel F, target pixel B by reference, alpha)
  using PixelCombineEvent = std::function<void(Color32 F, Color32& B, uint32_t alpha)>;
  // (column, row, alpha by reference)
  using PixelAlphaEvent = std::function<void(int32_t x, int32_t y, uint32_t& alpha)>;

  Bitmap32() = default;
  Bitmap32(const Bitmap32&) = delete;
  Bitmap32& operator=(const Bitmap32&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // Discards the pixels and allocates new ones (zeroed); a width or height
  // <= 0 makes the surface empty. Resets the clip rectangle to the whole.
  void SetSize(int32_t width, int32_t height);
  void SetWidth(int32_t width) { SetSize(width, height_); }
  void SetHeight(int32_t height) { SetSize(width_, height); }

  // Size, pixels and drawing properties (not the handlers) of another surface.
  void Assign(const Bitmap32& source);
  // Size and pixels of a decoded picture (alpha 255 where it has none);
  // pixel data that does not match the size raises BitmapError.
  void Assign(const DecodedPicture& picture);
  // Loads any picture the picture loader knows; throws on failure.
  void LoadFromFile(const std::filesystem::path& file);

  Color32* ScanLine(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const Color32* ScanLine(int32_t y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  Color32* Bits() { return pixels_.data(); }
  const Color32* Bits() const { return pixels_.data(); }
  Color32 GetPixel(int32_t x, int32_t y) const { return ScanLine(y)[x]; }
  void SetPixel(int32_t x, int32_t y, Color32 c) { ScanLine(y)[x] = c; }
  // The pixels for a platform backend.
  PixelView View() const { return PixelView{pixels_.data(), width_, height_, width_}; }

  // Writes the colour into columns x1..x2-1 of rows y1..y2-1 (clipped to the surface).
  void FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color32 color);
  void Clear(Color32 color = 0) { FillRect(0, 0, width_, height_, color); }
  // Mirrors left-right into `target` (sized like this), or in place when null.
  void FlipHorz(Bitmap32* target = nullptr);

  const Rect& ClipRect() const { return clip_; }
  void SetClipRect(const Rect& r);  // intersected with the surface

  // Drawing properties: how this surface combines when drawn onto another.
  DrawMode Mode = DrawMode::dmOpaque;
  CombineMode Combine = CombineMode::cmBlend;
  Color32 OuterColor = 0;
  PixelCombineEvent OnPixelCombine;
  PixelAlphaEvent OnPixelAlpha;
  StretchFilter Filter = StretchFilter::sfNearest;
  // Set by object worker threads while frames draw: relaxed atomic.
  uint8_t MasterAlpha() const { return masterAlpha_.load(std::memory_order_relaxed); }
  void SetMasterAlpha(uint8_t a) { masterAlpha_.store(a, std::memory_order_relaxed); }

  // The font of TextWidth and RenderText.
  FontSpec Font{"Arial", 13, false, false};

  // Draws the whole source with its top-left corner at (x, y), combined by
  // the source's Mode; only this surface's clip rectangle limits it.
  void Draw(int32_t x, int32_t y, const Bitmap32& source);
  void DrawTo(Bitmap32& target, int32_t x, int32_t y) const { target.Draw(x, y, *this); }
  // Draws the source rectangle into the target rectangle, resampled by the
  // source's Filter when the sizes differ (then the source rectangle
  // must lie inside the source, else "Invalid SrcRect").
  void DrawStretched(const Rect& dst, const Rect& src, const Bitmap32& source);
  void DrawToStretched(Bitmap32& target, const Rect& dst, const Rect& src) const {
    target.DrawStretched(dst, src, *this);
  }
  // Plain copy (no blending, drawing properties ignored) of the source
  // rectangle into the target rectangle, nearest-pixel stretched when the
  // sizes differ; parts outside the source or the clip rectangle are skipped.
  void DrawFrom(const Rect& dst, const Rect& src, const Bitmap32& source);

  // Pixels and lines: clipped to the clip rectangle, blended by Combine
  // at the colour's own alpha.
  void BlendPixelClipped(int32_t x, int32_t y, Color32 color);
  // Pixels x1..x2 of row y, both inclusive (either order).
  void HorzLineClipped(int32_t x1, int32_t y, int32_t x2, Color32 color);
  // Axis-parallel lines and exact diagonals as one-pixel lines, other slopes
  // spread over two pixels across the minor axis by coverage; the end point
  // (x2, y2) is drawn only when includeLast is set.
  void LineAntialiased(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color32 color, bool includeLast);

  // Text in Font through the platform's raster.
  int32_t TextWidth(FontRaster& raster, std::u16string_view text) const;
  // Anti-alias level 0: the text in `color`, blended with the colour's alpha.
  void RenderText(FontRaster& raster, int32_t x, int32_t y, std::u16string_view text, int level,
                  Color32 color);

private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<Color32> pixels_;
  Rect clip_;
  std::atomic<uint8_t> masterAlpha_{255};
};

}  // namespace lumevra
