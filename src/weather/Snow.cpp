#include "weather/Snow.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/Random.h"
#include "base/Rounding.h"
#include "weather/WeatherCommon.h"

namespace lumevra {

namespace {

// One size unit of a flake falls a pixel per this many milliseconds at 100 %.
constexpr double kSnowNominalMs = 70.0;

// The largest flake the drawing is made for; bigger values would turn every
// flake into a screen-sized disc.
constexpr int32_t kLargestFlake = 8;

// MaxSize as the movement uses it: at most kLargestFlake, and low enough
// room below that MaxSize - 2 stays a valid size.
int32_t EffectiveMaxSize(int32_t maxSize) {
  return std::clamp(maxSize, std::numeric_limits<int32_t>::min() + 2, kLargestFlake);
}

constexpr Color32 White(uint8_t alpha) { return Rgba(255, 255, 255, alpha); }

}  // namespace

Snow::Snow() = default;

void Snow::SetAmount(int32_t n) { Amount = std::clamp(n, 0, kMaxAmount); }

void Snow::Populate() {
  const int32_t count = std::clamp(Amount, 0, kMaxAmount);
  const bool drawable = Surface && !Surface->Empty();
  const int32_t w = drawable ? Surface->Width() : 0;
  const int32_t h = drawable ? Surface->Height() : 0;
  const int32_t maxSize = EffectiveMaxSize(MaxSize);
  Flakes.assign(static_cast<size_t>(count), SnowFlake{});
  for (SnowFlake& f : Flakes) {
    f.X = Random(w);
    f.Y = Random(h);
    f.Drift = 1 - Random(3);
    Random(4);  // the fall value of older flakes: drawn to keep the sequence, unused
    f.Size = maxSize - Random(3);
  }
}

void Snow::Advance() {
  if (!Surface || Surface->Empty()) return;
  const int32_t w = Surface->Width();
  const int32_t h = Surface->Height();
  const int32_t maxSize = EffectiveMaxSize(MaxSize);
  Elapsed = weather::FrameMs(Elapsed);
  const double step = weather::FrameStep(Elapsed, kSnowNominalMs, SpeedIndex, SpeedPercent);

  for (SnowFlake& f : Flakes) {
    f.Y += f.Size * step;  // bigger flakes fall faster
    f.X += f.Drift * step;
    int64_t size = f.Size;
    if (Random(20) == 0) size += Random(3) - 1;  // an occasional flicker
    if (f.X < 0) {
      f.X = w + Random(50);
    } else if (f.X > w) {
      f.X = -Random(50);
    }
    size = std::clamp<int64_t>(size, int64_t{maxSize} - 2, maxSize);
    f.Size = static_cast<int32_t>(size);
    if (f.Y > h - 1) f.Y = -Random(100);
  }

  for (const SnowFlake& f : Flakes)
    DrawFlake(weather::PixelCoord(f.X), weather::PixelCoord(f.Y), f.Size);
}

void Snow::DrawFlake(int32_t x, int32_t y, int32_t s) {
  if (!Surface || Surface->Empty()) return;
  const int32_t o = weather::OpacityTenths(Opacity);
  const int64_t d = int64_t{EffectiveMaxSize(MaxSize)} - s;
  const uint8_t a1 = weather::ScaledAlpha(250 - 60 * d, o);
  const uint8_t a2 = weather::ScaledAlpha(180 - 60 * d, o);

  // Offsets are added in 64 bits so a flake pinned at the coordinate limit
  // cannot overflow; anything off the surface is skipped by the clip.
  auto dot = [&](int64_t px, int64_t py, uint8_t alpha) {
    if (px < 0 || py < 0 || px >= Surface->Width() || py >= Surface->Height()) return;
    Surface->BlendPixelClipped(static_cast<int32_t>(px), static_cast<int32_t>(py), White(alpha));
  };
  const int64_t cx = x, cy = y;

  dot(cx, cy, a1);
  if (s == 2) {
    const uint8_t a = weather::ScaledAlpha(80, o);
    dot(cx + 1, cy, a);
    dot(cx, cy + 1, a);
  } else if (s == 3) {
    const uint8_t side = weather::ScaledAlpha(200, o);
    dot(cx - 1, cy, side);
    dot(cx, cy - 1, side);
    dot(cx + 1, cy, side);
    dot(cx, cy + 1, side);
    const uint8_t corner = weather::ScaledAlpha(60, o);
    dot(cx - 1, cy - 1, corner);
    dot(cx - 1, cy + 1, corner);
    dot(cx + 1, cy - 1, corner);
    dot(cx + 1, cy + 1, corner);
  } else if (s == 4) {
    // With the centre: a 4 x 4 block without its corners.
    static constexpr int8_t kBlock[][2] = {{-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {0, 2}, {1, -1},
                                           {1, 0},  {1, 1},  {1, 2},  {2, 0}, {2, 1}};
    for (const auto& p : kBlock) dot(cx + p[0], cy + p[1], a1);
  } else if (s >= 5) {
    const int32_t r = s / 2;
    DrawDisc(x, y, r, a2);
    DrawDisc(x, y, r - 1, a1);
  }
}

void Snow::DrawDisc(int32_t x, int32_t y, int32_t r, uint8_t alpha) {
  if (!Surface || Surface->Empty() || r < 0) return;
  const Rect clip = Surface->ClipRect();
  if (clip.Right <= clip.Left || clip.Bottom <= clip.Top) return;
  const Color32 color = White(alpha);
  const int64_t cx = x, cy = y, rr = int64_t{r} * r;

  // One row of the disc; ends pinned just outside the clip so that the
  // surface's own clipping sees only int32 values.
  auto run = [&](int64_t row, int64_t p) {
    const auto h = static_cast<int64_t>(Round(std::sqrt(static_cast<double>(rr - p * p))));
    const int64_t x1 = std::max<int64_t>(cx - h, clip.Left - 1);
    const int64_t x2 = std::min<int64_t>(cx + h, clip.Right);
    if (x1 > x2) return;
    Surface->HorzLineClipped(static_cast<int32_t>(x1), static_cast<int32_t>(row),
                             static_cast<int32_t>(x2), color);
  };

  // Every pixel of a disc is blended once, so the lower and the upper half
  // can be walked separately, each only over the rows inside the clip.
  const int64_t top = clip.Top, bottom = clip.Bottom - 1;
  for (int64_t p = std::max<int64_t>(0, top - cy); p <= std::min<int64_t>(r, bottom - cy); ++p)
    run(cy + p, p);
  for (int64_t p = std::max<int64_t>(1, cy - bottom); p <= std::min<int64_t>(r, cy - top); ++p)
    run(cy - p, p);
}

}  // namespace lumevra
