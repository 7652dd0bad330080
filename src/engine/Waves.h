// The water effect: up to eight wave layers, each the region of the picture
// painted in one mask colour, whose pixels are displaced row by row every
// frame. Waves holds what preparation builds (layer map, row ranges, row
// spans, jitter, reflection rows) and runs the per-frame pass and the phase
// advance. The arithmetic is exact so that a frame can be checked pixel for
// pixel: doubles where values are real, 64 bits for the wave argument,
// halves to even, truncating remainders.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "graphics/Bitmap32.h"
#include "package/ProjectRecords.h"

namespace lumevra {

class SlantRowTables;
class WorkerPool;

// First value of LayerTop: above every row, so an absent layer's range is empty.
inline constexpr int32_t kNoLayerTop = 50000;

using WaveLayerParams = std::array<WaveParams, kWaveLayers>;

// cos(i degrees) for i = 0..360, computed in extended precision, kept as doubles.
const std::array<double, 361>& CosTable();
// cos(v degrees) for an integer v: CosTable[|v mod 360|].
inline double CosLookup(int64_t v) {
  const int64_t m = v % 360;
  return CosTable()[static_cast<size_t>(m < 0 ? -m : m)];
}
// cos(v degrees) computed directly in extended precision.
long double CosDegrees(int64_t v);

// Round (halves to even) into 64 bits; values beyond the 64-bit range, which
// only absurd wave fields produce, saturate instead of overflowing.
int64_t RoundWave(double v);
int64_t RoundWave(long double v);

// A layer whose Period is below 1 would divide by zero: it is held still
// (its pixels show the source picture in place) and the rest goes on.
inline bool LayerStill(const WaveParams& p) { return p.Period < 1; }

// A run of pixels of one layer within one row: columns X0 .. X1 - 1.
struct LayerSpan {
  int32_t X0 = 0;
  int32_t X1 = 0;
  int16_t Layer = 0;
};

// The working values of one frame: per layer the current amplitude and
// frequency (with their perspective steps) and the current row's offsets.
struct WaveValues {
  std::array<double, kWaveLayers> Amp{};
  std::array<double, kWaveLayers> Freq{};
  std::array<double, kWaveLayers> AmpStep{};
  std::array<double, kWaveLayers> FreqStep{};
  std::array<int64_t, kWaveLayers> VOff{};
  std::array<int64_t, kWaveLayers> HOff{};
  // Layers whose jitter is 0 in every column: their spans move as a whole.
  std::array<bool, kWaveLayers> JitterFree{};
};

// Target rows First .. End - 1 of one band of a frame.
struct RowBand {
  int32_t First = 0;
  int32_t End = INT32_MAX;
};

class Waves {
public:
  // --- Preparation, in the order the engine runs it ---

  // Binds the layers (read live every frame) and the picture size; phases
  // go back to 0 and every table is emptied.
  void Bind(const WaveLayerParams* params, int32_t width, int32_t height);
  // Row access: MaskRows from the mask (rows the mask lacks stay null),
  // SourceRows from the background and, when given, ReflectionRows.
  void BuildRowTables(const Bitmap32& background, const Bitmap32& mask, const Bitmap32* reflection);
  // Mirrors into `reflection` (already a copy of the background) the picture
  // above every reflecting layer about the line just above its first row;
  // then SourceRows refers to the reflection.
  void BuildReflection(const Bitmap32& background, const Bitmap32& mask, Bitmap32& reflection);
  // LayerMap, LayerTop / LayerBottom, the per-row spans of layer pixels and RowWork.
  // Mask pixels beyond the mask's own size count as no layer.
  void BuildLayerMap();
  // Jitters: per layer and column a random integer 0 .. Jitter - 1 drawn from
  // the shared generator, layer by layer (0 when Jitter is 0 or negative).
  void FillJitter();

  // --- Frame ---

