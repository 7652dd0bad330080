#include "graphics/Resamplers.h"

#include <algorithm>
#include <vector>

#include "graphics/Blend.h"

namespace lumevra {

namespace {

// a * b / d truncated, without overflowing for target rectangles far larger
// than any surface (a and b non-negative, d positive).
int64_t MulDiv(int64_t a, int64_t b, int64_t d) {
  __extension__ using Wide = __int128;
  return static_cast<int64_t>(static_cast<Wide>(a) * b / d);
}

enum class Sampling { Nearest, Box, Linear };

struct Channels {
  uint32_t b = 0, g = 0, r = 0, a = 0;
  void Add(Color32 c) {
    b += BlueOf(c);
    g += GreenOf(c);
    r += RedOf(c);
    a += AlphaOf(c);
  }
};

// Weighted sum of two pixels per channel, weights in 256ths.
Channels Mix(Color32 p, Color32 q, uint32_t wq) {
  const uint32_t wp = 256 - wq;
  return {BlueOf(p) * wp + BlueOf(q) * wq, GreenOf(p) * wp + GreenOf(q) * wq, RedOf(p) * wp + RedOf(q) * wq,
          AlphaOf(p) * wp + AlphaOf(q) * wq};
}

Color32 Bilinear(Color32 p00, Color32 p01, Color32 p10, Color32 p11, uint32_t wx, uint32_t wy) {
  const Channels top = Mix(p00, p01, wx);
  const Channels bottom = Mix(p10, p11, wx);
  const uint32_t wt = 256 - wy;
  auto channel = [&](uint32_t t, uint32_t b) { return (t * wt + b * wy + 32768) >> 16; };
  return (channel(top.a, bottom.a) << 24) | (channel(top.r, bottom.r) << 16) | (channel(top.g, bottom.g) << 8) |
         channel(top.b, bottom.b);
}

// The same result two channels per multiply: blue and red, green and alpha
// each in the two 32-bit lanes of a 64-bit value.
Color32 BilinearFast(Color32 p00, Color32 p01, Color32 p10, Color32 p11, uint32_t wx, uint32_t wy) {
  constexpr uint64_t kLanes = 0x000000FF000000FFull;
  auto spread = [](Color32 c) { return (uint64_t{c} | (uint64_t{c} << 16)) & kLanes; };  // B, R
  auto spreadHigh = [](Color32 c) { return (uint64_t{c >> 8} | (uint64_t{c >> 8} << 16)) & kLanes; };  // G, A
  const uint64_t nx = 256 - wx, ny = 256 - wy;
  auto interp = [&](uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
    const uint64_t top = a * nx + b * wx;
    const uint64_t bottom = c * nx + d * wx;
    return ((top * ny + bottom * wy + 0x0000800000008000ull) >> 16) & kLanes;
  };
  const uint64_t br = interp(spread(p00), spread(p01), spread(p10), spread(p11));
  const uint64_t ga = interp(spreadHigh(p00), spreadHigh(p01), spreadHigh(p10), spreadHigh(p11));
  return static_cast<Color32>(br | (br >> 16) | ((ga | (ga >> 16)) << 8));
}

}  // namespace

Color32 BilinearPixelReference(Color32 p00, Color32 p01, Color32 p10, Color32 p11, uint32_t wx, uint32_t wy) {
  return Bilinear(p00, p01, p10, p11, wx, wy);
}

Color32 BilinearPixel(Color32 p00, Color32 p01, Color32 p10, Color32 p11, uint32_t wx, uint32_t wy) {
  return BilinearFast(p00, p01, p10, p11, wx, wy);
}

int32_t NearestIndex(int64_t i, int32_t srcSize, int64_t dstSize) {
  if (dstSize == 1) return srcSize / 2;
  const float ratio = static_cast<float>(srcSize) / static_cast<float>(dstSize);
  // The ratio is single precision; the product is not rounded again before
  // it is truncated (2 -> 50: column 25 is 0.99999998, source column 0).
  const auto index = static_cast<int64_t>(static_cast<double>(i) * static_cast<double>(ratio));
  return static_cast<int32_t>(std::clamp<int64_t>(index, 0, srcSize - 1));
}

BoxSpan BoxSpanAt(int64_t i, int32_t srcSize, int64_t dstSize) {
  const int64_t step = (int64_t{srcSize} << 16) / dstSize;
  const auto first = static_cast<int32_t>(std::min<int64_t>((i * step) >> 16, srcSize - 1));
  const auto last = static_cast<int32_t>(std::clamp<int64_t>(((i + 1) * step) >> 16, first + 1, srcSize));
  return {first, last};
}

LinearTap LinearTapAt(int64_t i, int32_t srcSize, int64_t dstSize) {
  // The centre of target pixel i in source pixels, 16.16: (i + 1/2) * src / dst - 1/2.
  int64_t pos = MulDiv(2 * i + 1, int64_t{srcSize} << 15, dstSize) - 32768;
  pos = std::clamp<int64_t>(pos, 0, int64_t{srcSize - 1} << 16);
  const auto first = static_cast<int32_t>(pos >> 16);
  return {first, std::min(first + 1, srcSize - 1), static_cast<uint32_t>((pos >> 8) & 0xFF)};
}

void DrawResampled(Bitmap32& target, const Rect& dst, const Rect& src, const Bitmap32& source) {
  if (src.Left < 0 || src.Top < 0 || src.Right > source.Width() || src.Bottom > source.Height() ||
      src.Right <= src.Left || src.Bottom <= src.Top)
    throw BitmapError("Invalid SrcRect");
  // Inside the source, so the extents fit in 32 bits.
  const int32_t sw = src.Width();
  const int32_t sh = src.Height();
  const RowCombiner combiner(source);
  if (combiner.DrawsNothing()) return;
  const int64_t dw = int64_t{dst.Right} - dst.Left;
  const int64_t dh = int64_t{dst.Bottom} - dst.Top;
  const Rect area = IntersectRect(dst, target.ClipRect());
  const int32_t n = area.Width();
  if (n <= 0 || dw <= 0 || dh <= 0) return;

  Sampling sampling = Sampling::Linear;
  if (source.Filter == StretchFilter::sfNearest)
    sampling = Sampling::Nearest;
  else if (source.Filter == StretchFilter::sfDraft && dw < sw && dh < sh)
    sampling = Sampling::Box;

  // The alpha dmCustom hands over: nearest always gives MasterAlpha; the
  // interpolating resamplers ask OnPixelAlpha at the target pixel's position
  // in source pixels, except for a source too thin to interpolate.
  const bool askAlpha = combiner.IsCustom() && combiner.AlphaEvent() && sampling != Sampling::Nearest &&
                        sw >= 2 && sh >= 2;

  // Source columns of every drawn target column, once per call.
  std::vector<int32_t> nearestCols;
  std::vector<BoxSpan> boxCols;
  std::vector<LinearTap> linearCols;
  for (int32_t c = area.Left; c < area.Right; ++c) {
    const int64_t i = int64_t{c} - dst.Left;
    switch (sampling) {
      case Sampling::Nearest: nearestCols.push_back(src.Left + NearestIndex(i, sw, dw)); break;
      case Sampling::Box: {
        const BoxSpan span = BoxSpanAt(i, sw, dw);
        boxCols.push_back({src.Left + span.first, src.Left + span.last});
        break;
      }
      case Sampling::Linear: {
        const LinearTap tap = LinearTapAt(i, sw, dw);
        linearCols.push_back({src.Left + tap.first, src.Left + tap.second, tap.weight});
        break;
      }
    }
  }

  std::vector<Color32> line(static_cast<size_t>(n));
  for (int32_t ty = area.Top; ty < area.Bottom; ++ty) {
    const int64_t j = int64_t{ty} - dst.Top;
    switch (sampling) {
      case Sampling::Nearest: {
        const Color32* row = source.ScanLine(src.Top + NearestIndex(j, sh, dh));
        for (int32_t x = 0; x < n; ++x) line[x] = row[nearestCols[x]];
        break;
      }
      case Sampling::Box: {
        const BoxSpan rows = BoxSpanAt(j, sh, dh);
        for (int32_t x = 0; x < n; ++x) {
          Channels sum;
          for (int32_t y = rows.first; y < rows.last; ++y) {
            const Color32* row = source.ScanLine(src.Top + y);
            for (int32_t sx = boxCols[x].first; sx < boxCols[x].last; ++sx) sum.Add(row[sx]);
          }
          const auto count = static_cast<uint32_t>((rows.last - rows.first) * (boxCols[x].last - boxCols[x].first));
          auto avg = [&](uint32_t s) { return (s + count / 2) / count; };
          line[x] = (avg(sum.a) << 24) | (avg(sum.r) << 16) | (avg(sum.g) << 8) | avg(sum.b);
        }
        break;
      }
      case Sampling::Linear: {
        const LinearTap rows = LinearTapAt(j, sh, dh);
        const Color32* r0 = source.ScanLine(src.Top + rows.first);
        const Color32* r1 = source.ScanLine(src.Top + rows.second);
        for (int32_t x = 0; x < n; ++x) {
          const LinearTap& t = linearCols[x];
          line[x] = BilinearFast(r0[t.first], r0[t.second], r1[t.first], r1[t.second], t.weight, rows.weight);
        }
        break;
      }
    }
    Color32* out = target.ScanLine(ty) + area.Left;
    const int32_t drawnRow = ty - area.Top;
    if (askAlpha) {
      // Column and row of the drawn area, scaled to source pixels (truncated).
      const auto sy = static_cast<int32_t>(MulDiv(drawnRow, sh, dh));
      combiner.Row(line.data(), out, n,
                   [&](int32_t x) { return combiner.AskAlpha(static_cast<int32_t>(MulDiv(x, sw, dw)), sy); });
    } else {
      combiner.Row(line.data(), out, n, [&](int32_t) { return combiner.MasterAlpha(); });
    }
  }
}

}  // namespace lumevra
