// The per-frame water pass: row sampling per direction, the same-layer rule,
// whole frames against the independent model, the span path against the
// column-by-column reference, still layers and hostile layer values.
#include <gtest/gtest.h>

#include <random>

#include "WavesTestSupport.h"

namespace lumevra {
namespace {

using test::ColOf;
using test::ModelFrame;
using test::PixelAt;
using test::RowOf;
using test::WaveRig;

// One layer over a 226 x 20 picture, Amplitude 4, WaveCount 2, phase 0.
// Row 8: A = 12 x 2 x 360 / 20 = 432, so the row's VOff and HOff are
// Round(4 cos 72) = 1. The slanted directions use column x x 0.8 degrees
// (x x 2 / 2 x (20 - 4) / 20): columns 0, 75, 150, 225 give 0, 60, 120,
// 180 degrees, VOff 4, 2, -2, -4; directions 2 and 5 count from the right.
TEST(SampleRow, EachDirectionSamplesTheRowTheFormulasGive) {
  struct Case {
    int32_t direction;
    bool vertWave, horzSway;
    int32_t jitter;  // of column x only
    int32_t x;
    int32_t targetRow, sourceCol, sourceRow;
  };
  const Case cases[] = {
      {0, true, false, 0, 0, 8, 0, 9},     {1, true, false, 0, 100, 8, 100, 9},
      {3, true, false, 0, 0, 8, 0, 12},    {3, true, false, 0, 75, 8, 75, 10},
      {3, true, false, 0, 150, 8, 150, 6}, {3, true, false, 0, 225, 8, 225, 4},
      {4, true, false, 0, 75, 8, 75, 10},  {4, true, false, 0, 225, 8, 225, 4},
      {2, true, false, 0, 225, 8, 225, 12}, {2, true, false, 0, 150, 8, 150, 10},
      {2, true, false, 0, 75, 8, 75, 6},   {2, true, false, 0, 0, 8, 0, 4},
      {5, true, false, 0, 150, 8, 150, 10}, {5, true, false, 0, 0, 8, 0, 4},
      // Jitter 2 in column 10: directions 0 and 1 move source and target up by 2.
      {0, true, false, 2, 10, 6, 10, 7},   {1, true, false, 2, 10, 6, 10, 7},
      // ... the slanted ones ignore it (column 10: 8 degrees, VOff 4).
      {3, true, false, 2, 10, 8, 10, 12},
      // Without VertWave the source is the row minus the jitter.
      {0, false, false, 2, 10, 6, 10, 6},  {3, false, false, 2, 10, 8, 10, 6},
      {1, false, false, 0, 10, 8, 10, 8},
      // HorzSway shifts the source column by HOff (1).
      {0, true, true, 0, 10, 8, 9, 9},     {1, true, true, 0, 0, 8, 0, 9},  // clamped at column 0
  };
  for (const Case& c : cases) {
    WaveRig rig(226, 20, [](int32_t, int32_t) { return 0; });
    auto& p = rig.params[0];
    p.Amplitude = 4;
    p.WaveCount = 2;
    p.Direction = c.direction;
    p.VertWave = c.vertWave;
    p.HorzSway = c.horzSway;
    rig.Prepare();
    rig.w.Jitters[0][size_t(c.x)] = c.jitter;
    rig.wave.Clear(0);
    WaveValues v;
    rig.w.BeginFrame(v);
    for (int32_t r = 0; r <= 8; ++r) rig.w.RowValues(v, r);
    ASSERT_EQ(v.VOff[0], 1);
    rig.w.SampleRow(v, 8, rig.wave);
    const Color32 got = rig.wave.GetPixel(c.x, c.targetRow);
    EXPECT_EQ(got, PixelAt(c.sourceCol, c.sourceRow))
        << "direction " << c.direction << " x " << c.x << ": got (" << ColOf(got) << "," << RowOf(got) << ")";
  }
}

// Layer 0 on rows 0..4, layer 1 on rows 5..9; layer 0 pushes its source
// 3 rows down, layer 1 likewise (clamped at the bottom).
TEST(SampleRow, PixelsMoveOnlyWithinTheirOwnLayer) {
  WaveRig rig(3, 10, [](int32_t, int32_t y) { return y < 5 ? 0 : 1; });
  for (size_t L = 0; L < 2; ++L) {
    rig.params[L].Amplitude = 3;
    rig.params[L].Direction = 1;
  }
  rig.Prepare();
  rig.wave.Clear(0);
  rig.w.FrameReference(rig.wave);
  const int32_t expectedSource[10] = {3, 4, -1, -1, -1, 8, 9, 9, 9, 9};  // -1: left unchanged
  for (int32_t r = 0; r < 10; ++r)
    EXPECT_EQ(rig.wave.GetPixel(1, r), expectedSource[r] < 0 ? 0u : PixelAt(1, expectedSource[r])) << "row " << r;
}

// Scenes with every layer feature; the engine's frame must equal the model's.
struct Scene {
  const char* name;
  void (*setup)(WaveLayerParams&);
};

int StripeLayer(int32_t x, int32_t y) {
  // Diagonal bands of all six layers with gaps, plus a block of layer 2.
  if (x > 30 && x < 45 && y > 10 && y < 30) return 2;
  const int band = ((x / 7) + (y / 5)) % 8;
  return band < 6 ? band : -1;
}

const Scene kScenes[] = {
    {"plain", [](WaveLayerParams& p) {
       for (size_t i = 0; i < 8; ++i) {
         p[i].Amplitude = 2 + int32_t(i);
         p[i].WaveCount = 5 + 3 * int32_t(i);
         p[i].Speed = 10 + int32_t(i);
         p[i].Direction = int32_t(i % 6);
       }
     }},
    {"perspective sway jitter", [](WaveLayerParams& p) {
       for (size_t i = 0; i < 8; ++i) {
         p[i].Amplitude = 6;
         p[i].WaveCount = 17;
         p[i].Speed = 15;
         p[i].Direction = int32_t((i + 3) % 6);
         p[i].Perspective = true;
         p[i].HorzSway = i % 2 == 0;
         p[i].Jitter = int32_t(i);
       }
     }},
    {"short periods, reflection", [](WaveLayerParams& p) {
       for (size_t i = 0; i < 8; ++i) {
         p[i].Amplitude = 5;
         p[i].WaveCount = 9;
         p[i].Speed = -20;
         p[i].Direction = int32_t(5 - i % 6);
         p[i].Period = 45 + 40 * int32_t(i);
         p[i].Reflection = i == 2;
         p[i].VertWave = i != 4;
         p[i].HorzSway = true;
       }
     }},
};

TEST(WaveFrame, MatchesTheModelFrameByFrame) {
  for (const Scene& scene : kScenes) {
    WaveRig rig(61, 43, StripeLayer);
    scene.setup(rig.params);
    rig.Prepare();
    for (size_t L = 0; L < 8; ++L)
      for (size_t x = 0; x < 61; ++x) rig.w.Jitters[L][x] = rig.params[L].Jitter > 0 ? int32_t((x * 7 + L) % size_t(rig.params[L].Jitter)) : 0;
    std::vector<Color32> expected = rig.Pixels(rig.wave);
    const uint32_t elapsed[] = {0, 50, 33, 1200, 16, 50};
    for (uint32_t e : elapsed) {
      expected = ModelFrame(rig, expected, rig.w.Phases);
      rig.w.Frame(rig.wave);
      ASSERT_EQ(rig.Pixels(rig.wave), expected) << scene.name << " at phase " << rig.w.Phases[0];
      rig.w.AdvancePhases(e, 140, true);
    }
  }
}

// Random masks and layer values, hostile ones included: the span path and
// the column-by-column reference write the same frames.
TEST(WaveFrame, SpanPathMatchesTheReferenceOnRandomMasks) {
  std::mt19937 gen(20240611);
  auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(gen); };
  for (int round = 0; round < 40; ++round) {
    const int32_t W = pick(1, 70), H = pick(1, 50);
    const int blob = pick(1, 9);
    std::vector<int> cells(size_t(W) * H);
    for (auto& c : cells) c = pick(-3, 5);
    WaveRig rig(W, H, [&](int32_t x, int32_t y) { return cells[size_t((y / blob) * blob) * W + size_t((x / blob) * blob)]; });
    for (auto& p : rig.params) {
      p.Amplitude = pick(0, 3) == 0 ? pick(-100, 100) : pick(0, 12);
      p.WaveCount = pick(-30, 60);
      p.Speed = pick(-40, 40);
      p.Direction = pick(0, 9) == 0 ? pick(-3, 9) : pick(0, 5);
      p.HorzSway = pick(0, 1);
      p.VertWave = pick(0, 3) != 0;
      p.Perspective = pick(0, 1);
      p.Period = pick(0, 6) == 0 ? pick(-5, 0) : pick(1, 400);
      p.Jitter = pick(0, 2) == 0 ? pick(-3, 8) : 0;
      p.Reflection = pick(0, 4) == 0;
    }
    rig.Prepare();
    ASSERT_TRUE(test::FramesMatchReference(rig, 4, [&](int) {
      rig.w.AdvancePhases(uint32_t(pick(0, 200)), pick(10, 500), true);
    })) << "round " << round;
  }
}

TEST(WaveFrame, HostileLayerValuesStayInsideThePicture) {
  const int32_t extremes[] = {INT32_MIN, -1000000, -1, 0, 1, 1000000, INT32_MAX};
  for (int32_t a : extremes)
    for (int32_t b : extremes) {
      WaveRig rig(23, 17, StripeLayer);
      for (size_t i = 0; i < 8; ++i) {
        auto& p = rig.params[i];
        p.Amplitude = a;
        p.WaveCount = b;
        p.Period = i % 2 ? a : b;
        p.Jitter = i % 3 ? b : a;
        p.Speed = a;
        p.Direction = i < 6 ? int32_t(i) : b;
        p.HorzSway = true;
        p.Perspective = i % 2 == 0;
        p.Reflection = i == 1;
      }
      rig.Prepare();
      ASSERT_TRUE(test::FramesMatchReference(rig, 3, [&](int frame) { rig.w.AdvancePhases(uint32_t(b), a, frame != 1); }))
          << a << " " << b;
    }
}

TEST(WaveFrame, ALayerWithoutPeriodStaysStillWhileTheOthersMove) {
  // Layer 0 (Period 0, reflecting) over the lower half, layer 1 moving in the upper half.
  WaveRig rig(20, 30, [](int32_t x, int32_t y) { return y >= 15 ? 0 : (x > 2 ? 1 : -1); });
  rig.params[0] = WaveParams{};
  rig.params[0].Amplitude = 20;
  rig.params[0].Period = 0;
  rig.params[0].Jitter = 5;
  rig.params[0].Reflection = true;
  rig.params[1].Amplitude = 3;
  rig.params[1].WaveCount = 17;
  rig.params[1].Speed = 15;
  rig.Prepare();
  bool layerOneMoved = false;
  for (int frame = 0; frame < 6; ++frame) {
    rig.w.Frame(rig.wave);
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 20; ++x) {
        if (y >= 15) {
          const int32_t mirrored = 2 * 15 - y - 1;  // the still layer shows its reflection
          ASSERT_EQ(rig.wave.GetPixel(x, y), PixelAt(x, mirrored >= 0 ? mirrored : y)) << x << "," << y;
        } else if (rig.wave.GetPixel(x, y) != PixelAt(x, y)) {
          layerOneMoved = true;
        }
      }
    rig.w.AdvancePhases(50, 100, true);
  }
  EXPECT_TRUE(layerOneMoved);
}

