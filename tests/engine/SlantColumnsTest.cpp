// The slanted layers' column loops in every build this processor runs,
// against the column-by-column formula and through whole frames against
// the reference pass.
#include <gtest/gtest.h>

#include <random>

#include "engine/SlantColumns.h"
#include "WavesTestSupport.h"

namespace lumevra {
namespace {

using test::WaveRig;

// Restores the build chosen at start when a test is through.
struct EachSlantBuild : ::testing::Test {
  const std::string chosen = SlantBuildInUse();
  ~EachSlantBuild() override { UseSlantBuild(chosen); }
};

// The source row of one column as the reference pass computes it.
int32_t ReferenceRow(const SlantRow& s, int32_t x) {
  const int64_t col = s.FromRight ? int64_t{s.Width} - 1 - x : x;
  const double arg = col * s.Freq / 2 * (s.Height - s.Row / 2.0) / s.Height + s.Phase;
  const int64_t voff = RoundWave(CosLookup(RoundWave(arg) % s.Period) * s.Amp);
  return int32_t(std::clamp<int64_t>(s.Row + std::clamp<int64_t>(voff, -(int64_t{1} << 40), int64_t{1} << 40), 0,
                                     s.Height - 1));
}

TEST_F(EachSlantBuild, DegreesAndRowsGiveEachColumnsReferenceRow) {
  // Halves of a degree on the way (Freq 1, Height 2: arg = col / 4 + phase at row 0), periods
  // below, at and above 360, negative frequencies and phases, arguments near 2^52.
  struct Case {
    double freq, amp;
    int32_t row, height, width, phase, period;
  };
  const Case cases[] = {
      {1, 5, 0, 2, 600, 0, 360},           {1, 5, 1, 2, 600, -7, 360},
      {17, 6, 100, 1600, 2560, 1234, 360},  {-23.5, 11, 900, 1600, 2560, -2000000000, 360},
      {3.25, 40, 10, 50, 777, 5, 7},        {8, 9, 3, 40, 300, 99, 1},
      {13, 7, 20, 40, 513, 2147483647, 1000}, {0.001, 100, 0, 10, 1000, -1, 2147483647},
      {4.5e15, 3, 2, 9, 300, 0, 360},       {1.0e12, 8, 5, 9, 700, 17, 359},
      {2.0e15, 2, 0, 3, 400, 0, 720},
  };
  for (const std::string& build : SlantBuilds()) {
    ASSERT_TRUE(UseSlantBuild(build));
    for (const Case& c : cases)
      for (const bool fromRight : {false, true}) {
        SlantRow s;
        s.Freq = c.freq;
        s.Amp = c.amp;
        s.Row = c.row;
        s.Height = c.height;
        s.Width = c.width;
        s.Phase = c.phase;
        s.Period = c.period;
        s.FromRight = fromRight;
        int32_t rowOf[360];
        ASSERT_TRUE(SlantRowOfDegree(s, rowOf));
        int32_t degrees[kSlantRun];
        for (int32_t x0 = 0; x0 < s.Width; x0 += kSlantRun) {
          const int32_t n = std::min(kSlantRun, s.Width - x0);
          if (!SlantDegrees(s, x0, n, degrees)) {
            // Refused only where some argument really is that large.
            EXPECT_GE(std::fabs(s.Freq) * s.Width, 1.0e15) << build;
            continue;
          }
          for (int32_t i = 0; i < n; ++i) {
            ASSERT_TRUE(degrees[i] >= 0 && degrees[i] < 360) << build;
            ASSERT_EQ(rowOf[degrees[i]], ReferenceRow(s, x0 + i))
                << build << " freq " << c.freq << " phase " << c.phase << " period " << c.period << " column "
                << x0 + i << (fromRight ? " from the right" : "");
          }
        }
      }
  }
}

// Wide pictures (several runs per span) with the slanted directions, sway,
// perspective and ragged shores: every build makes the reference frames.
TEST_F(EachSlantBuild, EveryBuildMakesTheReferenceFrames) {
  std::mt19937 gen(20261211);
  auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(gen); };
  for (const std::string& build : SlantBuilds()) {
    ASSERT_TRUE(UseSlantBuild(build));
    for (int round = 0; round < 6; ++round) {
      const int32_t W = pick(250, 700), H = pick(20, 60);
      WaveRig rig(W, H, [&](int32_t x, int32_t y) { return (x / 97 + y / 13) % 7 == 6 ? -1 : (y * 6 / H + x / 200) % 6; });
      for (size_t i = 0; i < rig.params.size(); ++i) {
        auto& p = rig.params[i];
        p.Amplitude = pick(0, 4) == 0 ? pick(-300, 300) : pick(1, 12);
        p.WaveCount = pick(-80, 120);
        p.Speed = pick(-40, 40);
        p.Direction = pick(2, 5);
        p.HorzSway = pick(0, 1);
        p.Perspective = pick(0, 1);
        p.Period = pick(0, 3) == 0 ? pick(1, 2000) : 360;
        p.Reflection = i == 3;
      }
      rig.Prepare();
      ASSERT_TRUE(test::FramesMatchReference(rig, 3, [&](int) {
        rig.w.AdvancePhases(uint32_t(pick(0, 200)), pick(10, 500), true);
      })) << build << " round " << round;
    }
  }
}

TEST(SlantBuilds, ThePlainBuildIsAlwaysThereAndUnknownNamesAreRefused) {
  const auto builds = SlantBuilds();
  ASSERT_FALSE(builds.empty());
  EXPECT_EQ(builds.front(), "plain");
  EXPECT_EQ(SlantBuildInUse(), builds.back());
  EXPECT_FALSE(UseSlantBuild("sse9"));
  EXPECT_EQ(SlantBuildInUse(), builds.back());
}

}  // namespace
}  // namespace lumevra
