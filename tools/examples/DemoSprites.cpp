#include "DemoSprites.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "DemoNoise.h"

namespace lumevra::demo {

namespace {

constexpr double kPi = std::numbers::pi;

struct Point {
  double x, y;
};

// Shapes drawn one over the other at four samples per pixel side, then
// reduced to palette colours.
class SampleRaster {
public:
  static constexpr int kS = 4;
  SampleRaster(int32_t w, int32_t h) : w_(w * kS), h_(h * kS), colour_(static_cast<size_t>(w_) * h_), set_(colour_.size()) {}

  void Ellipse(double cx, double cy, double rx, double ry, double angle, const Rgb& c) {
    const double ca = std::cos(angle), sa = std::sin(angle), r = std::max(rx, ry);
    Fill(cx - r, cy - r, cx + r, cy + r, c, [&](double x, double y) {
      const double dx = x - cx, dy = y - cy;
      const double u = (dx * ca + dy * sa) / rx, v = (-dx * sa + dy * ca) / ry;
      return u * u + v * v <= 1;
    });
  }

  // A convex polygon, corners in either order.
  void Polygon(const std::vector<Point>& p, const Rgb& c) {
    double x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
    for (const Point& q : p) x0 = std::min(x0, q.x), x1 = std::max(x1, q.x), y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
    Fill(x0, y0, x1, y1, c, [&](double x, double y) {
      int sign = 0;
      for (size_t i = 0; i < p.size(); ++i) {
        const Point& a = p[i];
        const Point& b = p[(i + 1) % p.size()];
        const double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        const int s = cross > 0 ? 1 : cross < 0 ? -1 : 0;
        if (s == 0) continue;
        if (sign == 0) sign = s;
        else if (s != sign) return false;
      }
      return true;
    });
  }

  // Share of the pixel's samples covered, and their mean colour.
  double Coverage(int32_t x, int32_t y, Rgb& mean) const {
    int n = 0;
    Rgb sum;
    for (int j = 0; j < kS; ++j)
      for (int i = 0; i < kS; ++i) {
        const size_t at = static_cast<size_t>(y * kS + j) * w_ + (x * kS + i);
        if (!set_[at]) continue;
        ++n;
        sum = Add(sum, colour_[at]);
      }
    if (n) mean = Scale(sum, 1.0 / n);
    return static_cast<double>(n) / (kS * kS);
  }

private:
  template <typename Inside>
  void Fill(double x0, double y0, double x1, double y1, const Rgb& c, Inside inside) {
    const int32_t sx0 = std::max(0, static_cast<int32_t>(x0 * kS) - 1), sx1 = std::min(w_ - 1, static_cast<int32_t>(x1 * kS) + 1);
    const int32_t sy0 = std::max(0, static_cast<int32_t>(y0 * kS) - 1), sy1 = std::min(h_ - 1, static_cast<int32_t>(y1 * kS) + 1);
    for (int32_t sy = sy0; sy <= sy1; ++sy)
      for (int32_t sx = sx0; sx <= sx1; ++sx)
        if (inside((sx + 0.5) / kS, (sy + 0.5) / kS)) {
          const size_t at = static_cast<size_t>(sy) * w_ + sx;
          colour_[at] = c;
          set_[at] = 1;
        }
  }

