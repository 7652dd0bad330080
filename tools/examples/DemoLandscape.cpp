#include "DemoLandscape.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "DemoCanvas.h"
#include "DemoPlants.h"
#include "package/ProjectRecords.h"

namespace lumevra::demo {

namespace {

constexpr int32_t W = kSceneWidth, H = kSceneHeight;
// The first row of the lake: the far shore is straight, so that the water
// layer that mirrors the hills lines up with them.
constexpr int32_t kShore = 690;
// Where the brook comes out of the trees.
constexpr int32_t kBrookTop = 588;

double Gauss(double v, double s) { return std::exp(-(v * v) / (s * s)); }

double BrookX(double y) {
  const double t = (y - kBrookTop) / (kShore - kBrookTop);
  return 1612 - 100 * t + 20 * std::sin(t * 7.0 + 0.4);
}

double BrookHalfWidth(double y) {
  const double t = std::clamp((y - kBrookTop) / (kShore - kBrookTop), 0.0, 1.0);
  return 1.0 + 6.5 * std::pow(t, 1.5);
}

// Ridge lines and water edges, one value per column.
struct Layout {
  std::vector<double> far, mid, nearHill, nearWater, bank;

  Layout() : far(W), mid(W), nearHill(W), nearWater(W), bank(W) {
    auto unit = [](double v, double lo, double span) { return std::clamp((v - lo) / span, 0.0, 1.2); };
    for (int32_t x = 0; x < W; ++x) {
      far[static_cast<size_t>(x)] =
          550 - 150 * unit(Fbm1(x / 420.0 + 3.1, 5, 11), 0.3, 0.42) - 95 * Gauss(x - 480, 300) - 40 * Gauss(x - 1150, 160);
      mid[static_cast<size_t>(x)] = 612 - 62 * unit(Fbm1(x / 240.0 + 7.7, 5, 23), 0.3, 0.4) - 60 * Gauss(x - 1650, 300);
      nearHill[static_cast<size_t>(x)] =
          664 - 34 * unit(Fbm1(x / 150.0 + 1.3, 4, 37), 0.3, 0.4) - 48 * Gauss(x - 1620, 230);
      nearWater[static_cast<size_t>(x)] = 858 + 26 * std::sin(x / 230.0 + 0.6) + 40 * (Fbm1(x / 300.0, 3, 53) - 0.5);
      bank[static_cast<size_t>(x)] =
          x < 780 ? 948 + 132 * std::pow(x / 780.0, 2.2) + 16 * (Fbm1(x / 50.0, 3, 61) - 0.5) : H + 10.0;
    }
  }
};

Rgb SkyGradient(double y) {
  struct Stop {
    double y;
    Rgb c;
  };
  static const Stop stops[] = {{0, {56, 96, 166}},
                               {250, {112, 156, 210}},
                               {470, {190, 200, 216}},
                               {kShore, {250, 216, 176}}};
  if (y <= stops[0].y) return stops[0].c;
  for (size_t i = 1; i < std::size(stops); ++i)
    if (y <= stops[i].y) return Mix(stops[i - 1].c, stops[i].c, (y - stops[i - 1].y) / (stops[i].y - stops[i - 1].y));
  return stops[std::size(stops) - 1].c;
}

double SunGlow(double x, double y) {
  const double d = std::hypot(x - kSunX, (y - kSunY) * 1.15);
  return std::min(1.0, 0.7 * Gauss(d, 160) + 0.35 * Gauss(d, 520));
}

Rgb Sky(double x, double y) { return Mix(SkyGradient(y), Rgb{255, 228, 176}, SunGlow(x, y)); }

// Soft, wind-stretched clouds, lit from above and warmed near the sun.
void PaintSky(Canvas& c) {
  auto cloud = [](double x, double y) {
    const double band = SmoothStep(40, 170, y) * (1 - SmoothStep(400, 560, y));
    if (band <= 0) return 0.0;
    const double warp = Fbm(x / 900, y / 300, 2, 5) * 2.0;
    return SmoothStep(0.5, 0.74, Fbm(x / 560 + warp, y / 110, 5, 7)) * band;
  };
  const Grid density(W, kShore, 4, cloud);
  const Grid above(W, kShore, 4, [&](double x, double y) { return cloud(x, y - 16); });
  for (int32_t y = 0; y < kShore; ++y)
    for (int32_t x = 0; x < W; ++x) {
      Rgb col = Sky(x, y);
      const double a = density(x, y);
      if (a > 0.002) {
        const double glow = SunGlow(x, y);
        const Rgb lit = Mix(Rgb{255, 250, 244}, Rgb{255, 226, 184}, glow);
        const Rgb shade = Mix(Rgb{146, 152, 180}, Rgb{214, 186, 170}, glow);
        const double shadow = std::clamp(above(x, y) * 1.2 - a * 0.25, 0.0, 1.0);
        col = Mix(col, Mix(lit, shade, shadow * 0.75), a * 0.9);
      }
      c.At(x, y) = col;
    }
}

// Distant mountains in blue haze, their higher peaks dusted with snow.
void PaintMountains(Canvas& c, const Layout& l) {
  auto relief = [](double x, double y) { return Fbm(x / 70, y / 45, 4, 13); };
  const Grid rel(W, kShore, 4, relief);
  const Grid light(W, kShore, 4, [&](double x, double y) { return relief(x + 6, y - 5) - relief(x, y); });
  for (int32_t x = 0; x < W; ++x) {
    const double ridge = l.far[static_cast<size_t>(x)];
    for (auto y = static_cast<int32_t>(ridge); y < kShore; ++y) {
      const double r = rel(x, y);
      const double lit = std::clamp(0.5 + light(x, y) * 9, 0.0, 1.0);
      Rgb col = Mix(Rgb{62, 74, 112}, Rgb{128, 132, 164}, lit);
      // Snow down to a ragged line, deeper in the gullies.
      const double snowLine = 430 + 70 * (r - 0.5) + 30 * lit;
      const double snow = SmoothStep(snowLine + 6, snowLine - 6, y) * SmoothStep(0.3, 0.5, r + 0.3 * lit);
      col = Mix(col, Mix(Rgb{170, 180, 212}, Rgb{250, 244, 236}, lit), snow * 0.9);
      col = Mix(col, Sky(x, y), 0.3 + 0.5 * SmoothStep(ridge, 650, y));
      c.Blend(x, y, col, std::clamp(y + 1 - ridge, 0.0, 1.0));
    }
  }
}

// Forested hills: `dark` and `lit` by slope, speckled, fading into the
// morning mist at their feet.
void PaintHills(Canvas& c, const std::vector<double>& ridge, const Rgb& dark, const Rgb& lit, double haze,
                double mist, uint32_t seed, bool autumn) {
  auto relief = [seed](double x, double y) { return Fbm(x / 55, y / 36, 4, seed); };
  const Grid light(W, kShore, 4, [&](double x, double y) { return relief(x + 5, y - 5) - relief(x, y); });
  const Grid fall(W, kShore, 4, [seed](double x, double y) { return Fbm(x / 38, y / 22, 3, seed + 71); });
  for (int32_t x = 0; x < W; ++x) {
    const double top = ridge[static_cast<size_t>(x)];
    for (auto y = static_cast<int32_t>(top); y < kShore; ++y) {
      const double l = std::clamp(0.5 + light(x, y) * 10, 0.0, 1.0);
      const double grain = ValueNoise(x / 2.5, y / 2.0, seed + 3);
      Rgb col = Scale(Mix(dark, lit, l), 0.78 + 0.44 * grain);
      if (autumn) {
        const double leaves = SmoothStep(0.56, 0.68, fall(x, y));
        if (leaves > 0) {
          const Rgb warm = Mix(Rgb{172, 86, 34}, Rgb{214, 164, 62}, ValueNoise(x / 20.0, y / 20.0, seed + 5));
          col = Mix(col, Scale(warm, (0.55 + 0.55 * l) * (0.8 + 0.4 * grain)), leaves * 0.85);
        }
      }
      col = Mix(col, Sky(x, y), haze + mist * SmoothStep(top + 8, kShore, y));
      c.Blend(x, y, col, std::clamp(y + 1 - top, 0.0, 1.0));
    }
  }
}

struct Tree {
  double x, base, h;
  uint32_t seed;
  bool fir;
};

bool CrossesBrook(double x, double base, double h) {
  for (double y = base - h; y <= base; y += 4) {
    if (y < kBrookTop - 4 || y >= kShore) continue;
    if (std::abs(x - BrookX(y)) < BrookHalfWidth(y) * 1.3 + h * 0.12 + 1) return true;
  }
  return false;
}

void PaintTrees(Canvas& c, std::vector<Tree> trees, double haze) {
  std::sort(trees.begin(), trees.end(), [](const Tree& a, const Tree& b) { return a.base < b.base; });
  static const Rgb autumn[] = {{170, 96, 40}, {184, 140, 58}, {138, 62, 36}, {104, 110, 46}, {196, 160, 84}};
  for (const Tree& t : trees) {
    if (CrossesBrook(t.x, t.base, t.h)) continue;
    const Rgb sky = Sky(t.x, t.base - t.h / 2);
    if (t.fir) {
      const Rgb dark = Mix(Rgb{18, 36, 28}, sky, haze), lit = Mix(Rgb{72, 98, 58}, sky, haze);
      DrawConifer(c, t.x, t.base, t.h, dark, lit, t.seed);
    } else {
      DrawBroadleaf(c, t.x, t.base, t.h, Mix(autumn[t.seed % std::size(autumn)], sky, haze), t.seed);
    }
  }
}

std::vector<Tree> RidgeTrees(const std::vector<double>& ridge, double minH, double maxH, double minGap, double maxGap,
                             double sink, double firShare, uint32_t seed) {
  std::vector<Tree> trees;
  uint32_t n = 0;
  for (double x = -10; x < W + 10; ++n) {
    const double r = Hash01(static_cast<int32_t>(n), 1, seed);
    const auto col = static_cast<size_t>(std::clamp(static_cast<int32_t>(x), 0, W - 1));
    const double base = ridge[col] + sink * (0.3 + 0.7 * Hash01(static_cast<int32_t>(n), 2, seed));
    trees.push_back({x, base, minH + (maxH - minH) * r, Hash(static_cast<int32_t>(n), 3, seed),
                     Hash01(static_cast<int32_t>(n), 4, seed) < firShare});
    x += minGap + (maxGap - minGap) * Hash01(static_cast<int32_t>(n), 5, seed);
  }
  return trees;
}

// The forest between the near ridge and the shore, biggest along the water.
std::vector<Tree> ForestTrees(const Layout& l) {
  std::vector<Tree> trees = RidgeTrees(l.nearHill, 24, 60, 5, 12, 16, 0.75, 101);
  for (int32_t i = 0; i < 900; ++i) {
    const double x = Hash01(i, 1, 103) * (W + 20) - 10;
    const double top = l.nearHill[static_cast<size_t>(std::clamp(static_cast<int32_t>(x), 0, W - 1))] + 20;
    if (top >= kShore - 6) continue;
    const double base = top + (kShore - 6 - top) * Hash01(i, 2, 103);
    trees.push_back({x, base, 18 + 34 * Hash01(i, 3, 103), Hash(i, 4, 103), Hash01(i, 5, 103) < 0.7});
  }
  const std::vector<double> shore(W, kShore - 1.0);
  for (const Tree& t : RidgeTrees(shore, 26, 64, 8, 18, 2, 0.6, 107)) trees.push_back(t);
  return trees;
}

// The brook; returns which pixels hold its water.
std::vector<uint8_t> PaintBrook(Canvas& c) {
  std::vector<uint8_t> water(static_cast<size_t>(W) * H, 0);
  for (int32_t y = kBrookTop; y < kShore; ++y) {
    const double cx = BrookX(y + 0.5), width = BrookHalfWidth(y + 0.5);
    for (auto x = static_cast<int32_t>(cx - width * 1.3 - 2); x <= static_cast<int32_t>(cx + width * 1.3 + 2); ++x) {
      // Ragged banks: stones and roots reach into the water.
      const double hw = width * (0.7 + 0.6 * ValueNoise(x / 2.5, y / 2.5, 127));
      const double edge = std::abs(x + 0.5 - cx);
      const double cover = std::clamp(hw + 0.5 - edge, 0.0, 1.0);
      if (cover <= 0) continue;
      const double middle = 1 - std::clamp(edge / std::max(hw, 0.5), 0.0, 1.0);
      Rgb col = Mix(Rgb{52, 64, 70}, Rgb{150, 170, 186}, 0.25 + 0.6 * middle);
      // Foam where the water tumbles over stones.
      const double foam = SmoothStep(0.58, 0.86, ValueNoise(x / 2.0, y / 1.5, 131));
      col = Mix(col, Rgb{228, 234, 238}, foam * 0.7);
      c.Blend(x, y, col, cover);
      if (cover >= 0.5) water[static_cast<size_t>(y) * W + x] = 1;
    }
  }
  return water;
}

// Morning mist lying along the far shore.
void PaintMist(Canvas& c) {
  const Grid drift(W, kShore, 4, [](double x, double y) { return Fbm(x / 180, y / 18, 3, 141); });
  for (int32_t y = kShore - 70; y < kShore; ++y)
    for (int32_t x = 0; x < W; ++x) {
      const double a = 0.5 * Gauss(y - (kShore - 8), 26) * SmoothStep(0.3, 0.7, drift(x, y));
      c.Blend(x, y, Mix(Sky(x, y), Rgb{236, 230, 224}, 0.5), a);
    }
}

// The lake: the world above mirrored about the shore, darker and streaked
// with sky towards the viewer, and the sun's glitter in the near water.
void PaintLake(Canvas& c, const Layout& l) {
  const Rgb deep{20, 40, 56}, sheen{198, 210, 226}, glitter{255, 242, 208};
  for (int32_t y = kShore; y < H; ++y) {
    const int32_t d = 2 * kShore - y - 1;
    for (int32_t x = 0; x < W; ++x) {
      const Rgb src = c.At(x, d);
      const double top = l.nearWater[static_cast<size_t>(x)];
      if (y < top) {
        // What the mirroring layer shows: the picture above, as it is.
        c.At(x, y) = src;
        continue;
      }
      const double t = (y - top) / (H - top);
      Rgb col = Mix(src, deep, 0.5 * std::pow(t, 0.7));
      const double streak = SmoothStep(0.62, 0.88, ValueNoise(x / 80.0, y / 2.2, 151));
      col = Mix(col, sheen, streak * (0.08 + 0.2 * t));
      const double spread = 30 + 150 * t;
      const double g = Gauss(x - kSunX, spread) * SmoothStep(0, 0.5, t);
      if (g > 0.01) {
        const double dash = SmoothStep(0.55, 0.9, ValueNoise(x / 9.0, y / 1.6, 157));
        col = Mix(col, glitter, std::min(1.0, g * dash * 1.3));
      }
      c.At(x, y) = col;
    }
  }
}

// The bank in the lower left corner: grass, stones and reeds, all kept out
// of the water layers.
void PaintForeground(Canvas& c, const Layout& l) {
  c.SetTracking(true);
  for (int32_t x = 0; x < W; ++x) {
    const double top = l.bank[static_cast<size_t>(x)];
    for (auto y = static_cast<int32_t>(top); y < H; ++y) {
      const double depth = y - top;
      const double grain = ValueNoise(x / 3.0, y / 2.0, 171);
      Rgb col = Mix(Rgb{118, 112, 62}, Rgb{34, 38, 22}, SmoothStep(0, 40, depth));
      col = Scale(col, 0.75 + 0.5 * grain);
      c.Blend(x, y, col, std::clamp(y + 1 - top, 0.0, 1.0));
    }
  }
  for (int32_t i = 0; i < 7; ++i) {
    const double x = 170 + 80 * i + 30 * Hash01(i, 1, 181);
    const double y = l.bank[static_cast<size_t>(x)] + 4 * Hash01(i, 2, 181);
    const double rx = 14 + 22 * Hash01(i, 3, 181);
    DrawStone(c, x, y, rx, rx * (0.45 + 0.2 * Hash01(i, 4, 181)), Rgb{124, 120, 112}, Hash(i, 5, 181));
  }
  for (int32_t i = 0; i < 700; ++i) {
    const double x = Hash01(i, 1, 191) * 800;
    const double top = l.bank[static_cast<size_t>(x)];
    if (top >= H) continue;
    const double base = top + 3 + 40 * Hash01(i, 2, 191);
    const Rgb col = Mix(Rgb{92, 110, 48}, Rgb{196, 176, 104}, Hash01(i, 3, 191));
    DrawReed(c, x, base, 8 + 26 * Hash01(i, 4, 191), 1.8, (Hash01(i, 5, 191) - 0.4) * 0.8, col, false, Hash(i, 6, 191));
  }
  for (int32_t i = 0; i < 150; ++i) {
    const double x = std::pow(Hash01(i, 1, 201), 1.4) * 690;
    const double top = l.bank[static_cast<size_t>(x)];
    const double near = 1 - x / 800;
    const double base = top + 6 - 40 * Hash01(i, 2, 201);
    const Rgb col = Mix(Rgb{84, 92, 40}, Rgb{182, 156, 86}, Hash01(i, 3, 201));
    DrawReed(c, x, base, (90 + 170 * Hash01(i, 4, 201)) * (0.45 + 0.55 * near), 2.4 + 2.2 * near,
             (Hash01(i, 5, 201) - 0.3) * 0.35, col, Hash01(i, 6, 201) < 0.28, Hash(i, 7, 201));
  }
  c.SetTracking(false);
}

DecodedPicture MakeMask(const Canvas& c, const Layout& l, const std::vector<uint8_t>& brook) {
  DecodedPicture m;
  m.width = W;
  m.height = H;
  m.pixels.assign(static_cast<size_t>(W) * H, 0xFF000000u);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      int32_t code = 0;
      if (brook[static_cast<size_t>(y) * W + x]) code = 3;
      else if (y >= kShore && c.Cover(x, y) < 0.25) code = y < l.nearWater[static_cast<size_t>(x)] ? 1 : 2;
      m.pixels[static_cast<size_t>(y) * W + x] = 0xFF000000u | MaskColor(code);
    }
  return m;
}

}  // namespace

Landscape PaintLandscape() {
  const Layout l;
  Canvas c(W, H);
  PaintSky(c);
  PaintMountains(c, l);
  PaintHills(c, l.mid, Rgb{28, 52, 56}, Rgb{86, 112, 96}, 0.3, 0.45, 23, false);
  PaintTrees(c, RidgeTrees(l.mid, 7, 16, 3, 7, 6, 1.0, 97), 0.38);
  PaintHills(c, l.nearHill, Rgb{16, 32, 22}, Rgb{56, 80, 44}, 0.05, 0.1, 37, true);
  PaintTrees(c, ForestTrees(l), 0.05);
  const std::vector<uint8_t> brook = PaintBrook(c);
  PaintMist(c);
  PaintLake(c, l);
  PaintForeground(c, l);
  return {c.ToPicture(), MakeMask(c, l, brook)};
}

}  // namespace lumevra::demo
