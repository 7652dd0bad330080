// The per-frame pass of the water effect: each row's layer pixels sampled
// from displaced positions of the source picture into the wave surface.
// SampleRow is the plain column-by-column reference; SampleSpans does the
// same work over the prepared spans of layer pixels, with the common cases
// (no jitter, no slant) reduced to row copies.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "base/WorkerPool.h"
#include "engine/SlantColumns.h"
#include "engine/Waves.h"

namespace lumevra {

namespace {

int64_t Clamp(int64_t v, int64_t hi) { return v < 0 ? 0 : (v > hi ? hi : v); }

// Offsets are clamped before they are added, so absurd amplitudes cannot
// overflow the row arithmetic; anything this large clamps to an edge anyway.
constexpr int64_t kOffsetLimit = int64_t{1} << 40;
int64_t Bounded(int64_t off) { return std::clamp(off, -kOffsetLimit, kOffsetLimit); }

// VOff of one column for the slanted directions: the column term damped
// towards the bottom by (Height - r/2) / Height.
int64_t SlantVOff(int64_t col, double freq, double amp, int32_t r, int32_t height, int32_t phase,
                  int32_t period) {
  const double arg = col * freq / 2 * (height - r / 2.0) / height + phase;
  return RoundWave(CosLookup(RoundWave(arg) % period) * amp);
}

}  // namespace

void Waves::CheckSurface(const Bitmap32& wave) const {
  if (wave.Width() != Width || wave.Height() != Height)
    throw std::logic_error("wave surface does not match the prepared picture");
}

void Waves::SampleRow(const WaveValues& v, int32_t r, Bitmap32& wave) const {
  const int16_t* layers = LayerRow(r);
  for (int32_t x = 0; x < Width; ++x) {
    const int16_t L = layers[x];
    if (L < 0) continue;
    const WaveParams& p = (*Params)[static_cast<size_t>(L)];
    if (LayerStill(p)) {
      wave.SetPixel(x, r, SourceRows[static_cast<size_t>(r)][x]);
      continue;
    }
    const WaveDirectionTraits dir = TraitsOfDirection(p.Direction);
    const int64_t J = Jitters[static_cast<size_t>(L)][static_cast<size_t>(x)];
    const int64_t K = dir.jitterLifts ? -J : 0;
    int64_t s;
    if (p.VertWave) {
      int64_t voff = v.VOff[static_cast<size_t>(L)];
      if (dir.slanted && !dir.fromRight)
        voff = SlantVOff(x, v.Freq[L], v.Amp[L], r, Height, Phases[L], p.Period);
      else if (dir.slanted)
        voff = SlantVOff(int64_t{Width} - 1 - x, v.Freq[L], v.Amp[L], r, Height, Phases[L], p.Period);
      s = r + Bounded(voff) + K;
    } else {
      s = r - J;
    }
    s = Clamp(s, Height - 1);
    const int64_t t = Clamp(r + K, Height - 1);
    int64_t u = x;
    if (p.HorzSway) u = Clamp(x - Bounded(v.HOff[static_cast<size_t>(L)]), Width - 1);
    const auto ti = static_cast<int32_t>(t), si = static_cast<int32_t>(s), ui = static_cast<int32_t>(u);
    if (LayerRow(ti)[ui] == L && LayerRow(si)[ui] == L) wave.SetPixel(x, ti, SourceRows[static_cast<size_t>(si)][ui]);
  }
}

void Waves::SampleSpans(const WaveValues& v, int32_t r, Bitmap32& wave, RowBand band) const {
  // Outside its band a row can only reach into it through a jitter that moves the target row.
  const bool ownRow = r >= band.First && r < band.End;
  Color32* const dstRow = wave.ScanLine(r);
  const int16_t* const lmR = LayerRow(r);
  const int64_t lastRow = Height - 1, lastCol = Width - 1;
  SlantRowTables slantTables;
  for (uint32_t k = RowSpans[static_cast<size_t>(r)]; k < RowSpans[static_cast<size_t>(r) + 1]; ++k) {
    const LayerSpan sp = Spans[k];
    const size_t L = static_cast<size_t>(sp.Layer);
    const WaveParams& p = (*Params)[L];
    if (LayerStill(p)) {
      const Color32* src = SourceRows[static_cast<size_t>(r)];
      if (ownRow) std::copy(src + sp.X0, src + sp.X1, dstRow + sp.X0);
      continue;
    }
    const WaveDirectionTraits dir = TraitsOfDirection(p.Direction);
    const bool slant = p.VertWave && dir.slanted;
    if (!ownRow && (v.JitterFree[L] || slant || !dir.jitterLifts)) continue;
    const int64_t hoff = p.HorzSway ? Bounded(v.HOff[L]) : 0;

    if (v.JitterFree[L] && !slant) {
      // One source row for the whole span, written into row r itself.
      const int32_t s = p.VertWave ? static_cast<int32_t>(Clamp(r + Bounded(v.VOff[L]), lastRow)) : r;
      const int16_t* lmS = LayerRow(s);
      const Color32* src = SourceRows[static_cast<size_t>(s)];
      if (hoff == 0 && s == r) {
        std::copy(src + sp.X0, src + sp.X1, dstRow + sp.X0);
      } else if (hoff == 0) {
        for (int32_t x = sp.X0; x < sp.X1; ++x)
          if (lmS[x] == sp.Layer) dstRow[x] = src[x];
      } else {
        for (int32_t x = sp.X0; x < sp.X1; ++x) {
          const auto u = static_cast<int32_t>(Clamp(x - hoff, lastCol));
          if (lmR[u] == sp.Layer && lmS[u] == sp.Layer) dstRow[x] = src[u];
        }
      }
      continue;
    }

    if (slant) {
      SlantSpan(v, r, sp, hoff, dstRow, slantTables);
      continue;
    }

    // Jitter: source and target rows vary by column.
    const int32_t* jit = Jitters[L].data();
    const int64_t rowVOff = p.VertWave ? Bounded(v.VOff[L]) : 0;
    for (int32_t x = sp.X0; x < sp.X1; ++x) {
      const int64_t J = jit[x];
      const int64_t K = dir.jitterLifts ? -J : 0;
      const int64_t s = Clamp(p.VertWave ? r + rowVOff + K : r - J, lastRow);
      const auto t = static_cast<int32_t>(K == 0 ? r : Clamp(r + K, lastRow));
      if (t < band.First || t >= band.End) continue;
      const auto u = static_cast<int32_t>(hoff == 0 ? x : Clamp(x - hoff, lastCol));
      const auto si = static_cast<int32_t>(s);
      if (LayerRow(t)[u] == sp.Layer && LayerRow(si)[u] == sp.Layer)
        wave.ScanLine(t)[x] = SourceRows[static_cast<size_t>(si)][u];
    }
  }
}

// A slanted span: the target row is r itself (no jitter applies), the
// source row follows each column's own wave value: the degrees of a run of
// columns are worked out together, then the run's pixels are sampled
// through the row's table of rows by degree.
void Waves::SlantSpan(const WaveValues& v, int32_t r, const LayerSpan& sp, int64_t hoff, Color32* dstRow,
                      SlantRowTables& tables) const {
  const size_t L = static_cast<size_t>(sp.Layer);
  const WaveParams& p = (*Params)[L];
  SlantRow slant;
  slant.Freq = v.Freq[L];
  slant.Amp = v.Amp[L];
  slant.Row = r;
  slant.Height = Height;
  slant.Width = Width;
  slant.Phase = Phases[L];
  slant.Period = p.Period;
  slant.FromRight = TraitsOfDirection(p.Direction).fromRight;
  const int32_t* rowOfDegree = tables.For(L, slant);
  const int64_t lastRow = Height - 1, lastCol = Width - 1;
  const int16_t* lmR = LayerRow(r);
  // Locals, so that the pixel stores cannot make the compiler reload them.
  const int16_t* const layerMap = LayerMap.data();
  const size_t stride = static_cast<size_t>(Width);
  const Color32* const* const sourceRows = SourceRows.data();
  int32_t degrees[kSlantRun], rows[kSlantRun];
  for (int32_t x0 = sp.X0; x0 < sp.X1; x0 += kSlantRun) {
    const int32_t n = std::min(kSlantRun, sp.X1 - x0);
    if (rowOfDegree && SlantDegrees(slant, x0, n, degrees)) {
      for (int32_t i = 0; i < n; ++i) rows[i] = rowOfDegree[degrees[i]];
    } else {
      for (int32_t i = 0; i < n; ++i) {
        const int64_t col = slant.FromRight ? lastCol - (x0 + i) : x0 + i;
        const int64_t voff = SlantVOff(col, slant.Freq, slant.Amp, r, Height, slant.Phase, p.Period);
        rows[i] = static_cast<int32_t>(Clamp(r + Bounded(voff), lastRow));
      }
    }
    // A select rather than a branch: along a ragged shore the test flips unpredictably.
    if (hoff == 0) {
      // The span's own pixels are of this layer; only the source pixel needs the test.
      for (int32_t i = 0; i < n; ++i) {
        const int32_t x = x0 + i, s = rows[i];
        const bool same = layerMap[static_cast<size_t>(s) * stride + static_cast<size_t>(x)] == sp.Layer;
        const Color32 sampled = sourceRows[s][x];
        dstRow[x] = same ? sampled : dstRow[x];
      }
      continue;
    }
    for (int32_t i = 0; i < n; ++i) {
      const int32_t x = x0 + i, s = rows[i];
      const auto u = static_cast<int32_t>(Clamp(x - hoff, lastCol));
      const bool same = (lmR[u] == sp.Layer) & (layerMap[static_cast<size_t>(s) * stride + u] == sp.Layer);
      const Color32 sampled = sourceRows[s][u];
      dstRow[x] = same ? sampled : dstRow[x];
    }
  }
}

void Waves::Frame(Bitmap32& wave, WorkerPool* pool) const {
  CheckSurface(wave);
  if (LayerMap.empty()) return;
  const int32_t bands = pool && pool->Threads() > 1 ? BandsFor(pool->Threads()) : 1;
  if (bands > 1) {
    FrameInBands(wave, BandEdges(bands), *pool);
    return;
  }
  WaveValues v;
  BeginFrame(v);
  for (int32_t r = 0; r < Height; ++r) {
    RowValues(v, r);
    SampleSpans(v, r, wave);
  }
}

void Waves::FrameReference(Bitmap32& wave) const {
  CheckSurface(wave);
  if (LayerMap.empty()) return;
  WaveValues v;
  BeginFrame(v);
  for (int32_t r = 0; r < Height; ++r) {
    RowValues(v, r);
    SampleRow(v, r, wave);
  }
}

}  // namespace lumevra
