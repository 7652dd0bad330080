// Rain: amount, scattering and movement of the drops.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

#include "weather/Rain.h"
#include "weather/WeatherFixtures.h"

namespace lumevra {
namespace {

using testing_weather::Fill;
using testing_weather::SeededTest;

class RainTest : public SeededTest {
protected:
  void SetUp() override {
    Fill(surface, 300, 200);
    rain.Surface = &surface;
    rain.SpeedIndex = 10;
    rain.Elapsed = 50;  // with index 10 and 100 %: a step of 1
  }
  RainDrop& Single(double x, double y, int32_t speedClass, int32_t lengthFactor = 1) {
    rain.Drops.assign(1, RainDrop{x, y, 0, speedClass, lengthFactor});
    return rain.Drops[0];
  }
  Bitmap32 surface;
  Rain rain;
};

TEST_F(RainTest, CreationValues) {
  Rain fresh;
  EXPECT_TRUE(fresh.TimeBased);
  EXPECT_EQ(fresh.SpeedIndex, 2);
  EXPECT_EQ(fresh.Amount, 0);
  EXPECT_EQ(fresh.Surface, nullptr);
  EXPECT_TRUE(fresh.Drops.empty());
  EXPECT_EQ(fresh.DropLength, 10);
  EXPECT_EQ(fresh.Opacity, 10);
  EXPECT_EQ(fresh.Angle, 90);
}

TEST_F(RainTest, SetAmountCapsAtOneThousandAndNegativeMeansNone) {
  struct Case { int32_t asked, kept; };
  for (const Case c : {Case{2000, 1000}, {1000, 1000}, {100, 100}, {0, 0}, {-1, 0}, {INT32_MIN, 0}}) {
    rain.SetAmount(c.asked);
    EXPECT_EQ(rain.Amount, c.kept) << c.asked;
    rain.Populate();
    EXPECT_EQ(rain.Drops.size(), static_cast<size_t>(c.kept)) << c.asked;
  }
  rain.Amount = INT32_MAX;
  rain.Populate();
  EXPECT_EQ(rain.Drops.size(), 1000u);
}

TEST_F(RainTest, PopulateDrawsPositionDriftUnusedSpeedAndLengthInThatOrder) {
  rain.SetAmount(400);
  SetFixedSeed(11);
  rain.Populate();
  SetFixedSeed(11);
  std::set<int32_t> classes, factors;
  for (const RainDrop& d : rain.Drops) {
    const double x = Random(300);
    const double y = Random(200);
    const double drift = 1 - Random(3);
    Random(4);
    const int32_t speedClass = Random(3) + 2;
    const int32_t lengthFactor = Random(4) + 1;
    ASSERT_EQ(d.X, x);
    ASSERT_EQ(d.Y, y);
    ASSERT_EQ(d.Drift, drift);
    ASSERT_EQ(d.SpeedClass, speedClass);
    ASSERT_EQ(d.LengthFactor, lengthFactor);
    EXPECT_GE(d.X, 0);
    EXPECT_LT(d.X, 300);
    EXPECT_GE(d.Y, 0);
    EXPECT_LT(d.Y, 200);
    classes.insert(d.SpeedClass);
    factors.insert(d.LengthFactor);
  }
  EXPECT_EQ(classes, (std::set<int32_t>{2, 3, 4}));
  EXPECT_EQ(factors, (std::set<int32_t>{1, 2, 3, 4}));
}

TEST_F(RainTest, TheThreeSpeedsFallStraightDownAtNinetyDegrees) {
  rain.Angle = 90;
  struct Case { int32_t speedClass; double fall; };
  for (const Case c : {Case{2, 6}, {3, 9}, {4, 12}}) {
    for (double x : {0.0, 1.0, 123.456, 299.75}) {
      RainDrop& d = Single(x, 20, c.speedClass);
      rain.Advance();
      EXPECT_EQ(d.Y, 20 + c.fall) << c.speedClass;
      EXPECT_EQ(d.X, x) << c.speedClass;  // not even by rounding dust
    }
  }
}

TEST_F(RainTest, SlantMovesSidewaysByTheCosineOfTheAngle) {
  // Angle = 180 - slant: 120 moves left by half the fall, 60 right by half.
  struct Case { int32_t angle; double perFall; };
  for (const Case c : {Case{120, -0.5}, {60, 0.5}, {180, -1}, {0, 1}, {135, -0.70710678118654757},
                       {45, 0.70710678118654757}, {270, 0}, {-90, 0}, {450, 0}, {-60, 0.5}}) {
    rain.Angle = c.angle;
    RainDrop& d = Single(150, 20, 4);
    rain.Advance();
    EXPECT_EQ(d.Y, 32);
    EXPECT_NEAR(d.X, 150 + 12 * c.perFall, 1e-9) << c.angle;
  }
}

// Fall = class x step x 3 with step = elapsed / 50 x SpeedSteps[index] / 100 x percent / 100.
TEST_F(RainTest, FallScalesWithElapsedSpeedStepAndPercent) {
  Fill(surface, 300, 3000);
  struct Case { int32_t elapsed, index, percent, usedMs, stepPercent; };
  const std::vector<Case> cases = {
      {50, 10, 100, 50, 100},  {25, 10, 100, 25, 100},  {50, 0, 100, 50, 10},
      {50, 20, 100, 50, 500},  {50, 2, 100, 50, 30},    {50, 10, 300, 50, 100},
      {1000, 10, 100, 1000, 100}, {1001, 10, 100, 10, 100}, {5000, 10, 100, 10, 100},
      {INT32_MAX, 10, 100, 10, 100}, {-1, 10, 100, 10, 100}, {0, 10, 100, 0, 100},
      {50, 21, 100, 50, 500},  {50, INT32_MIN, 100, 50, 10}, {50, 10, -100, 50, 0},
  };
  rain.Angle = 90;
  for (const Case& c : cases) {
    for (int32_t speedClass : {2, 3, 4}) {
      RainDrop& d = Single(100, 10, speedClass);
      rain.Elapsed = c.elapsed;
      rain.SpeedIndex = c.index;
      rain.SpeedPercent = c.percent;
      rain.Advance();
      const double step = c.usedMs / 50.0 * c.stepPercent / 100.0 * std::max(c.percent, 0) / 100.0;
      EXPECT_DOUBLE_EQ(d.Y, 10 + speedClass * step * 3) << c.elapsed << " " << c.index << " " << c.percent;
    }
  }
}

TEST_F(RainTest, SpeedClassIsKeptWithinTwoToFourAfterTheMove) {
  struct Case { int32_t given, kept; double fall; };
  for (const Case c : {Case{7, 4, 21}, {0, 2, 0}, {-3, 2, -9}, {1, 2, 3}, {5, 4, 15}}) {
    RainDrop& d = Single(50, 100, c.given);
    rain.Advance();
    EXPECT_EQ(d.SpeedClass, c.kept) << c.given;
    EXPECT_EQ(d.Y, 100 + c.fall) << c.given;
  }
}

TEST_F(RainTest, PassingTheSideMarginsWrapsToTheOtherSide) {
  for (uint64_t seed = 1; seed <= 25; ++seed) {
    rain.Angle = 180;  // straight left by the whole fall of 6
    RainDrop& left = Single(-15, 50, 2);
    SetFixedSeed(seed);
    rain.Advance();
    SetFixedSeed(seed);
    EXPECT_EQ(left.X, 300 + Random(100));
    EXPECT_GE(left.X, 300);
    EXPECT_LE(left.X, 399);
    EXPECT_EQ(left.Y, 56);

    rain.Angle = 0;
    RainDrop& right = Single(315, 50, 2);
    SetFixedSeed(seed);
    rain.Advance();
    SetFixedSeed(seed);
    EXPECT_EQ(right.X, -Random(100));
    EXPECT_GE(right.X, -99);
    EXPECT_LE(right.X, 0);
  }
  // The margins themselves are still inside.
  rain.Angle = 180;
  RainDrop& atLeft = Single(-14, 50, 2);
  rain.Advance();
  EXPECT_EQ(atLeft.X, -20);
  rain.Angle = 0;
  RainDrop& atRight = Single(314, 50, 2);
  rain.Advance();
  EXPECT_EQ(atRight.X, 320);
}

// One step's draws, drop by drop in array order: the side wrap before the
// top wrap. Drops moving straight left by 6 from (-15, 195) pass both the
// left margin and the bottom at once; every third one falls inside and
// draws nothing.
TEST_F(RainTest, OneStepDrawsSideWrapThenTopWrapDropByDrop) {
  rain.Angle = 180;
  for (uint64_t seed = 1; seed <= 10; ++seed) {
    rain.Drops.clear();
    for (int i = 0; i < 12; ++i)
      rain.Drops.push_back(i % 3 ? RainDrop{-15, 195, 0, 2, 1} : RainDrop{150, 50, 0, 2, 1});
    SetFixedSeed(seed);
    rain.Advance();
    SetFixedSeed(seed);
    for (size_t i = 0; i < rain.Drops.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << " drop " << i);
      const RainDrop& d = rain.Drops[i];
      if (i % 3) {
        EXPECT_EQ(d.X, 300 + Random(100));
        EXPECT_EQ(d.Y, -Random(100));
      } else {
        EXPECT_EQ(d.X, 144);
        EXPECT_EQ(d.Y, 56);
      }
    }
  }
}

TEST_F(RainTest, FallingBelowTheBottomReappearsAboveInTheSameColumn) {
  rain.Angle = 90;
  for (uint64_t seed = 1; seed <= 25; ++seed) {
    RainDrop& d = Single(42.5, 195, 2);  // 195 + 6 > 200
    SetFixedSeed(seed);
    rain.Advance();
    SetFixedSeed(seed);
    EXPECT_EQ(d.Y, -Random(100));
    EXPECT_GE(d.Y, -99);
    EXPECT_LE(d.Y, 0);
    EXPECT_EQ(d.X, 42.5);
  }
  RainDrop& atBottom = Single(42.5, 194, 2);  // lands on 200 exactly: stays
  rain.Advance();
  EXPECT_EQ(atBottom.Y, 200);
}

TEST_F(RainTest, NoSurfaceOrAnEmptyOneMovesAndDrawsNothing) {
  Rain bare;
  bare.SetAmount(5);
  bare.Populate();
  ASSERT_EQ(bare.Drops.size(), 5u);
  bare.Elapsed = 50;
  bare.Advance();
  EXPECT_EQ(bare.Drops[0].Y, 0);
  Bitmap32 empty;
  bare.Surface = &empty;
  bare.Advance();
  bare.DrawDrop(bare.Drops[0]);
  EXPECT_EQ(bare.Drops[0].Y, 0);
}

TEST_F(RainTest, HugeSpeedsStayBoundedByTheWraps) {
  rain.SetAmount(1000);
  rain.Populate();
  rain.SpeedIndex = 20;
  rain.SpeedPercent = INT32_MAX;
  rain.Elapsed = 1000;
  rain.Angle = 30;
  for (int frame = 0; frame < 3; ++frame) rain.Advance();
  for (const RainDrop& d : rain.Drops) {
    EXPECT_LE(d.Y, 200);
    EXPECT_GE(d.X, -99);
    EXPECT_LE(d.X, 399);
  }
}

}  // namespace
}  // namespace lumevra
