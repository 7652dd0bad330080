// The water frame in bands of rows: pixel for pixel the single-thread frame
// for every band count and edge placement (even rows, empty bands, bands
// balanced by layer pixels), on pools with and without worker threads; a
// band's row writes stay inside it; the edges share out the layer pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "WavesTestSupport.h"
#include "base/WorkerPool.h"

namespace lumevra {
namespace {

using test::WaveRig;

// Layers over random blobs of the picture. Layer i of the six has direction
// (FirstDirection + i) % 6, so every case holds all six, the slanted ones
// among them; the generator draws each column's jitter from 0 .. Jitter - 1.
// The generator never draws below 0; planted negative jitters move target
// rows down instead of up, which a band must catch as well.
struct BandCase {
  const char* name;
  int32_t width, height;
  int32_t jitter;
  int32_t firstDirection;
  bool perspective, sway, vertWave, reflection;
  bool negativeJitter = false;
};

const BandCase kBandCases[] = {
    {"one row", 9, 1, 3, 0, true, true, true, false},
    {"two rows", 12, 2, 5, 1, true, false, true, false},
    {"three rows", 11, 3, 4, 2, false, true, true, true},
    {"seven rows without jitter", 23, 7, 0, 3, true, true, true, false},
    {"jitter 1 draws only zeros", 20, 9, 1, 4, false, false, true, false},
    {"jitter 2", 31, 19, 2, 5, true, true, true, false},
    {"jitter 5 with reflection", 40, 33, 5, 0, true, true, true, true},
    {"jitter taller than the picture", 17, 4, 5, 1, true, false, true, false},
    {"no vertical wave: source row less the jitter", 25, 21, 5, 2, false, true, false, false},
    {"tall", 48, 97, 5, 3, true, true, true, true},
    {"planted negative jitters", 30, 26, 5, 0, true, true, true, false, true},
};

// A prepared rig for the case: a random mask of blob x blob cells, random wave values.
std::unique_ptr<WaveRig> RandomRig(const BandCase& c, std::mt19937& gen, int32_t blob) {
  auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(gen); };
  std::vector<int> cells(size_t(c.width) * size_t(c.height));
  for (auto& cell : cells) cell = pick(-1, 5);
  auto rig = std::make_unique<WaveRig>(c.width, c.height, [&](int32_t x, int32_t y) {
    return cells[size_t(y / blob * blob) * size_t(c.width) + size_t(x / blob * blob)];
  });
  for (size_t i = 0; i < rig->params.size(); ++i) {
    WaveParams& p = rig->params[i];
    p.Amplitude = pick(0, 12);
    p.WaveCount = pick(-20, 40);
    p.Speed = pick(-40, 40);
    p.Period = pick(0, 3) == 0 ? 360 : pick(1, 400);
    p.Direction = int32_t((size_t(c.firstDirection) + i) % 6);
    p.Jitter = c.jitter;
    p.Perspective = c.perspective && i % 2 == 0;
    p.HorzSway = c.sway && i % 3 != 1;
    p.VertWave = c.vertWave;
    p.Reflection = c.reflection && i == 2;
  }
  rig->Prepare();
  if (c.negativeJitter)
    for (auto& jitters : rig->w.Jitters)
      for (int32_t& j : jitters) j = pick(1 - c.jitter, c.jitter - 1);
  return rig;
}

// n bands of (nearly) even rows; with more bands than rows some are empty.
std::vector<int32_t> EvenEdges(int32_t height, int32_t n) {
  std::vector<int32_t> edges(size_t(n) + 1);
  for (int32_t k = 0; k <= n; ++k) edges[size_t(k)] = int32_t(int64_t{height} * k / n);
  return edges;
}

TEST(WaveBands, EveryBandCountGivesTheSingleThreadFrame) {
  WorkerPool callerOnly(1), fourThreads(4);
  WorkerPool* const pools[] = {&callerOnly, &fourThreads};
  std::mt19937 gen(7781);
  for (const BandCase& c : kBandCases) {
    for (const int32_t blob : {1, 3}) {
      const auto owned = RandomRig(c, gen, blob);
      WaveRig& rig = *owned;
      for (int frame = 0; frame < 3; ++frame) {
        Bitmap32 expected;
        expected.Assign(rig.wave);
        rig.w.FrameReference(expected);
        for (int32_t n = 1; n <= 8; ++n) {
          for (const auto& edges : {EvenEdges(c.height, n), rig.w.BandEdges(n)}) {
            for (WorkerPool* pool : pools) {
              Bitmap32 banded;
              banded.Assign(rig.wave);
              rig.w.FrameInBands(banded, edges, *pool);
              ASSERT_EQ(rig.Pixels(banded), rig.Pixels(expected))
                  << c.name << ", blob " << blob << ", frame " << frame << ", " << n << " bands, edge 1 at "
                  << edges[1] << ", " << pool->Threads() << " threads";
            }
          }
        }
        rig.w.Frame(rig.wave);
        rig.w.AdvancePhases(uint32_t(40 + 17 * frame), 130, true);
      }
    }
  }
}

// Rows of a lifting jitter write into rows above them, across band edges:
// a band keeps exactly the writes that land on its own rows.
TEST(WaveBands, ARowWritesOnlyIntoTheRowsOfItsBand) {
  std::mt19937 gen(913);
  const BandCase c{"lifting jitter", 30, 24, 5, 0, true, true, true, false};
  const auto owned = RandomRig(c, gen, 2);
  WaveRig& rig = *owned;
  const RowBand bands[] = {{0, 24}, {0, 5}, {5, 6}, {6, 17}, {17, 24}, {23, 24}};
  constexpr Color32 kUntouched = 0x00ABCDEF;  // no picture pixel has alpha 0
  int crossings = 0;
  WaveValues v;
  rig.w.BeginFrame(v);
  for (int32_t r = 0; r < c.height; ++r) {
    rig.w.RowValues(v, r);
    Bitmap32 whole;
    whole.SetSize(c.width, c.height);
    whole.Clear(kUntouched);
    rig.w.SampleSpans(v, r, whole);
    for (const RowBand& band : bands) {
      Bitmap32 part;
      part.SetSize(c.width, c.height);
      part.Clear(kUntouched);
      rig.w.SampleSpans(v, r, part, band);
      for (int32_t y = 0; y < c.height; ++y) {
        const bool inside = y >= band.First && y < band.End;
        for (int32_t x = 0; x < c.width; ++x) {
          ASSERT_EQ(part.GetPixel(x, y), inside ? whole.GetPixel(x, y) : kUntouched)
              << "row " << r << ", band " << band.First << ".." << band.End << ", pixel " << x << "," << y;
          if (inside && y != r && whole.GetPixel(x, y) != kUntouched) ++crossings;
        }
      }
    }
  }
  EXPECT_GT(crossings, 0);  // the jitter did carry writes from rows below a band into it
}

// Water in the lower part only: the bands share its pixels, not the rows.
TEST(WaveBands, EdgesShareOutTheLayerPixels) {
  struct Case {
    const char* name;
    int32_t height;
    int32_t waterFrom;  // first row of water
    int32_t bands;
  };
  const Case cases[] = {
      {"lower half, two bands", 100, 50, 2},
      {"lower fifth, four bands", 100, 80, 4},
      {"everywhere, eight bands", 64, 0, 8},
      {"everywhere, more bands than rows", 5, 0, 8},
      {"no water", 30, 30, 3},
  };
  for (const Case& c : cases) {
    WaveRig rig(40, c.height, [&](int32_t x, int32_t y) { return y >= c.waterFrom ? x % 3 : -1; });
    rig.Prepare();
    const std::vector<int32_t> edges = rig.w.BandEdges(c.bands);
    const int32_t n = std::min(c.bands, c.height);
    ASSERT_EQ(edges.size(), size_t(n) + 1) << c.name;
    EXPECT_EQ(edges.front(), 0) << c.name;
    EXPECT_EQ(edges.back(), c.height) << c.name;
    EXPECT_TRUE(std::is_sorted(edges.begin(), edges.end())) << c.name;
    const int32_t waterRows = c.height - c.waterFrom;
    for (int32_t k = 0; k < n && waterRows >= n; ++k) {
      const int32_t wet = std::max(edges[size_t(k) + 1], c.waterFrom) - std::max(edges[size_t(k)], c.waterFrom);
      EXPECT_NEAR(wet, double(waterRows) / n, 1.0) << c.name << ", band " << k;
    }
  }
}

TEST(WaveBands, EdgesThatDoNotCoverThePictureInOrderAreRefused) {
  WaveRig rig(8, 6, [](int32_t x, int32_t) { return x % 2; });
  rig.Prepare();
  WorkerPool pool(1);
  const std::vector<int32_t> bad[] = {{}, {0}, {1, 6}, {0, 5}, {0, 4, 2, 6}, {0, 3, 7}};
  for (const auto& edges : bad) EXPECT_THROW(rig.w.FrameInBands(rig.wave, edges, pool), std::invalid_argument);
}

}  // namespace
}  // namespace lumevra
