// Preparation of the wave state and the per-frame wave values.
#include "engine/Waves.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/Random.h"
#include "base/Rounding.h"

namespace lumevra {

namespace {

constexpr long double kPiL = 3.141592653589793238462643383279502884L;
constexpr double kTwo63 = 9223372036854775808.0;

std::array<double, 361> MakeCosTable() {
  std::array<double, 361> t{};
  for (int i = 0; i <= 360; ++i) t[static_cast<size_t>(i)] = static_cast<double>(CosDegrees(i));
  return t;
}

}  // namespace

const std::array<double, 361>& CosTable() {
  static const std::array<double, 361> table = MakeCosTable();
  return table;
}

long double CosDegrees(int64_t v) { return std::cos(static_cast<long double>(v) * kPiL / 180.0L); }

int64_t RoundWave(double v) {
  if (std::isnan(v)) return 0;
  if (v >= kTwo63) return std::numeric_limits<int64_t>::max();
  if (v <= -kTwo63) return std::numeric_limits<int64_t>::min();
  return Round(v);
}

int64_t RoundWave(long double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<long double>(kTwo63)) return std::numeric_limits<int64_t>::max();
  if (v <= -static_cast<long double>(kTwo63)) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(std::nearbyint(v));
}

void Waves::Bind(const WaveLayerParams* params, int32_t width, int32_t height) {
  Params = params;
  Width = std::max(width, 0);
  Height = std::max(height, 0);
  Phases.fill(0);
  LayerTop.fill(kNoLayerTop);
  LayerBottom.fill(0);
  LayerMap.clear();
  for (auto& j : Jitters) j.clear();
  MaskRows.clear();
  SourceRows.clear();
  ReflectionRows.clear();
  Spans.clear();
  RowSpans.assign(static_cast<size_t>(Height) + 1, 0);
  RowWork.assign(static_cast<size_t>(Height) + 1, 0);
  maskWidth_ = 0;
}

void Waves::BuildRowTables(const Bitmap32& background, const Bitmap32& mask, const Bitmap32* reflection) {
  const size_t h = static_cast<size_t>(Height);
  MaskRows.assign(h, nullptr);
  SourceRows.assign(h, nullptr);
  ReflectionRows.clear();
  maskWidth_ = std::min(mask.Width(), Width);
  for (int32_t r = 0; r < Height; ++r) {
    if (r < mask.Height() && maskWidth_ > 0) MaskRows[static_cast<size_t>(r)] = mask.ScanLine(r);
    SourceRows[static_cast<size_t>(r)] = background.ScanLine(r);
  }
  if (reflection) {
    ReflectionRows.resize(h);
    for (int32_t r = 0; r < Height; ++r) ReflectionRows[static_cast<size_t>(r)] = reflection->ScanLine(r);
  }
}

void Waves::BuildReflection(const Bitmap32& background, const Bitmap32& mask, Bitmap32& reflection) {
  if (MaskRows.size() != static_cast<size_t>(Height)) BuildRowTables(background, mask, &reflection);
  // First row of each reflecting mask code, -1 until seen.
  std::array<int32_t, 7> first;
  first.fill(-1);
  for (int32_t r = 0; r < Height; ++r) {
    const Color32* m = MaskRows[static_cast<size_t>(r)];
    if (!m) continue;
    Color32* out = reflection.ScanLine(r);
    for (int32_t x = 0; x < maskWidth_; ++x) {
      const int32_t n = MaskCode(m[x]);
      if (n < 1 || !(*Params)[static_cast<size_t>(n - 1)].Reflection) continue;
      if (first[static_cast<size_t>(n)] == -1) first[static_cast<size_t>(n)] = r;
      // Mirror about the line just above the layer's first row.
      const int32_t d = 2 * first[static_cast<size_t>(n)] - r - 1;
      if (d >= 0) out[x] = background.ScanLine(d)[x];
    }
  }
  ReflectionRows.resize(static_cast<size_t>(Height));
  for (int32_t r = 0; r < Height; ++r) ReflectionRows[static_cast<size_t>(r)] = reflection.ScanLine(r);
  SourceRows = ReflectionRows;
}

void Waves::BuildLayerMap() {
  LayerTop.fill(kNoLayerTop);
  LayerBottom.fill(0);
  LayerMap.assign(static_cast<size_t>(Width) * static_cast<size_t>(Height), -1);
  Spans.clear();
  RowSpans.assign(static_cast<size_t>(Height) + 1, 0);
  for (int32_t r = 0; r < Height; ++r) {
    RowSpans[static_cast<size_t>(r)] = static_cast<uint32_t>(Spans.size());
    const Color32* m = MaskRows.empty() ? nullptr : MaskRows[static_cast<size_t>(r)];
    if (!m) continue;
    int16_t* row = LayerMap.data() + static_cast<size_t>(r) * Width;
    for (int32_t x = 0; x < maskWidth_; ++x) {
      const int32_t n = MaskCode(m[x]);
      if (n < 1) continue;
      const size_t L = static_cast<size_t>(n - 1);
      LayerTop[L] = std::min(LayerTop[L], r);
      LayerBottom[L] = std::max(LayerBottom[L], r);
      row[x] = static_cast<int16_t>(n - 1);
    }
    for (int32_t x = 0; x < maskWidth_;) {
      const int16_t L = row[x];
      int32_t end = x + 1;
      while (end < maskWidth_ && row[end] == L) ++end;
      if (L >= 0) Spans.push_back(LayerSpan{x, end, L});
      x = end;
    }
  }
  RowSpans[static_cast<size_t>(Height)] = static_cast<uint32_t>(Spans.size());
  FillRowWork();
}

