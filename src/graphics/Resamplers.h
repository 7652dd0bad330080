// Stretched drawing: the resamplers that produce each target pixel from the
// source rectangle, and the alpha that dmCustom hands to OnPixelCombine.
#pragma once

#include <cstdint>

#include "graphics/Bitmap32.h"

namespace lumevra {

// Draws src of source into dst of target when the two sizes differ. Raises
// BitmapError("Invalid SrcRect") when src does not lie inside the source.
void DrawResampled(Bitmap32& target, const Rect& dst, const Rect& src, const Bitmap32& source);

// The per-axis tables, for a target position i (0 .. dstSize - 1) of an axis
// that maps srcSize source pixels onto dstSize target pixels. Positions are
// relative to the source rectangle.

// sfNearest: Trunc(i * srcSize / dstSize) with the ratio in single
// precision and the product with i exact; a one-pixel target takes the
// middle source pixel.
int32_t NearestIndex(int64_t i, int32_t srcSize, int64_t dstSize);

// sfDraft shrinking: the source pixels [first, last) in the box of target
// pixel i, box edges in 16.16 fixed point. Requires dstSize < srcSize.
struct BoxSpan {
  int32_t first = 0;
  int32_t last = 0;
};
BoxSpan BoxSpanAt(int64_t i, int32_t srcSize, int64_t dstSize);

// Bilinear: the two source pixels around the centre of target pixel i and
// the weight of the second in 256ths (edges clamp to the outer pixel).
struct LinearTap {
  int32_t first = 0;
  int32_t second = 0;
  uint32_t weight = 0;
};
LinearTap LinearTapAt(int64_t i, int32_t srcSize, int64_t dstSize);

// One bilinear pixel from its four neighbours (p00 p01 above p10 p11),
// weights of the right and lower pixels in 256ths, rounded to nearest: the
// per-channel reference and the form drawing uses.
Color32 BilinearPixelReference(Color32 p00, Color32 p01, Color32 p10, Color32 p11, uint32_t wx, uint32_t wy);
Color32 BilinearPixel(Color32 p00, Color32 p01, Color32 p10, Color32 p11, uint32_t wx, uint32_t wy);

}  // namespace lumevra
