#include "DemoPlants.h"

#include <algorithm>
#include <cmath>

namespace lumevra::demo {

namespace {

// Horizontal coverage of a pixel column by a span of half width `hw`
// centred at `cx`: soft by one pixel at either edge.
double SpanCover(int32_t px, double cx, double hw) { return std::clamp(hw + 0.5 - std::abs(px + 0.5 - cx), 0.0, 1.0); }

}  // namespace

void DrawConifer(Canvas& c, double x, double base, double h, const Rgb& dark, const Rgb& lit, uint32_t seed) {
  const double halfBase = h * (0.15 + 0.07 * Hash01(static_cast<int32_t>(seed), 1, 7));
  const int tiers = 4 + static_cast<int>(seed % 3);
  const auto top = static_cast<int32_t>(std::floor(base - h));
  for (int32_t y = top; y <= static_cast<int32_t>(base); ++y) {
    const double t = (y + 0.5 - (base - h)) / h;  // 0 at the tip, 1 at the foot
    if (t <= 0) continue;
    const double tier = std::fmod(t * tiers, 1.0);
    const double hw = halfBase * (0.06 + 0.94 * std::min(t, 1.0)) * (0.68 + 0.32 * tier) +
                      (Hash01(y, static_cast<int32_t>(seed), 3) - 0.5) * 0.8;
    if (hw <= 0) continue;
    for (auto px = static_cast<int32_t>(std::floor(x - hw - 1)); px <= static_cast<int32_t>(std::ceil(x + hw + 1));
         ++px) {
      const double cover = SpanCover(px, x, hw);
      if (cover <= 0) continue;
      const double side = std::clamp((px + 0.5 - x) / std::max(hw, 0.5), -1.0, 1.0);
      const double light = std::clamp((0.35 + 0.45 * side) * (0.55 + 0.45 * tier), 0.0, 1.0);
      Rgb col = Mix(dark, lit, light);
      col = Scale(col, 0.88 + 0.24 * Hash01(px, y, seed));
      c.Blend(px, y, col, cover);
    }
  }
}

void DrawBroadleaf(Canvas& c, double x, double base, double h, const Rgb& leaf, uint32_t seed) {
  const Rgb bark{45, 36, 30};
  const double r = h * 0.33, cy = base - h + r * 1.3;
  // The trunk, up into the crown.
  for (auto y = static_cast<int32_t>(cy); y <= static_cast<int32_t>(base); ++y)
    for (auto px = static_cast<int32_t>(x - 2); px <= static_cast<int32_t>(x + 2); ++px)
      c.Blend(px, y, bark, SpanCover(px, x, std::max(0.6, h * 0.025)));
  // A crown of small clumps, ragged at the edge.
  struct Lump {
    double x, y, r;
  };
  constexpr int kLumps = 8;
  Lump lumps[kLumps];
  const auto s = static_cast<int32_t>(seed & 0x7FFFFFFF);
  for (int k = 0; k < kLumps; ++k) {
    const double a = Hash01(s, k, 41) * 6.283, d = std::sqrt(Hash01(s, k, 43));
    lumps[k] = {x + std::cos(a) * r * 0.6 * d, cy + std::sin(a) * r * 0.7 * d, r * (0.4 + 0.2 * Hash01(k, s, 47))};
  }
  const auto x0 = static_cast<int32_t>(x - r * 1.4), x1 = static_cast<int32_t>(x + r * 1.4);
  const auto y0 = static_cast<int32_t>(cy - r * 1.4), y1 = static_cast<int32_t>(cy + r * 1.4);
  for (int32_t y = y0; y <= y1; ++y)
    for (int32_t px = x0; px <= x1; ++px) {
      double cover = 0, nx = 0, ny = 0;
      const double ragged = 1.6 * (Hash01(px, y, seed + 5) - 0.5);
      for (const Lump& l : lumps) {
        const double dx = px + 0.5 - l.x, dy = y + 0.5 - l.y, d = std::hypot(dx, dy);
        const double k = std::clamp(l.r - d + 0.5 + ragged, 0.0, 1.0);
        if (k > cover) {
          cover = k;
          nx = (px + 0.5 - x) / r;
          ny = (y + 0.5 - cy) / r + dy / l.r * 0.5;
        }
      }
      if (cover <= 0) continue;
      // Leaves catch the light on the upper right.
      const double light = std::clamp(0.45 + 0.35 * nx - 0.35 * ny, 0.0, 1.0);
      Rgb col = Mix(Scale(leaf, 0.4), Add(leaf, Rgb{24, 20, 8}), light);
      col = Scale(col, 0.78 + 0.44 * Hash01(px, y, seed + 9));
      c.Blend(px, y, col, cover);
    }
}

void DrawReed(Canvas& c, double x, double base, double h, double width, double lean, const Rgb& colour, bool head,
              uint32_t seed) {
  const Rgb headColour{78, 50, 32};
  const auto top = static_cast<int32_t>(std::floor(base - h));
  for (int32_t y = top; y <= static_cast<int32_t>(base); ++y) {
    const double s = std::clamp((base - (y + 0.5)) / h, 0.0, 1.0);  // 0 at the foot, 1 at the tip
    const double cx = x + lean * h * s * s;
    double hw = width * 0.5 * (1 - 0.75 * s);
    Rgb col = Mix(Scale(colour, 0.6), colour, s);
    if (head && s > 0.7 && s < 0.86) {
      hw = width * 1.25;
      col = Scale(headColour, 0.9 + 0.2 * Hash01(y, 0, seed));
    }
    for (auto px = static_cast<int32_t>(std::floor(cx - hw - 1)); px <= static_cast<int32_t>(std::ceil(cx + hw + 1));
         ++px) {
      const double cover = SpanCover(px, cx, hw);
      if (cover <= 0) continue;
      // The sunlit right edge of the stem.
      const double side = (px + 0.5 - cx) / std::max(hw, 0.5);
      c.Blend(px, y, Scale(col, 0.9 + 0.25 * std::clamp(side, 0.0, 1.0)), cover);
    }
  }
}

void DrawStone(Canvas& c, double x, double y, double rx, double ry, const Rgb& colour, uint32_t seed) {
  for (auto py = static_cast<int32_t>(y - ry - 1); py <= static_cast<int32_t>(y + ry + 1); ++py)
    for (auto px = static_cast<int32_t>(x - rx - 1); px <= static_cast<int32_t>(x + rx + 1); ++px) {
      const double nx = (px + 0.5 - x) / rx, ny = (py + 0.5 - y) / ry;
      const double d = std::sqrt(nx * nx + ny * ny);
      const double wobble = 0.08 * (ValueNoise(std::atan2(ny, nx) * 2 + 4, 0.5, seed) - 0.5);
      const double cover = std::clamp((1 + wobble - d) * std::min(rx, ry), 0.0, 1.0);
      if (cover <= 0) continue;
      const double light = std::clamp(0.5 + 0.45 * nx - 0.5 * ny, 0.0, 1.0);
      Rgb col = Mix(Scale(colour, 0.45), Add(colour, Rgb{40, 36, 28}), light);
      col = Scale(col, 0.9 + 0.2 * Hash01(px, py, seed));
      c.Blend(px, py, col, cover);
    }
}

}  // namespace lumevra::demo