void Waves::FillRowWork() {
  // A row's values (up to eight wave arguments and cosines) cost about as
  // much as this many pixels; a row without layer pixels costs next to nothing.
  constexpr uint64_t kRowValuesWork = 64;
  // A slanted pixel computes its own wave value: about four times the
  // cost of a pixel moved with its row.
  constexpr uint64_t kSlantedPixelWork = 4;
  std::array<uint64_t, kWaveLayers> pixelWork{};
  pixelWork.fill(1);
  for (size_t L = 0; Params && L < pixelWork.size(); ++L) {
    const WaveParams& p = (*Params)[L];
    pixelWork[L] = !LayerStill(p) && p.VertWave && TraitsOfDirection(p.Direction).slanted ? kSlantedPixelWork : 1;
  }
  RowWork.assign(static_cast<size_t>(Height) + 1, 0);
  for (size_t r = 0; r < static_cast<size_t>(Height); ++r) {
    uint64_t work = 0;
    for (uint32_t k = RowSpans[r]; k < RowSpans[r + 1]; ++k) {
      const LayerSpan& sp = Spans[k];
      work += static_cast<uint64_t>(sp.X1 - sp.X0) * pixelWork[static_cast<size_t>(sp.Layer)];
    }
    RowWork[r + 1] = RowWork[r] + (work > 0 ? work + kRowValuesWork : 0);
  }
}

void Waves::FillJitter() {
  for (size_t L = 0; L < size_t{kWaveLayers}; ++L) {
    const int32_t range = (*Params)[L].Jitter;
    auto& jit = Jitters[L];
    jit.assign(static_cast<size_t>(Width), 0);
    for (int32_t& j : jit) j = Random(range);
  }
}

void Waves::BeginFrame(WaveValues& v) const {
  v = WaveValues{};
  for (size_t i = 0; i < size_t{kWaveLayers}; ++i) {
    const auto& jit = Jitters[i];
    v.JitterFree[i] = std::all_of(jit.begin(), jit.end(), [](int32_t j) { return j == 0; });
    const WaveParams& p = (*Params)[i];
    if (LayerStill(p)) continue;
    v.Amp[i] = p.Amplitude;
    v.Freq[i] = p.WaveCount / (360.0 / p.Period);
    if (!p.Perspective) continue;
    v.Amp[i] = 0;
    const int32_t span = LayerBottom[i] - LayerTop[i];
    if (span != 0) {
      v.AmpStep[i] = static_cast<double>(p.Amplitude) / span;
      v.FreqStep[i] = v.Freq[i] / span;
    } else {
      v.AmpStep[i] = p.Amplitude;
      v.FreqStep[i] = v.Freq[i];
    }
  }
}

void Waves::RowValues(WaveValues& v, int32_t r) const {
  StepRow(v, r);
  RowOffsets(v, r);
}

void Waves::StepRow(WaveValues& v, int32_t r) const {
  for (size_t i = 0; i < size_t{kWaveLayers}; ++i) {
    if (r < LayerTop[i] || r > LayerBottom[i]) continue;
    const WaveParams& p = (*Params)[i];
    if (LayerStill(p) || !p.Perspective) continue;
    v.Amp[i] += v.AmpStep[i];
    v.Freq[i] -= 0.8 * v.FreqStep[i];
  }
}

void Waves::RowOffsets(WaveValues& v, int32_t r) const {
  for (size_t i = 0; i < size_t{kWaveLayers}; ++i) {
    if (r < LayerTop[i] || r > LayerBottom[i]) continue;
    const WaveParams& p = (*Params)[i];
    if (LayerStill(p)) continue;
    // The wave argument in degrees: the row's share of the layer's cycles plus the phase.
    const int64_t A = RoundWave(static_cast<double>(Height - r) * v.Freq[i] * 360 / Height + Phases[i]);
    v.VOff[i] = RoundWave(CosLookup(A % p.Period) * v.Amp[i]);
    v.HOff[i] = RoundWave(CosDegrees(A % 360) * static_cast<long double>(v.Amp[i]));
  }
}

void Waves::AdvancePhases(uint32_t elapsed, int32_t speedPercent, bool timeBased) {
  for (size_t i = 0; i < size_t{kWaveLayers}; ++i) {
    const WaveParams& p = (*Params)[i];
    int64_t step;
    if (timeBased) {
      // Speed is degrees per nominal 50 ms frame; the product wraps as 32 bits.
      const int32_t product = static_cast<int32_t>(static_cast<uint32_t>(p.Speed) * elapsed);
      step = RoundWave(product / 50.0 * (speedPercent / 100.0));
    } else {
      step = RoundWave(p.Speed * (speedPercent / 100.0));
    }
    const uint32_t phase = static_cast<uint32_t>(Phases[i]);
    const uint32_t delta = static_cast<uint32_t>(static_cast<uint64_t>(step));
    Phases[i] = static_cast<int32_t>(TraitsOfDirection(p.Direction).backward ? phase - delta : phase + delta);
  }
}

}  // namespace lumevra
