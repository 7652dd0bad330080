// Where an object is: the movement area, the start position types, the
// position reset, the bouncing and wandering generators, the motion kinds
// and the facing of the picture.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "base/Random.h"
#include "base/Rounding.h"
#include "objects/MotionTestSupport.h"

namespace lumevra {
namespace {

using test::ObjectTest;
using test::Replay;
using test::SkipPrepareDraws;

using MotionTest = ObjectTest;

// The picture is 100 x 80 (half sizes 50 and 40), the background 1024 x 768.
TEST_F(MotionTest, MoveAreaFollowsAreaTypeRestrictionAndDrawnSize) {
  struct Case {
    const char* keys;
    Rect area;
  };
  const std::vector<Case> cases = {
      {"", {50, 40, 974, 728}},
      {"RestrictArea=0", {-50, -40, 1074, 808}},
      // Right and bottom use the drawn half size, rounded half to even.
      {"WidthSize=33\nHeightSize=250", {50, 40, 1024 - 16, 768 - 100}},
      {"WidthSize=35\nHeightSize=5", {50, 40, 1024 - 18, 768 - 2}},
      {"RestrictArea=0\nWidthSize=200\nMotionAreaType=1\nMoveAreaRectleft=100\n"
       "MoveAreaRecttop=200\nMoveAreaRectright=600\nMoveAreaRectbottom=500",
       {50, 160, 700, 540}},
      {"MotionAreaType=3\nMoveAreaRectright=10\nMoveAreaRectbottom=10", {50, 40, -40, -30}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    auto o = Prepared(c.keys);
    EXPECT_EQ(o->MoveArea, c.area);
  }
}

TEST_F(MotionTest, FixedStartPositionTypes) {
  struct Case {
    int leftType, topType;
    int32_t x, y;
  };
  // Area (50, 40, 974, 728); keys PosLeft 321, PosTop 123.
  const std::vector<Case> cases = {
      {0, 0, 321, 123},
      {1, 1, 50, 40},
      {2, 2, 974, 728},
      {3, 3, 50 + 462, 40 + 344},
      {7, 6, 321, 123},  // unknown types keep the key values
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.leftType << "/" << c.topType);
    auto o = Prepared("PosLeft=321\nPosTop=123\nPosLeftType=" + std::to_string(c.leftType) +
                      "\nPosTopType=" + std::to_string(c.topType));
    EXPECT_EQ(o->PosLeft, c.x);
    EXPECT_EQ(o->PosTop, c.y);
    EXPECT_EQ(o->PosX, c.x);
    EXPECT_EQ(o->PosY, c.y);
    EXPECT_EQ(o->BounceX, c.x);
    EXPECT_EQ(o->WanderY, c.y);
  }
}

TEST_F(MotionTest, MiddleOfAnInvertedAreaHalvesTowardZero) {
  // Area left 50, right -1 - 50 = -51: 50 + Half(-101) = 50 - 50 = 0.
  auto o = Prepared("PosLeftType=3\nMotionAreaType=1\nMoveAreaRectright=-1");
  EXPECT_EQ(o->MoveArea.Right, -51);
  EXPECT_EQ(o->PosLeft, 0);
}

// Random inside (4) and random outside (5) replayed over many seeds: outside
// takes a draw r in the near half to lo - r and one in the far half to the
// mirror 2 x hi - r.
TEST_F(MotionTest, RandomStartPositionsInsideAndMirroredOutside) {
  const int32_t L = 100, R = 900, T = 0, B = 800;
  auto outside = [](int32_t r, int32_t lo, int32_t hi) {
    return r < lo + Half(hi - lo) ? lo - r : 2 * hi - r;
  };
  int nearHalf = 0, farHalf = 0;
  for (uint64_t seed = 1; seed <= 300; ++seed) {
    for (int swap = 0; swap < 2; ++swap) {
      auto o = Make("MotionAreaType=1\nMoveAreaRectleft=100\nMoveAreaRectright=900\n"
                    "MoveAreaRecttop=0\nMoveAreaRectbottom=800\nPosLeftType=" +
                    std::to_string(swap ? 5 : 4) + "\nPosTopType=" + std::to_string(swap ? 4 : 5));
      o->ImgWidth = o->ImgHeight = 0;  // the area is the rectangle itself
      const auto [rx, ry] = Replay(seed, [&] {
        SkipPrepareDraws();
        const int32_t x = RandomRange(L, R);
        return std::pair{x, RandomRange(T, B)};
      });
      o->Prepare();
      if (swap) {
        EXPECT_EQ(o->PosLeft, outside(rx, L, R));
        EXPECT_EQ(o->PosTop, ry);
        EXPECT_TRUE(o->PosLeft <= 0 || o->PosLeft > R);
      } else {
        EXPECT_EQ(o->PosLeft, rx);
        EXPECT_GE(rx, L);
        EXPECT_LT(rx, R);
        EXPECT_EQ(o->PosTop, outside(ry, T, B));
        // With the area from 0 to 800: a draw of 100 starts at -100, one of 700 at 900.
        EXPECT_TRUE(o->PosTop <= 0 || o->PosTop > B);
        (ry < 400 ? nearHalf : farHalf)++;
      }
    }
  }
  EXPECT_GT(nearHalf, 50);
  EXPECT_GT(farHalf, 50);
}

TEST_F(MotionTest, ResetPositionSetsDirectionScaleSpeedAndStart) {
  struct Case {
    int dir;
    int fixedX, fixedY;  // 0 = the random sign stands
  };
  const std::vector<Case> cases = {{0, 0, 0},  {1, -1, 0}, {2, 1, 0},  {3, 0, -1}, {4, 0, 1},
                                   {5, -1, -1}, {6, 1, -1}, {7, -1, 1}, {8, 1, 1},  {9, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dir);
    auto o = Make("Speed=55\nMotionSpeed=3\nInitialDir=" + std::to_string(c.dir));
    o->PosLeft = 301;
    o->PosTop = 41;
    o->WentOffScreen = true;
    const auto [sx, sy] = Replay(kSeed + c.dir, [] {
      const int32_t x = Sign();
      return std::pair{x, Sign()};
    });
    o->ResetPosition();
    EXPECT_EQ(o->DirX, c.fixedX ? c.fixedX : sx);
    EXPECT_EQ(o->DirY, c.fixedY ? c.fixedY : sy);
    EXPECT_EQ(o->WanderDirX, o->DirX);
    EXPECT_EQ(o->WrapDirX, o->DirX);
    EXPECT_EQ(o->WanderDirY, o->DirY);
    EXPECT_EQ(o->WrapDirY, o->DirY);
    EXPECT_FALSE(o->WentOffScreen);
    EXPECT_EQ(o->Speed, 30);  // MotionSpeed x 10; "Speed" has no effect
    EXPECT_EQ(o->ScaleX, 2.0);
    EXPECT_EQ(o->ScaleY, 2.0);
    EXPECT_EQ(o->PosX, 301);
    EXPECT_EQ(o->PosY, 41);
    EXPECT_EQ(o->BounceX, 301);
    EXPECT_EQ(o->WanderX, 301);
    EXPECT_EQ(o->BounceY, 41);
    EXPECT_EQ(o->WanderY, 41);
    // (301 - 50) x 2 and (41 - 40) x 2, the drawn edges.
    EXPECT_EQ(o->CachedLeft, 502);
    EXPECT_EQ(o->CachedTop, 2);
  }
}

TEST_F(MotionTest, ScaleOfABackgroundWithoutSizeIsOne) {
  auto o = Make("");
  o->ScreenRect = {0, 0, 1000, 600};
  o->BackWidth = 800;
  o->BackHeight = 0;
  o->ResetPosition();
  EXPECT_EQ(o->ScaleX, 1.25);
  EXPECT_EQ(o->ScaleY, 1.0);
  EXPECT_EQ(o->ScreenTop(), 100 - 40);
}

TEST_F(MotionTest, ScreenEdgesScaleTheCentreOrThePosition) {
  struct Case {
    bool scaled;
    double pos, scale;
    int32_t size;
    int32_t left;
  };
  const std::vector<Case> cases = {
      {true, 100, 2.0, 100, 100},   // (100 - 50) x 2
      {false, 100, 2.0, 100, 150},  // 100 x 2 - 50
      {true, 10.25, 2.0, 0, 20},    // 20.5: halves go to even
      {true, 11.25, 2.0, 0, 22},    // 22.5
      {true, 10.75, 2.0, 1, 20},    // the half size is exact: (10.75 - 0.5) x 2
      {true, -10.25, 2.0, 0, -20},
      {false, 10.0, 1.0, 1, 10},    // 9.5 -> 10
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pos << " scaled " << c.scaled);
    auto o = Make("");
    o->Scaled = c.scaled;
    o->ScaleX = o->ScaleY = c.scale;
    o->ImgWidth = o->ImgHeight = c.size;
    o->SetPosX(c.pos);
    o->SetPosY(c.pos);
    EXPECT_EQ(o->ScreenLeft(), c.left);
    EXPECT_EQ(o->ScreenTop(), c.left);
    EXPECT_EQ(o->CachedLeft, c.left);
    EXPECT_EQ(o->CachedTop, c.left);
  }
}

// Bouncer and wanderer both advance by draw x Speed / 1000 x direction / 100.
TEST_F(MotionTest, GeneratorsStepByTheirDraws) {
  auto o = Prepared("MotionSpeed=37\nPosLeft=500\nPosTop=400\nInitialDir=6");
  const double perMille = 370 / 1000.0;
  for (uint64_t step = 0; step < 40; ++step) {
    o->WanderStepLimit = 1000000;  // no re-pick in this test
    const double bx = o->BounceX, by = o->BounceY, wx = o->WanderX, wy = o->WanderY;
    const int32_t rangeX = o->WanderRangeX, rangeY = o->WanderRangeY;
    const auto d = Replay(100 + step, [&] {
      return std::vector<int32_t>{Random(1000), Random(1000), Random(rangeX), Random(rangeY)};
    });
    const int32_t dirX = o->DirX, dirY = o->DirY, steps = o->WanderSteps, count = o->StepCount;
    o->StepMotion();
    EXPECT_DOUBLE_EQ(o->BounceX, bx + d[0] * (perMille * dirX) / 100);
    EXPECT_DOUBLE_EQ(o->BounceY, by + d[1] * (perMille * dirY) / 100);
    EXPECT_DOUBLE_EQ(o->WanderX, wx + d[2] * (perMille * o->WanderDirX) / 100);
    EXPECT_DOUBLE_EQ(o->WanderY, wy + d[3] * (perMille * o->WanderDirY) / 100);
    EXPECT_EQ(o->WanderSteps, steps + 1);
    EXPECT_EQ(o->StepCount, count + 1);
  }
  EXPECT_GT(o->BounceX, 500);  // moving right and up
  EXPECT_LT(o->BounceY, 400);
}

// With MotionSpeed 0 the generators stand still, so each case is one rule.
TEST_F(MotionTest, BouncerTurnsAtTheAreaSidesWithoutClamping) {
  struct Case {
    double x, y;
    int dirX, dirY;
    int wantX, wantY;
  };
  // Area (50, 40, 974, 728).
  const std::vector<Case> cases = {
      {50, 400, -1, 1, 1, 1},        {50.001, 400, -1, 1, -1, 1}, {974, 400, 1, 1, -1, 1},
      {973.999, 400, 1, 1, 1, 1},    {500, 40, 1, -1, 1, 1},      {500, 728, 1, 1, 1, -1},
      {10, 800, -1, 1, 1, -1},       {2000, -5, 1, -1, -1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    auto o = Prepared("MotionSpeed=0");
    o->BounceX = c.x;
    o->BounceY = c.y;
    o->DirX = c.dirX;
    o->DirY = c.dirY;
    o->StepMotion();
    EXPECT_EQ(o->DirX, c.wantX);
    EXPECT_EQ(o->DirY, c.wantY);
    EXPECT_EQ(o->BounceX, c.x);
    EXPECT_EQ(o->BounceY, c.y);
  }
}

// A 100-wide picture on a 1024-wide background: x turns at 50 and at 974.
TEST_F(MotionTest, HorizontalBounceRunsBetweenTheSides) {
  auto o = Prepared("Motion=3\nMotionSpeed=100\nPosLeft=500\nPosTop=300");
  int turnsLeft = 0, turnsRight = 0;
  for (int i = 0; i < 4000; ++i) {
    const int32_t dir = o->DirX;
    TickAfter(*o, 5);
    if (dir == -1 && o->DirX == 1) {
      EXPECT_LE(o->BounceX, 50);
      ++turnsLeft;
    }
    if (dir == 1 && o->DirX == -1) {
      EXPECT_GE(o->BounceX, 974);
      ++turnsRight;
    }
    EXPECT_EQ(o->PosX, o->BounceX);
    EXPECT_EQ(o->PosY, 300);
    EXPECT_GT(o->PosX, 50 - 10);
    EXPECT_LT(o->PosX, 974 + 10);
  }
  EXPECT_GE(turnsLeft, 2);
  EXPECT_GE(turnsRight, 2);
}

TEST_F(MotionTest, OffScreenNeedsAChosenEdgePassedOutwards) {
  struct Case {
    const char* keys;
    double bx, by;
    int dirX, dirY;
    bool off;
  };
  // RestrictArea 0: area (-50, -40, 1074, 808); 1: (50, 40, 974, 728).
  const std::vector<Case> cases = {
      {"Motion=3\nRestrictArea=0\nOffScreenOpt=L", -50, 400, -1, 1, true},
      {"Motion=3\nRestrictArea=0\nOffScreenOpt=TBR", -50, 400, -1, 1, false},
      {"Motion=3\nRestrictArea=0\nOffScreenOpt=L", -50, 400, 1, 1, false},
      {"Motion=3\nRestrictArea=0\nOffScreenOpt=L", -49, 400, -1, 1, false},  // inside the area
      {"Motion=3\nOffScreenOpt=L", 50, 400, -1, 1, false},  // at the area's side but on the background
      {"Motion=5\nRestrictArea=0\nOffScreenOpt=R", 1074, 400, 1, 1, true},
      {"Motion=2\nRestrictArea=0\nOffScreenOpt=R", 1074, 400, 1, 1, true},
      {"Motion=2\nRestrictArea=0\nOffScreenOpt=B", 500, 808, 1, 1, true},
      {"Motion=4\nRestrictArea=0\nOffScreenOpt=L", -50, 400, -1, 1, false},  // x not watched
      {"Motion=4\nRestrictArea=0\nOffScreenOpt=T", 500, -40, 1, -1, true},
      {"Motion=6\nRestrictArea=0\nOffScreenOpt=T", 500, -40, 1, -1, true},
      {"Motion=3\nRestrictArea=0\nOffScreenOpt=T", 500, -40, 1, -1, false},  // y not watched
      {"Motion=0\nRestrictArea=0", -50, -40, -1, -1, false},
      {"Motion=7\nRestrictArea=0", -50, -40, -1, -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    auto o = Prepared(std::string(c.keys) + "\nMotionSpeed=0");
    o->BounceX = c.bx;
    o->BounceY = c.by;
    o->DirX = c.dirX;
    o->DirY = c.dirY;
    o->StepMotion();
    EXPECT_EQ(o->WentOffScreen, c.off);
  }
}

TEST_F(MotionTest, WandererOffScreenIsSeenAtItsRepick) {
  struct Case {
    double wx, wy;
    int dirX, dirY;
    const char* edges;
    bool off;
  };
  const std::vector<Case> cases = {
      {-50, 400, -1, 0, "L", true},   {-50, 400, -1, 0, "TBR", false}, {-50, 400, 1, 0, "L", false},
      {1074, 400, 1, 0, "R", true},   {500, -40, 1, -1, "T", true},    {500, 808, 1, 1, "B", true},
      {500, 400, 1, 1, "TBLR", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.wx << "," << c.wy << " " << c.edges);
    auto o = Prepared(std::string("Motion=1\nRestrictArea=0\nMotionSpeed=0\nOffScreenOpt=") + c.edges);
    o->WanderX = c.wx;
    o->WanderY = c.wy;
    o->WanderDirX = c.dirX;
    o->WanderDirY = c.dirY;
    o->WanderSteps = o->WanderStepLimit - 1;  // re-pick on this step
    o->StepMotion();
    EXPECT_EQ(o->WentOffScreen, c.off);
    EXPECT_EQ(o->WanderSteps, 0);
  }
}

TEST_F(MotionTest, WandererRepicksDirectionsLimitAndRanges) {
  struct Case {
    double wx, wy;
    bool forced;  // outside the area: re-picks before its limit
  };
  // Area (50, 40, 974, 728).
  const std::vector<Case> cases = {{500, 400, false}, {50, 400, true},  {974, 400, true},
                                   {500, 40, true},   {500, 728, true}, {10, 900, true}};
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << seed << ": " << c.wx << "," << c.wy);
      auto o = Prepared("MotionSpeed=0");
      o->WanderX = c.wx;
      o->WanderY = c.wy;
      o->WanderDirX = -1;
      o->WanderSteps = c.forced ? 0 : o->WanderStepLimit - 1;
      struct Picks {
        int dirX, dirY, limit, rangeX, rangeY;
      };
      const int32_t rangeX = o->WanderRangeX, rangeY = o->WanderRangeY;
      const Picks p = Replay(seed, [&] {
        for (int32_t bound : {1000, 1000, rangeX, rangeY}) Random(bound);
        Picks r{};
        r.dirX = Random(10) == 0 ? Sign() : -1;
        r.dirY = Random(3) - 1;
        r.limit = Random(300) + 50;
        r.rangeX = Random(800) + 200;
        r.rangeY = Random(1000);
        return r;
      });
      o->StepMotion();
      int wantX = p.dirX, wantY = p.dirY;
      if (c.wx <= 50) wantX = 1;
      if (c.wx >= 974) wantX = -1;
      if (c.wy <= 40) wantY = 1;
      if (c.wy >= 728) wantY = -1;
      EXPECT_EQ(o->WanderDirX, wantX);
      EXPECT_EQ(o->WanderDirY, wantY);
      EXPECT_EQ(o->WanderStepLimit, p.limit);
      EXPECT_EQ(o->WanderRangeX, p.rangeX);
      EXPECT_EQ(o->WanderRangeY, p.rangeY);
      EXPECT_EQ(o->WanderSteps, 0);
    }
  }
}

