// Per-pixel and per-row combining of a source surface onto a target, as the
// source's drawing properties ask for. Shared by plain and stretched drawing.
#pragma once

#include <cstdint>

#include "graphics/Bitmap32.h"

namespace lumevra {

// cmBlend of F over B at alpha a (0..255): red, green and blue become
// B + (F - B) * a / 255 rounded to nearest; the alpha becomes
// Ba + (255 - Ba) * a / 255, so an opaque target stays opaque.
// The straightforward per-channel form.
Color32 BlendPixelReference(Color32 F, Color32 B, uint32_t a);

// The same result, two channels per multiply.
inline Color32 BlendPixel(Color32 F, Color32 B, uint32_t a) {
  const uint32_t na = 255 - a;
  // Lanes of 16 bits: red/blue, and alpha/green with the source alpha taken as 255.
  uint32_t rb = (F & 0x00FF00FFu) * a + (B & 0x00FF00FFu) * na;
  uint32_t ag = (((F >> 8) & 0x000000FFu) | 0x00FF0000u) * a + ((B >> 8) & 0x00FF00FFu) * na;
  // Exact rounded division by 255 in each lane (every lane stays below 65536).
  rb += 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  ag += 0x00800080u;
  ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
  return rb | ag;
}

// The alpha of a dmBlend source pixel under a master alpha.
inline uint32_t EffectiveAlpha(Color32 F, uint32_t masterAlpha) {
  const uint32_t fa = AlphaOf(F);
  return masterAlpha == 255 ? fa : (fa * masterAlpha + 127) / 255;
}

// dmBlend of one row: the reference loop and the one drawing uses.
void BlendRowReference(const Color32* src, Color32* dst, int32_t n, uint32_t masterAlpha);
void BlendRow(const Color32* src, Color32* dst, int32_t n, uint32_t masterAlpha);

// A snapshot of a source surface's drawing properties for one draw call:
// MasterAlpha is read once, so a worker thread changing it mid-draw cannot
// give one picture two opacities.
class RowCombiner {
public:
  explicit RowCombiner(const Bitmap32& source)
      : mode_(source.Mode),
        masterAlpha_(source.MasterAlpha()),
        outerColor_(source.OuterColor),
        combine_(source.OnPixelCombine ? &source.OnPixelCombine : nullptr),
        alphaEvent_(source.OnPixelAlpha ? &source.OnPixelAlpha : nullptr) {
    if (mode_ == DrawMode::dmCustom && !combine_) mode_ = DrawMode::dmOpaque;
  }

  // dmBlend at MasterAlpha 0 leaves every target pixel as it is.
  bool DrawsNothing() const { return mode_ == DrawMode::dmBlend && masterAlpha_ == 0; }
  // dmCustom with a combine handler: the caller supplies the alpha per pixel.
  bool IsCustom() const { return mode_ == DrawMode::dmCustom; }
  uint32_t MasterAlpha() const { return masterAlpha_; }
  // The OnPixelAlpha handler, or null.
  const Bitmap32::PixelAlphaEvent* AlphaEvent() const { return alphaEvent_; }

  // The custom alpha for a pixel: OnPixelAlpha(x, y) seeded with MasterAlpha.
  uint32_t AskAlpha(int32_t x, int32_t y) const {
    uint32_t a = masterAlpha_;
    (*alphaEvent_)(x, y, a);
    return a;
  }

  // Combines n source pixels onto n target pixels. alphaAt(i) gives the
  // alpha handed to OnPixelCombine for pixel i; it is called only in dmCustom.
  template <class AlphaAt>
  void Row(const Color32* src, Color32* dst, int32_t n, AlphaAt&& alphaAt) const {
    switch (mode_) {
      case DrawMode::dmOpaque:
        CopyRow(src, dst, n);
        break;
      case DrawMode::dmBlend:
        if (masterAlpha_ != 0) BlendRow(src, dst, n, masterAlpha_);
        break;
      case DrawMode::dmTransparent:
        for (int32_t i = 0; i < n; ++i)
          if (src[i] != outerColor_) dst[i] = src[i];
        break;
      case DrawMode::dmCustom:
        for (int32_t i = 0; i < n; ++i) (*combine_)(src[i], dst[i], alphaAt(i));
        break;
    }
  }

private:
  static void CopyRow(const Color32* src, Color32* dst, int32_t n);

  DrawMode mode_;
  uint32_t masterAlpha_;
  Color32 outerColor_;
  const Bitmap32::PixelCombineEvent* combine_;
  const Bitmap32::PixelAlphaEvent* alphaEvent_;
};

}  // namespace lumevra
