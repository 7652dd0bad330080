#include "graphics/Blend.h"

#include <cstring>

namespace lumevra {

Color32 BlendPixelReference(Color32 F, Color32 B, uint32_t a) {
  const uint32_t na = 255 - a;
  auto mix = [&](uint32_t f, uint32_t b) { return (f * a + b * na + 127) / 255; };
  const uint32_t alpha = mix(255, AlphaOf(B));
  return (alpha << 24) | (mix(RedOf(F), RedOf(B)) << 16) | (mix(GreenOf(F), GreenOf(B)) << 8) |
         mix(BlueOf(F), BlueOf(B));
}

void BlendRowReference(const Color32* src, Color32* dst, int32_t n, uint32_t masterAlpha) {
  if (masterAlpha == 0) return;
  for (int32_t i = 0; i < n; ++i) dst[i] = BlendPixelReference(src[i], dst[i], EffectiveAlpha(src[i], masterAlpha));
}

void BlendRow(const Color32* src, Color32* dst, int32_t n, uint32_t masterAlpha) {
  if (masterAlpha == 0) return;
  for (int32_t i = 0; i < n; ++i) {
    const Color32 f = src[i];
    const uint32_t a = EffectiveAlpha(f, masterAlpha);
    // Fully transparent and fully opaque pixels are the common case of
    // object pictures: skip or copy them without arithmetic.
    if (a == 0) continue;
    dst[i] = a == 255 ? f : BlendPixel(f, dst[i], a);
  }
}

void RowCombiner::CopyRow(const Color32* src, Color32* dst, int32_t n) {
  if (n > 0) std::memmove(dst, src, static_cast<size_t>(n) * sizeof(Color32));
}

}  // namespace lumevra