// Which generator the centre follows, per motion kind, after one step.
TEST_F(MotionTest, MotionKindPicksTheGenerator) {
  enum Follow { kStay, kWander, kBounce, kBounceX, kBounceY };
  const std::vector<std::pair<int, Follow>> cases = {
      {0, kStay}, {1, kWander}, {2, kBounce}, {3, kBounceX}, {4, kBounceY}, {8, kStay}, {12, kStay}};
  for (const auto& [motion, follow] : cases) {
    SCOPED_TRACE(motion);
    auto o = Prepared("MotionSpeed=500\nPosLeft=500\nPosTop=400\nMotion=" + std::to_string(motion));
    TickAfter(*o, 5);
    TickAfter(*o, 5);
    const double x = follow == kWander ? o->WanderX
                     : (follow == kBounce || follow == kBounceX) ? o->BounceX
                                                                 : 500.0;
    const double y = follow == kWander ? o->WanderY
                     : (follow == kBounce || follow == kBounceY) ? o->BounceY
                                                                 : 400.0;
    EXPECT_EQ(o->PosX, x);
    EXPECT_EQ(o->PosY, y);
    EXPECT_EQ(o->StepCount, 2);  // the generators run whatever the motion
    EXPECT_NE(o->BounceX, 500.0);
  }
}

