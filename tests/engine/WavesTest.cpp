// Preparation of the water state and the per-frame wave values: layer map
// and row ranges, spans, reflection, jitter, perspective, the wave argument
// and the phase advance.
#include <gtest/gtest.h>

#include <set>

#include "WavesTestSupport.h"
#include "base/Clock.h"
#include "base/Random.h"

namespace lumevra {
namespace {

using test::MaskFor;
using test::PixelAt;
using test::WaveRig;

TEST(CosTable, HoldsCosinesOfWholeDegreesAndLooksUpAnyInteger) {
  const auto& t = CosTable();
  EXPECT_EQ(t[0], 1.0);
  EXPECT_EQ(t[180], -1.0);
  EXPECT_EQ(t[360], 1.0);
  EXPECT_NEAR(t[90], 0.0, 1e-18);
  EXPECT_NEAR(t[60], 0.5, 1e-16);
  // Cosine is even and 360-periodic: negative and large arguments land on the same entry.
  EXPECT_EQ(CosLookup(-30), t[30]);
  EXPECT_EQ(CosLookup(390), t[30]);
  EXPECT_EQ(CosLookup(-720 - 45), t[45]);
  EXPECT_EQ(CosLookup(int64_t{3} << 40), t[(int64_t{3} << 40) % 360]);
}

TEST(RoundWave, HalvesGoToEvenAndHugeValuesSaturate) {
  EXPECT_EQ(RoundWave(2.5), 2);
  EXPECT_EQ(RoundWave(3.5), 4);
  EXPECT_EQ(RoundWave(-2.5), -2);
  EXPECT_EQ(RoundWave(1e30), INT64_MAX);
  EXPECT_EQ(RoundWave(-1e30), INT64_MIN);
  EXPECT_EQ(RoundWave(std::nan("")), 0);
  EXPECT_EQ(RoundWave(2.5L), 2);
}

// Mask (6 x 5), one letter per pixel: digits are layers, '.' no layer.
const char* const kMask[] = {
    "..00..",
    ".0011.",
    "..1.5.",
    "......",
    "55..22",
};

TEST(BuildLayerMap, MapsLayersAndRowRangesAndSpans) {
  WaveRig rig(6, 5, [](int32_t x, int32_t y) { return kMask[y][x] == '.' ? -1 : kMask[y][x] - '0'; });
  rig.Prepare();
  const Waves& w = rig.w;
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 6; ++x)
      EXPECT_EQ(w.LayerRow(y)[x], kMask[y][x] == '.' ? -1 : kMask[y][x] - '0') << x << "," << y;

  struct Range { int32_t top, bottom; };
  const Range expected[8] = {{0, 1}, {1, 2}, {4, 4}, {kNoLayerTop, 0}, {kNoLayerTop, 0}, {2, 4},
                             {kNoLayerTop, 0}, {kNoLayerTop, 0}};
  for (size_t L = 0; L < 8; ++L) {
    EXPECT_EQ(w.LayerTop[L], expected[L].top) << "layer " << L;
    EXPECT_EQ(w.LayerBottom[L], expected[L].bottom) << "layer " << L;
  }

