// Small deterministic noise and colour helpers for the demo scene's painter:
// hashed value noise, fractal sums of it, and linear RGB mixing. The same
// seed always gives the same picture, so the generated files are stable.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumevra::demo {

inline uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  return h;
}

// 0..1 for a lattice point.
inline double Hash01(int32_t x, int32_t y, uint32_t seed) { return Hash(x, y, seed) * (1.0 / 4294967295.0); }

inline double Smooth(double t) { return t * t * (3 - 2 * t); }

inline double SmoothStep(double a, double b, double v) {
  const double t = std::clamp((v - a) / (b - a), 0.0, 1.0);
  return Smooth(t);
}

// Value noise 0..1, smooth between lattice points one unit apart.
inline double ValueNoise(double x, double y, uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
  const double tx = Smooth(x - fx), ty = Smooth(y - fy);
  const double a = Hash01(ix, iy, seed), b = Hash01(ix + 1, iy, seed);
  const double c = Hash01(ix, iy + 1, seed), d = Hash01(ix + 1, iy + 1, seed);
  const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

// A fractal sum of `octaves` noises, each twice the frequency and half the
// weight of the one before; 0..1.
inline double Fbm(double x, double y, int octaves, uint32_t seed) {
  double sum = 0, weight = 0.5, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 101u);
    total += weight;
    weight *= 0.5;
    x = x * 2.03 + 17.1;
    y = y * 2.03 + 5.3;
  }
  return sum / total;
}

// The same along a line: ridge profiles of hills.
inline double Fbm1(double x, int octaves, uint32_t seed) { return Fbm(x, 0.37, octaves, seed); }

struct Rgb {
  double r = 0, g = 0, b = 0;
};

inline Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline Rgb Scale(const Rgb& a, double k) { return {a.r * k, a.g * k, a.b * k}; }

inline Rgb Add(const Rgb& a, const Rgb& b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

inline uint32_t ToArgb(const Rgb& c, int alpha = 255) {
  auto ch = [](double v) { return static_cast<uint32_t>(std::clamp(static_cast<int>(v + 0.5), 0, 255)); };
  return (static_cast<uint32_t>(alpha) << 24) | (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
}

inline Rgb FromArgb(uint32_t c) {
  return {static_cast<double>((c >> 16) & 0xFF), static_cast<double>((c >> 8) & 0xFF), static_cast<double>(c & 0xFF)};
}

}  // namespace lumevra::demo