  // The displaced layers of one frame into `wave` (Width x Height); rows in
  // order, only the prepared spans of layer pixels. With a pool of more than
  // one thread the frame is cut into bands of rows (FrameInBands), a few
  // per thread where each gets enough layer pixels; the pixels are the same
  // either way.
  void Frame(Bitmap32& wave, WorkerPool* pool = nullptr) const;
  // Band edges balanced by RowWork: 0 = edges[0] <= ... <= edges[n] =
  // Height for n = clamp(bands, 1, Height) bands (one band when Height is 0).
  std::vector<int32_t> BandEdges(int32_t bands) const;
  // One frame over the pool, band k writing only target rows edges[k] ..
  // edges[k + 1] - 1. A band runs the source rows from its first row (less
  // the farthest any jitter moves a target row down) to its last (plus the
  // farthest any jitter lifts one), in order, from the row values the rows
  // above it leave; so every pixel gets its writes in the order the
  // single-thread frame gives them, and the same pixels come out. `edges`
  // must rise from 0 to Height.
  void FrameInBands(Bitmap32& wave, const std::vector<int32_t>& edges, WorkerPool& pool) const;
  // The same with the straightforward per-pixel sampling of every row.
  void FrameReference(Bitmap32& wave) const;
  // Per-frame start values: amplitude, frequency and perspective steps.
  void BeginFrame(WaveValues& v) const;
  // Row r's values of every layer whose range contains r (perspective step,
  // wave argument, VOff and HOff): StepRow, then RowOffsets.
  void RowValues(WaveValues& v, int32_t r) const;
  // Row r's perspective step of amplitude and frequency: the only values
  // carried from row to row.
  void StepRow(WaveValues& v, int32_t r) const;
  // Row r's wave argument, VOff and HOff from the stepped values.
  void RowOffsets(WaveValues& v, int32_t r) const;
  // Row r sampled column by column as the reference does it.
  void SampleRow(const WaveValues& v, int32_t r, Bitmap32& wave) const;
  // Row r through its spans; the same result as SampleRow. Only writes into
  // target rows of `band` are made (all rows by default).
  void SampleSpans(const WaveValues& v, int32_t r, Bitmap32& wave, RowBand band = {}) const;
  // The phase advance after a frame of `elapsed` ms at `speedPercent` %.
  void AdvancePhases(uint32_t elapsed, int32_t speedPercent, bool timeBased);

  // The layer number at (x, r), -1 where none.
  const int16_t* LayerRow(int32_t r) const { return LayerMap.data() + static_cast<size_t>(r) * Width; }

  const WaveLayerParams* Params = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
  std::array<int32_t, kWaveLayers> Phases{};
  std::array<int32_t, kWaveLayers> LayerTop{};
  std::array<int32_t, kWaveLayers> LayerBottom{};
  std::vector<int16_t> LayerMap;  // Height rows of Width entries
  std::array<std::vector<int32_t>, kWaveLayers> Jitters;
  std::vector<const Color32*> MaskRows;
  std::vector<const Color32*> SourceRows;
  std::vector<const Color32*> ReflectionRows;
  // Spans of row r: Spans[RowSpans[r] .. RowSpans[r + 1] - 1].
  std::vector<LayerSpan> Spans;
  std::vector<uint32_t> RowSpans;
  // The work of rows 0 .. r - 1 at RowWork[r] (Height + 1 entries): their
  // layer pixels, slanted ones weighing more, and a share per row for its
  // values; bands are cut by it.
  std::vector<uint64_t> RowWork;

private:
  void CheckSurface(const Bitmap32& wave) const;
  void FillRowWork();
  // How many bands a frame gets from `threads` threads: fewer where a band
  // would hold too little work to pay for handing it out.
  int32_t BandsFor(int32_t threads) const;
  void SlantSpan(const WaveValues& v, int32_t r, const LayerSpan& sp, int64_t hoff, Color32* dstRow,
                 SlantRowTables& tables) const;

  int32_t maskWidth_ = 0;
};

}  // namespace lumevra
