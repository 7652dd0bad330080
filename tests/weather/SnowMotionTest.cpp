// Snow: amount, scattering and movement of the flakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <vector>

#include "package/ProjectRecords.h"
#include "weather/Snow.h"
#include "weather/WeatherFixtures.h"

namespace lumevra {
namespace {

using testing_weather::Fill;
using testing_weather::SeededTest;

class SnowTest : public SeededTest {
protected:
  void SetUp() override {
    Fill(surface, 200, 150);
    snow.Surface = &surface;
  }
  // One flake, alone, at a known place.
  SnowFlake& Single(double x, double y, int32_t size, double drift) {
    snow.Flakes.assign(1, SnowFlake{x, y, size, drift});
    return snow.Flakes[0];
  }
  Bitmap32 surface;
  Snow snow;
};

TEST_F(SnowTest, CreationValues) {
  Snow fresh;
  EXPECT_TRUE(fresh.TimeBased);
  EXPECT_EQ(fresh.SpeedIndex, 2);
  EXPECT_EQ(fresh.MaxSize, 8);
  EXPECT_EQ(fresh.Amount, 0);
  EXPECT_TRUE(fresh.Flakes.empty());
  EXPECT_EQ(fresh.Surface, nullptr);
}

TEST_F(SnowTest, SetAmountCapsAtOneThousandAndNegativeMeansNone) {
  struct Case { int32_t asked, kept; };
  for (const Case c : {Case{5000, 1000}, {1001, 1000}, {1000, 1000}, {999, 999}, {1, 1}, {0, 0},
                       {-5, 0}, {INT32_MIN, 0}, {INT32_MAX, 1000}}) {
    snow.SetAmount(c.asked);
    EXPECT_EQ(snow.Amount, c.kept) << c.asked;
    snow.Populate();
    EXPECT_EQ(snow.Flakes.size(), static_cast<size_t>(c.kept)) << c.asked;
  }
  // A count written straight into the field is bounded the same way.
  snow.Amount = 7000;
  snow.Populate();
  EXPECT_EQ(snow.Flakes.size(), 1000u);
  snow.Amount = -1;
  snow.Populate();
  EXPECT_TRUE(snow.Flakes.empty());
}

TEST_F(SnowTest, PopulateDrawsPositionDriftUnusedFallAndSizeInThatOrder) {
  snow.SetAmount(300);
  SetFixedSeed(42);
  snow.Populate();
  SetFixedSeed(42);
  std::set<int32_t> sizes;
  std::set<double> drifts;
  for (const SnowFlake& f : snow.Flakes) {
    const double x = Random(200);
    const double y = Random(150);
    const double drift = 1 - Random(3);
    Random(4);
    const int32_t size = 8 - Random(3);
    ASSERT_EQ(f.X, x);
    ASSERT_EQ(f.Y, y);
    ASSERT_EQ(f.Drift, drift);
    ASSERT_EQ(f.Size, size);
    EXPECT_GE(f.X, 0);
    EXPECT_LT(f.X, 200);
    EXPECT_GE(f.Y, 0);
    EXPECT_LT(f.Y, 150);
    sizes.insert(f.Size);
    drifts.insert(f.Drift);
  }
  EXPECT_EQ(sizes, (std::set<int32_t>{6, 7, 8}));
  EXPECT_EQ(drifts, (std::set<double>{-1, 0, 1}));
}

TEST_F(SnowTest, PopulateWithoutASurfaceStillCreatesTheFlakes) {
  Snow bare;
  bare.SetAmount(10);
  bare.Populate();
  ASSERT_EQ(bare.Flakes.size(), 10u);
  for (const SnowFlake& f : bare.Flakes) {
    EXPECT_EQ(f.X, 0);
    EXPECT_EQ(f.Y, 0);
  }
  bare.Elapsed = 50;
  bare.Advance();  // nothing to draw on: nothing happens
  EXPECT_EQ(bare.Flakes[0].Y, 0);
  Bitmap32 empty;
  bare.Surface = &empty;
  bare.Advance();
  bare.DrawFlake(0, 0, 8);
  bare.DrawDisc(0, 0, 3, 255);
  EXPECT_EQ(bare.Flakes[0].Y, 0);
}

// Fall and drift per frame: size x step and drift x step, with
// step = elapsed / 70 x SpeedSteps[index] / 100 x percent / 100.
TEST_F(SnowTest, MovementScalesWithElapsedSpeedStepAndPercent) {
  Fill(surface, 1200, 1200);
  struct Case { int32_t elapsed, index, percent, size; double drift; int32_t usedMs, stepPercent; };
  const std::vector<Case> cases = {
      {70, 10, 100, 1, 1, 70, 100},      // one pixel per 70 ms at size 1
      {70, 10, 100, 8, -1, 70, 100},     // bigger flakes fall faster
      {35, 10, 100, 6, 1, 35, 100},
      {50, 0, 100, 7, 1, 50, 10},
      {50, 20, 100, 7, -1, 50, 500},
      {50, 2, 100, 8, 1, 50, 30},        // the creation index
      {50, 10, 250, 8, 1, 50, 100},      // project speed
      {50, 10, 0, 8, 1, 50, 100},        // speed 0 stands still
      {1000, 10, 100, 8, 1, 1000, 100},  // still a normal frame
      {1001, 10, 100, 8, 1, 10, 100},    // a long pause counts as 10 ms
      {1500, 10, 100, 8, 1, 10, 100},
      {INT32_MAX, 20, 100, 8, 1, 10, 500},
      {-40, 10, 100, 8, 1, 10, 100},     // a wrapped tick difference is a long pause too
      {0, 10, 100, 8, 1, 0, 100},
      {50, 25, 100, 8, 1, 50, 500},      // index past the table: the last step
      {50, -3, 100, 8, 1, 50, 10},       // below it: the first step
  };
  for (const Case& c : cases) {
    SnowFlake& f = Single(500, 100, c.size, c.drift);
    snow.MaxSize = 8;
    snow.Elapsed = c.elapsed;
    snow.SpeedIndex = c.index;
    snow.SpeedPercent = c.percent;
    snow.Advance();
    const double step = c.usedMs / 70.0 * c.stepPercent / 100.0 * c.percent / 100.0;
    EXPECT_DOUBLE_EQ(f.Y, 100 + c.size * step) << c.elapsed << " " << c.index << " " << c.percent;
    EXPECT_DOUBLE_EQ(f.X, 500 + c.drift * step) << c.elapsed << " " << c.index << " " << c.percent;
    EXPECT_EQ(snow.Elapsed, c.usedMs);
  }
}

TEST_F(SnowTest, NegativeProjectSpeedStandsStillInsteadOfRisingForever) {
  SnowFlake& f = Single(50, 60, 8, 1);
  snow.Elapsed = 50;
  snow.SpeedIndex = 10;
  snow.SpeedPercent = -100;
  snow.Advance();
  EXPECT_EQ(f.Y, 60);
  EXPECT_EQ(f.X, 50);
}

TEST_F(SnowTest, SizesSettleWithinTheThreeLargestAndFlickerAmongThem) {
  snow.SetAmount(1000);
  SetFixedSeed(5);
  snow.Populate();  // sizes 6..8
  snow.MaxSize = 4;
  snow.Elapsed = 0;
  snow.Advance();
  for (const SnowFlake& f : snow.Flakes) ASSERT_EQ(f.Size, 4);
  std::set<int32_t> seen;
  for (int frame = 0; frame < 40; ++frame) {
    snow.Advance();
    for (const SnowFlake& f : snow.Flakes) {
      ASSERT_GE(f.Size, 2);
      ASSERT_LE(f.Size, 4);
      seen.insert(f.Size);
    }
  }
  EXPECT_EQ(seen, (std::set<int32_t>{2, 3, 4}));

  snow.MaxSize = 1;  // no lower bound: sizes -1, 0 and 1
  seen.clear();
  for (int frame = 0; frame < 60; ++frame) {
    snow.Advance();
    for (const SnowFlake& f : snow.Flakes) seen.insert(f.Size);
  }
  EXPECT_EQ(seen, (std::set<int32_t>{-1, 0, 1}));
}

TEST_F(SnowTest, MaxSizeAboveEightActsAsEight) {
  snow.SetAmount(50);
  snow.MaxSize = 40;
  snow.Populate();
  for (const SnowFlake& f : snow.Flakes) {
    EXPECT_GE(f.Size, 6);
    EXPECT_LE(f.Size, 8);
  }
  snow.Elapsed = 20;
  snow.Advance();
  for (const SnowFlake& f : snow.Flakes) EXPECT_LE(f.Size, 8);
}

TEST_F(SnowTest, ExtremeMaxSizeNeitherOverflowsNorHangs) {
  snow.SetAmount(20);
  snow.MaxSize = INT32_MIN;
  snow.Populate();
  snow.Elapsed = 50;
  snow.SpeedIndex = 20;
  snow.SpeedPercent = INT32_MAX;
  for (int frame = 0; frame < 5; ++frame) snow.Advance();
  for (const SnowFlake& f : snow.Flakes) EXPECT_LE(f.Size, INT32_MIN + 2);
}

// The draws of one flake's step when it wraps: flicker (Random(20), and
// Random(3) when that was 0), then the wrap's own draw.
int32_t ReplayFlickerThen(int32_t wrapRange) {
  if (Random(20) == 0) Random(3);
  return Random(wrapRange);
}

TEST_F(SnowTest, DriftPastTheLeftEdgeReappearsBeyondTheRightAndBackAgain) {
  snow.Elapsed = 70;
  snow.SpeedIndex = 10;  // step 1
  for (uint64_t seed = 1; seed <= 30; ++seed) {
    SnowFlake& f = Single(0.5, 40, 6, -1);
    SetFixedSeed(seed);
    snow.Advance();
    SetFixedSeed(seed);
    EXPECT_EQ(f.X, 200 + ReplayFlickerThen(50));
    EXPECT_GE(f.X, 200);
    EXPECT_LE(f.X, 249);
    EXPECT_EQ(f.Y, 46);

    SnowFlake& g = Single(199.5, 40, 6, 1);
    SetFixedSeed(seed);
    snow.Advance();
    SetFixedSeed(seed);
    EXPECT_EQ(g.X, -ReplayFlickerThen(50));
    EXPECT_GE(g.X, -49);
    EXPECT_LE(g.X, 0);
  }
  // Exactly on an edge is still inside.
  SnowFlake& edge = Single(201, 40, 6, -1);
  snow.Advance();
  EXPECT_EQ(edge.X, 200);
  SnowFlake& zero = Single(1, 40, 6, -1);
  snow.Advance();
  EXPECT_EQ(zero.X, 0);
}

// One step's draws, flake by flake in array order: the flicker, then the
// side wrap, then the top wrap. Odd flakes pass both edges at once (left
// and bottom), even ones stay inside and draw only their flicker.
TEST_F(SnowTest, OneStepDrawsFlickerThenSideWrapThenTopWrapFlakeByFlake) {
  snow.Elapsed = 70;
  snow.SpeedIndex = 10;  // step 1
  for (uint64_t seed = 1; seed <= 10; ++seed) {
    snow.Flakes.clear();
    for (int i = 0; i < 12; ++i)
      snow.Flakes.push_back(i % 2 ? SnowFlake{0.5, 143.5, 6, -1} : SnowFlake{100, 20, 7, 0});
    SetFixedSeed(seed);
    snow.Advance();
    SetFixedSeed(seed);
    for (size_t i = 0; i < snow.Flakes.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << " flake " << i);
      const SnowFlake& f = snow.Flakes[i];
      int32_t size = i % 2 ? 6 : 7;
      if (Random(20) == 0) size = std::clamp(size + Random(3) - 1, 6, 8);
      EXPECT_EQ(f.Size, size);
      if (i % 2) {
        EXPECT_EQ(f.X, 200 + Random(50));
        EXPECT_EQ(f.Y, -Random(100));
      } else {
        EXPECT_EQ(f.X, 100);
        EXPECT_EQ(f.Y, 20 + 7);
      }
    }
  }
}

TEST_F(SnowTest, FallBelowTheLastRowReappearsAboveInTheSameColumn) {
  snow.Elapsed = 70;
  snow.SpeedIndex = 10;
  for (uint64_t seed = 1; seed <= 30; ++seed) {
    SnowFlake& f = Single(77.25, 143.5, 6, 0);  // 143.5 + 6 = 149.5 > 149
    SetFixedSeed(seed);
    snow.Advance();
    SetFixedSeed(seed);
    EXPECT_EQ(f.Y, -ReplayFlickerThen(100));
    EXPECT_GE(f.Y, -99);
    EXPECT_LE(f.Y, 0);
    EXPECT_EQ(f.X, 77.25);
  }
  SnowFlake& last = Single(10, 143, 6, 0);  // lands exactly on row 149: stays
  snow.Advance();
  EXPECT_EQ(last.Y, 149);
}

TEST_F(SnowTest, AFlakeLeftOutsideAShrunkenSurfaceComesBack) {
  snow.SetAmount(100);
  snow.Populate();
  surface.SetSize(20, 10);
  snow.Elapsed = 10;
  snow.Advance();
  for (const SnowFlake& f : snow.Flakes) {
    EXPECT_GE(f.X, -49);
    EXPECT_LE(f.X, 20 + 49);
    EXPECT_LE(f.Y, 9);
  }
}

}  // namespace
}  // namespace lumevra