  // Spans of row 1: ".0011." -> [1,3) layer 0, [3,5) layer 1; row 3 has none.
  auto spansOf = [&](int32_t r) {
    std::vector<std::tuple<int32_t, int32_t, int16_t>> out;
    for (uint32_t k = w.RowSpans[size_t(r)]; k < w.RowSpans[size_t(r) + 1]; ++k)
      out.emplace_back(w.Spans[k].X0, w.Spans[k].X1, w.Spans[k].Layer);
    return out;
  };
  using S = std::vector<std::tuple<int32_t, int32_t, int16_t>>;
  EXPECT_EQ(spansOf(1), (S{{1, 3, 0}, {3, 5, 1}}));
  EXPECT_EQ(spansOf(2), (S{{2, 3, 1}, {4, 5, 5}}));
  EXPECT_EQ(spansOf(3), S{});
  EXPECT_EQ(spansOf(4), (S{{0, 2, 5}, {4, 6, 2}}));
}

TEST(BuildLayerMap, ColoursOtherThanTheSixAreNoLayer) {
  const uint32_t others[] = {0x00FFFFFF, 0x00000000, 0xFF0000FF /* blue with alpha */, 0x000000FE};
  WaveRig rig(4, 1, [](int32_t, int32_t) { return -1; });
  for (int32_t x = 0; x < 4; ++x) rig.mask.SetPixel(x, 0, others[x]);
  rig.Prepare();
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(rig.w.LayerRow(0)[x], -1);
  EXPECT_TRUE(rig.w.Spans.empty());
}

TEST(BuildLayerMap, AMaskSmallerThanThePictureLeavesTheRestWithoutLayer) {
  WaveRig rig(5, 4, [](int32_t, int32_t) { return 0; });
  rig.mask.SetSize(3, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) rig.mask.SetPixel(x, y, MaskFor(0));
  rig.params[0].Amplitude = 50;
  rig.params[0].Reflection = true;
  rig.Prepare();
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(rig.w.LayerRow(y)[x], (x < 3 && y < 2) ? 0 : -1);
  EXPECT_EQ(rig.w.LayerBottom[0], 1);
  rig.w.Frame(rig.wave);  // reads stay inside the picture
}

// Reflection: a layer mirrors the picture above it about the line just above
// its first row; the first row is the layer's, not the column's.
TEST(BuildReflection, MirrorsThePictureAboveEachReflectingLayer) {
  // Layer 0 (reflecting): a triangle from row 3 (column 0) widening to columns 0..2 at row 4..7.
  // Layer 1 (not reflecting): column 3, rows 5..7.
  WaveRig rig(4, 8, [](int32_t x, int32_t y) {
    if (x == 3) return y >= 5 ? 1 : -1;
    if (y == 3) return x == 0 ? 0 : -1;
    return y >= 4 ? 0 : -1;
  });
  rig.params[0].Reflection = true;
  rig.Prepare();
  struct Case { int32_t x, y, sourceRow; };
  const Case cases[] = {
      {0, 3, 2}, {0, 4, 1}, {0, 5, 0},  // first row 3: rows 3, 4, 5 take rows 2, 1, 0
      {0, 6, 6}, {0, 7, 7},             // their mirror lies above the picture: unchanged
      {2, 4, 1}, {2, 5, 0},             // column 2 starts at row 4 but mirrors about row 3 too
      {1, 2, 2}, {3, 6, 6},             // outside the layer / a layer that does not reflect
  };
  for (const Case& c : cases) EXPECT_EQ(rig.reflection.GetPixel(c.x, c.y), PixelAt(c.x, c.sourceRow)) << c.x << "," << c.y;
  for (int32_t r = 0; r < 8; ++r) EXPECT_EQ(rig.w.SourceRows[size_t(r)], rig.reflection.ScanLine(r));
}

TEST(BuildReflection, WithoutReflectionTheSourceIsTheBackground) {
  WaveRig rig(3, 3, [](int32_t, int32_t y) { return y == 2 ? 0 : -1; });
  rig.Prepare();
  EXPECT_TRUE(rig.w.ReflectionRows.empty());
  for (int32_t r = 0; r < 3; ++r) EXPECT_EQ(rig.w.SourceRows[size_t(r)], rig.background.ScanLine(r));
}

TEST(FillJitter, IsRepeatableUnderAFixedSeedAndStaysInRange) {
  ManualClock clock(123456);
  ScopedClock scoped(clock);
  SetFixedSeed(77);
  WaveRig rig(200, 2, [](int32_t, int32_t) { return 0; });
  const int32_t ranges[8] = {3, 0, -5, 1, 1000, 2, 0, 7};
  for (size_t L = 0; L < 8; ++L) rig.params[L].Jitter = ranges[L];
  Randomize();
  rig.Prepare();

  // The same draws, layer by layer and column by column, from the same
  // first reseed after the seed.
  SetFixedSeed(77);
  Randomize();
  for (size_t L = 0; L < 8; ++L)
    for (size_t x = 0; x < 200; ++x) ASSERT_EQ(rig.w.Jitters[L][x], Random(ranges[L])) << L << "," << x;

  for (size_t L = 0; L < 8; ++L) {
    std::set<int32_t> seen(rig.w.Jitters[L].begin(), rig.w.Jitters[L].end());
    const int32_t n = ranges[L];
    if (n <= 1) {
      EXPECT_EQ(seen, std::set<int32_t>{0}) << "layer " << L;
    } else {
      EXPECT_GE(*seen.begin(), 0);
      EXPECT_LE(*seen.rbegin(), n - 1);
    }
  }
  EXPECT_EQ((std::set<int32_t>(rig.w.Jitters[0].begin(), rig.w.Jitters[0].end())), (std::set<int32_t>{0, 1, 2}));
  SetFixedSeed(std::nullopt);
}

// --- Per-frame values ---

// One layer covering rows top..bottom of a 4-wide picture of the given height.
WaveRig Band(int32_t height, int32_t top, int32_t bottom) {
  return WaveRig(4, height, [=](int32_t, int32_t y) { return y >= top && y <= bottom ? 0 : -1; });
}

TEST(WaveValues, PerspectiveOnAOneRowLayerUsesTheFullAmplitudeAndAFifthOfTheFrequency) {
  WaveRig rig = Band(10, 6, 6);
  rig.params[0].Perspective = true;
  rig.params[0].Amplitude = 7;
  rig.params[0].WaveCount = 20;
  rig.Prepare();
  WaveValues v;
  rig.w.BeginFrame(v);
  EXPECT_EQ(v.Amp[0], 0.0);
  for (int32_t r = 0; r <= 6; ++r) rig.w.RowValues(v, r);
  EXPECT_EQ(v.Amp[0], 7.0);
  EXPECT_DOUBLE_EQ(v.Freq[0], 20 * 0.2);
}

TEST(WaveValues, PerspectiveStepsGrowTheAmplitudeDownTheLayer) {
  // Amplitude 5 over rows 2..4 (span 2): 2.5, 5, 7.5 -> VOff 2 (half to even), 5, 8
  // with a zero wave count so that the argument is the phase alone (0).
  WaveRig rig = Band(8, 2, 4);
  rig.params[0].Perspective = true;
  rig.params[0].Amplitude = 5;
  rig.params[0].WaveCount = 0;
  rig.Prepare();
  WaveValues v;
  rig.w.BeginFrame(v);
  const int64_t expectedV[] = {2, 5, 8};
  const double expectedAmp[] = {2.5, 5.0, 7.5};
  for (int32_t r = 0; r < 8; ++r) {
    rig.w.RowValues(v, r);
    if (r < 2 || r > 4) continue;
    EXPECT_EQ(v.Amp[0], expectedAmp[r - 2]) << r;
    EXPECT_EQ(v.VOff[0], expectedV[r - 2]) << r;
    EXPECT_EQ(v.HOff[0], expectedV[r - 2]) << r;
  }
}

// With WaveCount 0 the argument A is the phase, so VOff and HOff are the
// cosines of known angles: VOff of A mod Period, HOff of A mod 360.
TEST(WaveValues, PeriodWrapsTheVerticalArgumentAndNegativePhasesGiveTheSameCosine) {
  struct Case { int32_t phase, period, amplitude; int64_t voff, hoff; };
  const Case cases[] = {
      {100, 90, 10, 10, -2},      // 100 mod 90 = 10: 9.85; cos 100 = -0.17
      {-100, 90, 10, 10, -2},     // remainders -10 and -100: same cosines
      {450, 360, 10, 0, 0},       // 90 degrees
      {-420, 360, 10, 5, 5},      // -60 degrees
      {200, 360, 10, -9, -9},     // cos 200 = -0.94
      {200, 1, 10, 10, -9},       // Period 1: the vertical argument is always 0
      {725, 720, 10, 10, 10},     // Period above 360 (hostile): 5 degrees both ways
  };
  for (const Case& c : cases) {
    WaveRig rig = Band(4, 0, 3);
    rig.params[0].Amplitude = c.amplitude;
    rig.params[0].WaveCount = 0;
    rig.params[0].Period = c.period;
    rig.Prepare();
    rig.w.Phases[0] = c.phase;
    WaveValues v;
    rig.w.BeginFrame(v);
    rig.w.RowValues(v, 1);
    EXPECT_EQ(v.VOff[0], c.voff) << c.phase << " / " << c.period;
    EXPECT_EQ(v.HOff[0], c.hoff) << c.phase << " / " << c.period;
  }
}

TEST(WaveValues, TheArgumentIsSixtyFourBits) {
  // (10 - 0) x 1e6 x 360 / 10 + 2e9 = 2 360 000 000, past the 32-bit range:
  // 200 degrees (cos -0.94), where a 32-bit argument would give -56 degrees.
  WaveRig rig = Band(10, 0, 9);
  rig.params[0].Amplitude = 10;
  rig.params[0].WaveCount = 1000000;
  rig.Prepare();
  rig.w.Phases[0] = 2000000000;
  WaveValues v;
  rig.w.BeginFrame(v);
  rig.w.RowValues(v, 0);
  EXPECT_EQ(v.VOff[0], -9);
  EXPECT_EQ(v.HOff[0], -9);
}

TEST(WaveValues, RowsOutsideALayerKeepItsValues) {
  WaveRig rig = Band(10, 3, 5);
  rig.params[0].Perspective = true;
  rig.params[0].Amplitude = 4;
  rig.Prepare();
  WaveValues v;
  rig.w.BeginFrame(v);
  for (int32_t r = 0; r <= 5; ++r) rig.w.RowValues(v, r);
  const WaveValues atBottom = v;
  for (int32_t r = 6; r < 10; ++r) rig.w.RowValues(v, r);
  EXPECT_EQ(v.Amp, atBottom.Amp);
  EXPECT_EQ(v.VOff, atBottom.VOff);
}

TEST(WaveValues, AStillLayerComputesNothing) {
  WaveRig rig = Band(6, 0, 5);
  rig.params[0].Period = 0;
  rig.params[0].Amplitude = 9;
  rig.params[1].Period = -40;
  rig.Prepare();
  WaveValues v;
  rig.w.BeginFrame(v);
  for (int32_t r = 0; r < 6; ++r) rig.w.RowValues(v, r);
  EXPECT_EQ(v.VOff[0], 0);
  EXPECT_EQ(v.Freq[0], 0.0);
}

// --- Phase advance ---

TEST(AdvancePhases, StepsByElapsedTimeAndSpeed) {
  struct Case { int32_t speed; uint32_t elapsed; int32_t percent; bool timeBased; int32_t direction; int32_t phase; };
  const Case cases[] = {
      {15, 50, 100, true, 1, 15},        // the nominal frame: Speed degrees
      {15, 50, 100, true, 0, -15},       // directions 0, 4, 5 run backwards
      {15, 50, 100, true, 4, -15},
      {15, 50, 100, true, 5, -15},
      {15, 50, 100, true, 2, 15},
      {15, 50, 100, true, 3, 15},
      {15, 25, 100, true, 1, 8},         // 7.5 -> 8
      {25, 10, 50, true, 1, 2},          // 2.5 -> 2
      {15, 10, 50, true, 1, 2},          // 1.5 -> 2
      {5, 10, 50, true, 1, 0},           // 0.5 -> 0
      {15, 1000000, 100, true, 1, 300000},  // a long pause is not clamped
      {1000, 3000000, 100, true, 1, -25899346},  // Speed x E wraps as 32 bits
      {15, 10, 50, false, 1, 8},         // frame-based: 7.5 -> 8 whatever the time
      {15, 0, 200, true, 1, 0},
      {7, 0, 100, false, 0, -7},
      {15, 50, 0, true, 1, 0},
  };
  for (const Case& c : cases) {
    WaveRig rig = Band(2, 0, 1);
    rig.params[3].Speed = c.speed;
    rig.params[3].Direction = c.direction;
    rig.Prepare();
    rig.w.AdvancePhases(c.elapsed, c.percent, c.timeBased);
    EXPECT_EQ(rig.w.Phases[3], c.phase) << c.speed << " " << c.elapsed << " " << c.percent << " d" << c.direction;
  }
}

TEST(AdvancePhases, PhasesWrapAsThirtyTwoBitsAndStillLayersAdvanceToo) {
  WaveRig rig = Band(2, 0, 1);
  rig.params[0].Speed = 15;
  rig.params[0].Direction = 1;
  rig.params[1].Speed = 15;
  rig.params[1].Period = 0;
  rig.params[1].Direction = 1;
  rig.Prepare();
  rig.w.Phases[0] = INT32_MAX;
  rig.w.AdvancePhases(50, 100, true);
  EXPECT_EQ(rig.w.Phases[0], INT32_MIN + 14);
  EXPECT_EQ(rig.w.Phases[1], 15);
}

}  // namespace
}  // namespace lumevra
