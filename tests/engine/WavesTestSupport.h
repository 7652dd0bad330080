// Wave test scenes: a picture whose every pixel names its own position, a
// mask painted by a function, the preparation the engine runs, and an
// independent model of one water frame written straight from the rules
// (its own layer map, reflection, per-row values and sampling), against
// which the engine's frames are compared pixel for pixel.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Waves.h"
#include "package/ProjectRecords.h"

namespace lumevra::test {

// The picture pixel at (x, y): opaque, with x in the low 12 bits and y above.
inline Color32 PixelAt(int32_t x, int32_t y) { return 0xFF000000u | (uint32_t(y) << 12) | uint32_t(x); }
inline int32_t RowOf(Color32 c) { return int32_t((c >> 12) & 0xFFF); }
inline int32_t ColOf(Color32 c) { return int32_t(c & 0xFFF); }

// Layer number (-1 none) -> the raw mask value that selects it.
inline uint32_t MaskFor(int layer) { return layer < 0 || layer > 5 ? 0x00FFFFFFu : LayerColors[size_t(layer + 1)]; }

// Picture, mask, layers and the wave state prepared as the engine does it.
struct WaveRig {
  Bitmap32 background, mask, reflection, wave;
  WaveLayerParams params{};
  Waves w;

  WaveRig(int32_t width, int32_t height, const std::function<int(int32_t x, int32_t y)>& layerAt) {
    background.SetSize(width, height);
    mask.SetSize(width, height);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) {
        background.SetPixel(x, y, PixelAt(x, y));
        mask.SetPixel(x, y, MaskFor(layerAt(x, y)));
      }
    for (auto& p : params) {
      p.Period = 360;
      p.VertWave = true;
    }
  }

  // Bind, row tables, reflection, layer map, jitter; the wave surface starts as the picture.
  void Prepare() {
    const int32_t W = background.Width(), H = background.Height();
    w.Bind(&params, W, H);
    bool anyReflection = false;
    for (const auto& p : params) anyReflection = anyReflection || p.Reflection;
    if (anyReflection) reflection.Assign(background);
    w.BuildRowTables(background, mask, anyReflection ? &reflection : nullptr);
    if (anyReflection) w.BuildReflection(background, mask, reflection);
    w.BuildLayerMap();
    w.FillJitter();
    wave.Assign(background);
  }

  std::vector<Color32> Pixels(const Bitmap32& b) const { return {b.Bits(), b.Bits() + size_t(b.Width()) * b.Height()}; }
};

// Runs `frames` frames of a prepared rig through the span pass and, on a
// copy of the starting surface, the column-by-column reference pass, calling
// `advance(frame)` after each; fails at the first frame whose pixels differ.
inline ::testing::AssertionResult FramesMatchReference(WaveRig& rig, int frames,
                                                       const std::function<void(int frame)>& advance) {
  Bitmap32 reference;
  reference.Assign(rig.wave);
  for (int frame = 0; frame < frames; ++frame) {
    rig.w.Frame(rig.wave);
    rig.w.FrameReference(reference);
    if (rig.Pixels(rig.wave) != rig.Pixels(reference)) return ::testing::AssertionFailure() << "frame " << frame;
    advance(frame);
  }
  return ::testing::AssertionSuccess();
}

inline double ModelCos(int64_t degrees) {
  const long double pi = 3.141592653589793238462643383279502884L;
  return double(std::cos((long double)degrees * pi / 180.0L));
}