TEST(WaveFrame, NoDisplacementShowsThePictureStill) {
  struct Case { const char* name; int32_t amplitude; bool vertWave; };
  const Case cases[] = {{"amplitude 0", 0, true}, {"no vertical wave, no jitter", 9, false}};
  for (const Case& c : cases) {
    WaveRig rig(16, 12, StripeLayer);
    for (auto& p : rig.params) {
      p.Amplitude = c.amplitude;
      p.WaveCount = 11;
      p.Speed = 30;
      p.VertWave = c.vertWave;
    }
    rig.Prepare();
    rig.wave.Clear(0);
    const std::vector<Color32> before = rig.Pixels(rig.wave);
    rig.w.Frame(rig.wave);
    for (int32_t y = 0; y < 12; ++y)
      for (int32_t x = 0; x < 16; ++x)
        EXPECT_EQ(rig.wave.GetPixel(x, y), StripeLayer(x, y) >= 0 ? PixelAt(x, y) : 0u) << c.name << " " << x << "," << y;
  }
}

TEST(WaveFrame, AMaskWithoutLayerColoursLeavesTheSurfaceAlone) {
  WaveRig rig(10, 8, [](int32_t, int32_t) { return -1; });
  for (auto& p : rig.params) {
    p.Amplitude = 5;
    p.Speed = 15;
  }
  rig.Prepare();
  for (int frame = 0; frame < 3; ++frame) {
    rig.w.Frame(rig.wave);
    rig.w.AdvancePhases(50, 100, true);
  }
  EXPECT_EQ(rig.Pixels(rig.wave), rig.Pixels(rig.background));
  EXPECT_EQ(rig.w.Phases[0], -45);  // direction 0: phases still advance
}

}  // namespace
}  // namespace lumevra
