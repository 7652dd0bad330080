// The water frame cut into bands of target rows, one pool job each. Rows
// write into their own row except where a jitter moves the target row (up
// with the lifting directions, down only with negative jitters that tests
// plant), so a band also runs the few source rows beyond its edges that
// can reach into it and keeps only the writes that land inside.
#include <algorithm>
#include <stdexcept>

#include "base/WorkerPool.h"
#include "engine/Waves.h"

namespace lumevra {

namespace {

// A band needs about this much work (RowWork) to pay for handing it out.
constexpr uint64_t kMinBandWork = uint64_t{1} << 14;
// Several bands per thread: a thread that is through early, or that gets
// its core while another thread waits for one, takes the next band.
constexpr int64_t kBandsPerThread = 4;

// How far a row's writes can land above (Lift) and below (Drop) the row
// itself, each at most Height: the jitters of the layers whose direction
// moves the target row.
struct JitterReach {
  int32_t Lift = 0;
  int32_t Drop = 0;
};

JitterReach ReachOf(const Waves& w) {
  int64_t lift = 0, drop = 0;
  for (size_t L = 0; L < size_t{kWaveLayers}; ++L) {
    if (!TraitsOfDirection((*w.Params)[L].Direction).jitterLifts) continue;
    for (const int32_t j : w.Jitters[L]) {
      lift = std::max<int64_t>(lift, j);
      drop = std::max<int64_t>(drop, -int64_t{j});
    }
  }
  return {static_cast<int32_t>(std::min<int64_t>(lift, w.Height)),
          static_cast<int32_t>(std::min<int64_t>(drop, w.Height))};
}

}  // namespace

int32_t Waves::BandsFor(int32_t threads) const {
  const uint64_t total = RowWork.empty() ? 0 : RowWork.back();
  const auto affordable = static_cast<int64_t>(total / kMinBandWork);
  const int64_t wanted = std::min<int64_t>(int64_t{threads} * kBandsPerThread, affordable);
  return static_cast<int32_t>(std::clamp<int64_t>(wanted, 1, std::max(Height, 1)));
}

std::vector<int32_t> Waves::BandEdges(int32_t bands) const {
  const int32_t n = std::clamp(bands, 1, std::max(Height, 1));
  std::vector<int32_t> edges(static_cast<size_t>(n) + 1, 0);
  edges.back() = Height;
  if (RowWork.size() != static_cast<size_t>(Height) + 1) {
    // No layer map yet: even rows.
    for (int32_t k = 1; k < n; ++k) edges[static_cast<size_t>(k)] = static_cast<int32_t>(int64_t{Height} * k / n);
    return edges;
  }
  const uint64_t total = RowWork.back();
  for (int32_t k = 1; k < n; ++k) {
    // The first row whose work before it reaches k / n of the whole.
    const uint64_t share = total / static_cast<uint64_t>(n) * static_cast<uint64_t>(k);
    const auto at = std::lower_bound(RowWork.begin(), RowWork.end(), share);
    edges[static_cast<size_t>(k)] = static_cast<int32_t>(std::min<ptrdiff_t>(at - RowWork.begin(), Height));
  }
  return edges;
}

void Waves::FrameInBands(Bitmap32& wave, const std::vector<int32_t>& edges, WorkerPool& pool) const {
  CheckSurface(wave);
  if (edges.size() < 2 || edges.front() != 0 || edges.back() != Height || !std::is_sorted(edges.begin(), edges.end()))
    throw std::invalid_argument("band edges must rise from 0 to the picture height");
  if (LayerMap.empty()) return;
  const auto bands = static_cast<int32_t>(edges.size() - 1);
  const JitterReach reach = ReachOf(*this);
  // Each band's first source row and the values the rows above it carry
  // there; only the perspective step is carried, so walking the rows for
  // it alone is cheap and the bands compute their own offsets.
  std::vector<int32_t> firstRow(static_cast<size_t>(bands));
  std::vector<WaveValues> carried(static_cast<size_t>(bands));
  for (size_t k = 0; k < firstRow.size(); ++k) firstRow[k] = std::clamp(edges[k] - reach.Drop, 0, Height);
  WaveValues v;
  BeginFrame(v);
  // Edges rise, so the first rows do too.
  size_t next = 0;
  for (int32_t r = 0; r <= Height && next < firstRow.size(); ++r) {
    while (next < firstRow.size() && firstRow[next] == r) carried[next++] = v;
    if (r < Height) StepRow(v, r);
  }
  pool.Run(bands, [&](int32_t k) {
    const auto i = static_cast<size_t>(k);
    const RowBand band{edges[i], edges[i + 1]};
    if (band.First >= band.End) return;
    WaveValues bv = carried[i];
    const int32_t end = static_cast<int32_t>(std::min<int64_t>(int64_t{band.End} + reach.Lift, Height));
    for (int32_t r = firstRow[i]; r < end; ++r) {
      RowValues(bv, r);
      SampleSpans(bv, r, wave, band);
    }
  });
}

}  // namespace lumevra