// One frame computed from the rules, on a copy of `wave`.
inline std::vector<Color32> ModelFrame(const WaveRig& rig, std::vector<Color32> wave,
                                        const std::array<int32_t, 8>& phases) {
  const int32_t W = rig.background.Width(), H = rig.background.Height();
  const auto& P = rig.params;
  auto layerAt = [&](int32_t x, int32_t y) -> int {
    if (x >= rig.mask.Width() || y >= rig.mask.Height()) return -1;
    const uint32_t m = rig.mask.GetPixel(x, y);
    for (int i = 0; i < 6; ++i)
      if (m == MaskFor(i)) return i;
    return -1;
  };
  std::vector<Color32> src(rig.background.Bits(), rig.background.Bits() + size_t(W) * H);
  int first[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
  int top[8], bottom[8];
  for (int i = 0; i < 8; ++i) top[i] = 50000, bottom[i] = 0;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      const int L = layerAt(x, y);
      if (L < 0) continue;
      top[L] = std::min(top[L], y);
      bottom[L] = std::max(bottom[L], y);
      if (!P[L].Reflection) continue;
      if (first[L] < 0) first[L] = y;
      const int d = 2 * first[L] - y - 1;
      if (d >= 0) src[size_t(y) * W + x] = rig.background.GetPixel(x, d);
    }

  double amp[8], freq[8], ampStep[8], freqStep[8];
  int64_t voff[8] = {}, hoff[8] = {};
  for (int i = 0; i < 8; ++i) {
    amp[i] = freq[i] = ampStep[i] = freqStep[i] = 0;
    if (P[i].Period < 1) continue;
    amp[i] = P[i].Amplitude;
    freq[i] = P[i].WaveCount / (360.0 / P[i].Period);
    if (P[i].Perspective) {
      amp[i] = 0;
      const int span = bottom[i] - top[i];
      ampStep[i] = span != 0 ? double(P[i].Amplitude) / span : double(P[i].Amplitude);
      freqStep[i] = span != 0 ? freq[i] / span : freq[i];
    }
  }
  auto clampTo = [](int64_t v, int64_t hi) { return v < 0 ? 0 : v > hi ? hi : v; };
  auto round64 = [](double v) { return int64_t(std::nearbyint(v)); };
  auto cosLookup = [](int64_t v) { return ModelCos(std::llabs(v % 360)); };
  for (int32_t r = 0; r < H; ++r) {
    for (int i = 0; i < 8; ++i) {
      if (r < top[i] || r > bottom[i] || P[i].Period < 1) continue;
      if (P[i].Perspective) {
        amp[i] = amp[i] + ampStep[i];
        freq[i] = freq[i] - 0.8 * freqStep[i];
      }
      const int64_t A = round64(double(H - r) * freq[i] * 360.0 / H + double(phases[i]));
      voff[i] = round64(cosLookup(A % P[i].Period) * amp[i]);
      const long double pi = 3.141592653589793238462643383279502884L;
      hoff[i] = int64_t(std::nearbyint(std::cos((long double)(A % 360) * pi / 180.0L) * (long double)amp[i]));
    }
    for (int32_t x = 0; x < W; ++x) {
      const int L = layerAt(x, r);
      if (L < 0) continue;
      if (P[L].Period < 1) {  // a still layer shows its source in place
        wave[size_t(r) * W + x] = src[size_t(r) * W + x];
        continue;
      }
      const int d = P[L].Direction;
      const int64_t J = rig.w.Jitters[L][size_t(x)];
      const int64_t K = d < 2 ? -J : 0;
      int64_t s;
      if (P[L].VertWave) {
        int64_t v = voff[L];
        if (d == 2 || d == 3 || d == 4 || d == 5) {
          const int64_t col = (d == 3 || d == 4) ? x : W - 1 - x;
          const double arg = double(col) * freq[L] / 2.0 * (double(H) - double(r) / 2.0) / double(H) + phases[L];
          v = round64(cosLookup(round64(arg) % P[L].Period) * amp[L]);
        }
        s = r + v + K;
      } else {
        s = r - J;
      }
      s = clampTo(s, H - 1);
      const int64_t t = clampTo(r + K, H - 1);
      const int64_t u = P[L].HorzSway ? clampTo(x - hoff[L], W - 1) : x;
      if (layerAt(int32_t(u), int32_t(t)) == L && layerAt(int32_t(u), int32_t(s)) == L)
        wave[size_t(t) * W + x] = src[size_t(s) * W + u];
    }
  }
  return wave;
}

}  // namespace lumevra::test