// One-way travel: the centre only ever moves in the start direction and
// jumps from the far side back to the near side.
TEST_F(MotionTest, WrapTravelsOneWayAndReentersOpposite) {
  struct Case {
    const char* keys;
    bool vertical;
    int dir;  // +1 right / down, -1 left / up
  };
  const std::vector<Case> cases = {{"Motion=5\nInitialDir=2", false, 1},
                                   {"Motion=5\nInitialDir=1", false, -1},
                                   {"Motion=6\nInitialDir=3", true, -1},
                                   {"Motion=6\nInitialDir=4", true, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    auto o = Prepared(std::string(c.keys) + "\nMotionSpeed=1000\nPosLeft=500\nPosTop=400");
    const double lo = c.vertical ? 40 : 50, hi = c.vertical ? 728 : 974;
    const double maxStep = 99.9 + 1e-9;  // 999 x 10 / 100
    const double nearSide = c.dir > 0 ? lo : hi, farSide = c.dir > 0 ? hi : lo;
    int jumps = 0;
    double prev = c.vertical ? o->PosY : o->PosX;
    for (int i = 0; i < 2000; ++i) {
      TickAfter(*o, 5);
      const double now = c.vertical ? o->PosY : o->PosX;
      if ((now - prev) * c.dir >= 0) {
        EXPECT_LE((now - prev) * c.dir, maxStep);
      } else {
        ++jumps;
        EXPECT_LE(std::abs(prev - farSide), maxStep);
        EXPECT_LE((now - nearSide) * c.dir, 0);
        EXPECT_GE((now - nearSide) * c.dir, -maxStep);
      }
      prev = now;
      EXPECT_EQ(c.vertical ? o->WrapDirY : o->WrapDirX, c.dir);
    }
    EXPECT_GE(jumps, 3);
  }
}

TEST_F(MotionTest, CircleRunsClockwiseFromTheBottom) {
  // Area (50, 40, 974, 728): centre (512, 384), radii 462 - 50 and 344 - 40.
  struct Case {
    int32_t step;
    double x, y;
  };
  const std::vector<Case> cases = {
      {0, 512, 384 + 304}, {90, 512 - 412, 384}, {180, 512, 384 - 304}, {270, 512 + 412, 384}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step);
    auto o = Prepared("Motion=7\nMotionSpeed=100");  // one degree a step
    o->StepCount = c.step - 1;                       // the step counts first
    TickAfter(*o, 5);
    EXPECT_NEAR(o->PosX, c.x, 1e-9);
    EXPECT_NEAR(o->PosY, c.y, 1e-9);
  }
  // At another speed the angle scales: 45 steps of 2 degrees.
  auto o = Prepared("Motion=7\nMotionSpeed=200");
  o->StepCount = 44;
  TickAfter(*o, 5);
  EXPECT_NEAR(o->PosX, 512 - 412, 1e-9);
}

