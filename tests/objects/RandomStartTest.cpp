// Objects with random start values prepared together, as the engine
// prepares a scene's objects one after another within the same
// millisecond: each must draw values of its own, and a fixed seed must
// still repeat them exactly.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <set>
#include <vector>

#include "objects/MotionTestSupport.h"

namespace lumevra {
namespace {

using test::ProbeObject;

// Everything Prepare draws: start position, directions and the wanderer's
// limit and ranges.
using StartValues = std::array<int32_t, 7>;

// Twenty objects with random start places and directions, all prepared
// on a clock that stands still.
std::vector<StartValues> PrepareTwenty() {
  ManualClock clock(5000);
  ScopedClock scoped(clock);
  std::vector<std::unique_ptr<ProbeObject>> objects;
  for (int i = 0; i < 20; ++i) {
    auto o = std::make_unique<ProbeObject>();
    o->LoadFromText("[Obj0]\nPosLeftType=4\nPosTopType=4\nInitialDir=0\n");
    o->BackWidth = 1024;
    o->BackHeight = 768;
    o->ScreenRect = {0, 0, 1024, 768};
    o->ImgWidth = 40;
    o->ImgHeight = 20;
    objects.push_back(std::move(o));
  }
  std::vector<StartValues> values;
  for (auto& o : objects) {
    o->Prepare();
    values.push_back({o->PosLeft, o->PosTop, o->DirX, o->DirY, o->WanderStepLimit, o->WanderRangeX, o->WanderRangeY});
  }
  return values;
}

size_t Distinct(const std::vector<StartValues>& values) {
  return std::set<StartValues>(values.begin(), values.end()).size();
}

TEST(RandomStartTest, ObjectsPreparedInTheSameMillisecondDrawTheirOwnValues) {
  SetFixedSeed(std::nullopt);  // seeded from the clock, as the saver runs
  // Seven values over ranges of hundreds: twenty objects share none by chance.
  EXPECT_EQ(Distinct(PrepareTwenty()), 20u);
}

TEST(RandomStartTest, AFixedSeedRepeatsEveryObjectsValues) {
  SetFixedSeed(11);
  const std::vector<StartValues> first = PrepareTwenty();
  SetFixedSeed(11);
  const std::vector<StartValues> second = PrepareTwenty();
  SetFixedSeed(std::nullopt);
  EXPECT_EQ(first, second);
  EXPECT_EQ(Distinct(first), 20u);
}

}  // namespace
}  // namespace lumevra