  int32_t w_, h_;
  std::vector<Rgb> colour_;
  std::vector<uint8_t> set_;
};

constexpr int32_t kGullW = 100, kGullH = 108, kGullFrames = 8;
constexpr double kCx = 48, kCy = 54;
constexpr double kWing = 46, kArm = 20;

// The bird seen from below and to the side: points in its own frame (x
// forward, y down, z towards the viewer) projected obliquely, so that the
// near wing rises and the far wing drops on the screen.
Point Project(double x, double y, double z) { return {kCx + x - 0.12 * z, kCy + y - 0.55 * z}; }

void DrawWing(SampleRaster& r, double arm, double hand, int side, const Rgb& inner, const Rgb& edge) {
  const Rgb black{30, 30, 36};
  const double sx = 4, sy = -1;  // the shoulder
  auto at = [&](double s, double x) {
    if (s <= kArm) return Project(sx + x, sy - s * std::sin(arm), side * s * std::cos(arm));
    const double e = s - kArm;
    return Project(sx + x, sy - kArm * std::sin(arm) - e * std::sin(hand),
                   side * (kArm * std::cos(arm) + e * std::cos(hand)));
  };
  // Swept back and pointed.
  auto lead = [](double s) { return 7 - 0.22 * s - 0.004 * s * s; };
  auto chord = [](double s) { return 2 + 15 * (1 - std::pow(s / kWing, 1.8)); };
  const int strips = 30;
  for (int i = 0; i < strips; ++i) {
    const double s0 = kWing * i / strips, s1 = kWing * (i + 1) / strips;
    const double share = (s0 + s1) / 2 / kWing;
    const Rgb c = Mix(inner, black, SmoothStep(0.72, 0.86, share));
    const Point a0 = at(s0, lead(s0)), a1 = at(s1, lead(s1));
    r.Polygon({a0, a1, at(s1, lead(s1) - chord(s1)), at(s0, lead(s0) - chord(s0))}, c);
    // A darker leading edge keeps the wing apart from the white body.
    r.Polygon({a0, a1, at(s1, lead(s1) - 1.2), at(s0, lead(s0) - 1.2)}, Mix(edge, black, SmoothStep(0.72, 0.86, share)));
  }
}

std::vector<std::array<uint8_t, 3>> GullPalette() {
  std::vector<std::array<uint8_t, 3>> p;
  p.push_back({128, 160, 200});  // transparent
  for (int i = 0; i < 40; ++i) {
    const double t = i / 39.0;
    p.push_back({static_cast<uint8_t>(24 + 228 * t), static_cast<uint8_t>(26 + 228 * t), static_cast<uint8_t>(32 + 222 * t)});
  }
  for (const auto& c : {std::array<uint8_t, 3>{240, 190, 60}, {214, 150, 44}, {250, 214, 110}, {196, 62, 40},
                        {172, 130, 50}, {120, 96, 60}})
    p.push_back(c);
  return p;
}

uint8_t Nearest(const std::vector<std::array<uint8_t, 3>>& palette, const Rgb& c) {
  size_t best = 1;
  double bestD = 1e18;
  for (size_t i = 1; i < palette.size(); ++i) {
    const double dr = palette[i][0] - c.r, dg = palette[i][1] - c.g, db = palette[i][2] - c.b;
    const double d = dr * dr * 0.3 + dg * dg * 0.59 + db * db * 0.11;
    if (d < bestD) bestD = d, best = i;
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

DecodedPicture PaintSun() {
  const int32_t size = 300;
  const double c = size / 2.0, core = 30;
  DecodedPicture p;
  p.width = p.height = size;
  p.hasAlpha = true;
  p.pixels.resize(static_cast<size_t>(size) * size);
  const Rgb disc{255, 251, 236}, glow{255, 224, 160};
  for (int32_t y = 0; y < size; ++y)
    for (int32_t x = 0; x < size; ++x) {
      const double dx = x + 0.5 - c, dy = y + 0.5 - c, d = std::hypot(dx, dy);
      const double rays = 1 + 0.1 * std::cos(std::atan2(dy, dx) * 12);
      const double outside = std::max(0.0, d - core);
      const double halo = (0.72 * std::exp(-outside / 20) + 0.28 * std::exp(-outside / 64) * rays) *
                          (1 - SmoothStep(c * 0.78, c, d));
      const double inDisc = std::clamp(core + 0.5 - d, 0.0, 1.0);
      const double a = inDisc + (1 - inDisc) * halo;
      const Rgb col = Mix(glow, disc, inDisc + (1 - inDisc) * std::exp(-outside / 10));
      p.pixels[static_cast<size_t>(y) * size + x] = ToArgb(col, static_cast<int>(std::clamp(a, 0.0, 1.0) * 255 + 0.5));
    }
  return p;
}

IndexedAnimation PaintGull() {
  IndexedAnimation a;
  a.width = kGullW;
  a.height = kGullH;
  a.palette = GullPalette();
  a.delayCs = 8;
  a.transparentIndex = 0;
  const Rgb white{242, 244, 248}, belly{206, 210, 220}, grey{176, 182, 194}, black{30, 30, 36};
  for (int f = 0; f < kGullFrames; ++f) {
    const double phase = 2 * kPi * f / kGullFrames;
    const double arm = (42 * std::cos(phase) + 6) * kPi / 180;
    const double hand = (52 * std::cos(phase - 0.8) + 2) * kPi / 180;
    SampleRaster r(kGullW, kGullH);
    DrawWing(r, arm, hand, -1, grey, Rgb{112, 118, 130});
    r.Polygon({{kCx - 20, kCy - 3}, {kCx - 34, kCy - 5}, {kCx - 35, kCy + 3}, {kCx - 20, kCy + 4}}, belly);  // tail
    r.Ellipse(kCx, kCy + 1, 24, 7.5, -0.06, belly);
    r.Ellipse(kCx + 1, kCy - 0.5, 22, 6, -0.06, white);
    r.Ellipse(kCx + 25, kCy - 4, 7, 6, 0, white);  // head
    r.Polygon({{kCx + 30, kCy - 5}, {kCx + 40, kCy - 3}, {kCx + 30, kCy - 1.5}}, Rgb{240, 190, 60});
    r.Ellipse(kCx + 36, kCy - 2.8, 1.2, 1, 0, Rgb{196, 62, 40});
    r.Ellipse(kCx + 27, kCy - 6, 1.2, 1.2, 0, black);
    DrawWing(r, arm, hand, +1, Rgb{226, 230, 238}, Rgb{140, 146, 160});
    std::vector<uint8_t> frame(static_cast<size_t>(kGullW) * kGullH, 0);
    for (int32_t y = 0; y < kGullH; ++y)
      for (int32_t x = 0; x < kGullW; ++x) {
        Rgb mean;
        const double cover = r.Coverage(x, y, mean);
        if (cover < 0.4) continue;
        // Edge pixels darkened into a soft outline, so the white bird
        // stands out against a bright sky.
        if (cover < 0.95) mean = Mix(mean, Rgb{70, 76, 90}, 0.45);
        frame[static_cast<size_t>(y) * kGullW + x] = Nearest(a.palette, mean);
      }
    a.frames.push_back(std::move(frame));
  }
  return a;
}

}  // namespace lumevra::demo