TEST_F(MotionTest, JitterShakesAroundTheCurrentPosition) {
  auto o = Prepared("Motion=9\nMotionSpeed=250\nPosLeft=500\nPosTop=400");
  for (uint64_t step = 0; step < 30; ++step) {
    o->WanderStepLimit = 1000000;
    o->WanderX = 500;
    o->WanderY = 400;
    const int32_t rangeX = o->WanderRangeX, rangeY = o->WanderRangeY;
    const auto d = Replay(200 + step, [&] {
      return std::vector<int32_t>{Random(1000), Random(1000), Random(rangeX), Random(rangeY), Random(9),
                                  Random(9)};
    });
    const double x = o->PosX, y = o->PosY;
    clock.Advance(5);
    o->Tick();
    EXPECT_DOUBLE_EQ(o->PosX, x + (d[4] - 4) * 2500 / 1000.0);
    EXPECT_DOUBLE_EQ(o->PosY, y + (d[5] - 4) * 2500 / 1000.0);
  }
}

TEST_F(MotionTest, FacingFollowsTheDrawnLeftEdge) {
  enum Move { kLeft, kRight, kStill };
  struct Case {
    int facing;
    bool dirFlip;
    Move move;
    bool before, after;
  };
  const std::vector<Case> cases = {
      {1, true, kLeft, false, true},   {1, true, kRight, true, false},  {1, true, kStill, true, true},
      {1, true, kStill, false, false}, {1, false, kLeft, true, false},  {0, true, kRight, false, true},
      {0, true, kLeft, true, false},   {0, true, kStill, true, true},   {0, false, kRight, false, false},
      {2, true, kLeft, true, true},    {2, true, kRight, false, false}, {2, false, kLeft, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "facing " << c.facing << " flip " << c.dirFlip << " move " << c.move);
    const std::string motion = c.move == kStill ? "Motion=4\nInitialDir=4" : c.move == kLeft
                                                                               ? "Motion=3\nInitialDir=1"
                                                                               : "Motion=3\nInitialDir=2";
    auto o = Prepared(motion + "\nMotionSpeed=1000\nPosLeft=500\nPosTop=400\nObjFacing=" +
                      std::to_string(c.facing) + "\nDirFlip=" + (c.dirFlip ? "1" : "0"));
    o->Flipped = c.before;
    const int32_t left = o->ScreenLeft();
    // A step may draw a move of 0; the facing is taken at the first real move.
    for (int i = 0; i < 10 && (i == 0 || (c.move != kStill && o->ScreenLeft() == left)); ++i) TickAfter(*o, 5);
    const int32_t moved = o->ScreenLeft() - left;
    ASSERT_EQ(moved < 0 ? kLeft : moved > 0 ? kRight : kStill, c.move);
    EXPECT_EQ(o->Flipped, c.after);
  }
}

}  // namespace
}  // namespace lumevra
