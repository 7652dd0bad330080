// How opaque an object is: the Opacity alpha, the two-rounding fade values,
// and the appear and disappear fades as the steps of a display apply them.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "objects/MotionTestSupport.h"

namespace lumevra {
namespace {

using test::ObjectTest;

using FadeTest = ObjectTest;

TEST(OpacityAlphaTest, TenthsToSurfaceAlpha) {
  const std::vector<int> expected = {0, 26, 51, 76, 102, 128, 153, 178, 204, 230, 255};
  for (int opacity = 0; opacity <= 10; ++opacity)
    EXPECT_EQ(OpacityAlpha(opacity), expected[opacity]) << opacity;
  // Out of range keys stay within the alpha range.
  EXPECT_EQ(OpacityAlpha(-1), 0);
  EXPECT_EQ(OpacityAlpha(11), 255);
  EXPECT_EQ(OpacityAlpha(INT32_MAX), 255);
  EXPECT_EQ(OpacityAlpha(INT32_MIN), 0);
}

TEST(FadeAlphaTest, PercentThenAlphaEachRoundedHalfToEven) {
  struct Case {
    int64_t ms;
    int32_t opacity, seconds;
    int alpha;
  };
  const std::vector<Case> cases = {
      {500, 10, 2, 64},    // p 25 -> 63.75
      {1000, 10, 2, 128},  // p 50 -> 127.5 to even
      {2000, 10, 2, 255},
      {1980, 10, 2, 252},  // p 99
      {600, 10, 2, 76},    // p 30 -> 76.5 to even
      {1050, 10, 2, 133},  // p 52.5 -> 52 (to even) -> 132.6
      {333, 10, 1, 84},    // p 33 -> 84.15; a single rounding would give 85
      {2000, 5, 2, 128},   // a fade ends at the Opacity alpha
      {1000, 3, 2, 38},    // p 15 -> 38.25
      {0, 10, 2, 0},
      {-700, 10, 2, 0},    // clamped
      {9000, 10, 2, 255},  // clamped
      {1000, 10, 0, 255},  // no duration: no fade, the full Opacity alpha
      {1000, 4, -3, 102},
      {INT32_MAX, INT32_MAX, 1, 255},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FadeAlpha(c.ms, c.opacity, c.seconds), c.alpha)
        << c.ms << " ms, opacity " << c.opacity << ", " << c.seconds << " s";
}

struct Sample {
  uint32_t t;  // ms since Prepare
  int alpha;
  bool shown = true;
};

// Steps at the given times only, checking the alpha after each.
void RunSamples(test::ProbeObject& o, ManualClock& clock, uint32_t start, const std::vector<Sample>& samples) {
  for (const auto& s : samples) {
    clock.Set(start + s.t);
    o.Tick();
    EXPECT_EQ(o.Alpha, s.alpha) << "at " << s.t << " ms";
    EXPECT_EQ(o.Displayed, s.shown) << "at " << s.t << " ms";
    EXPECT_EQ(o.Applied.back(), o.Alpha);
  }
}

TEST_F(FadeTest, AppearRisesOverItsDurationThenStays) {
  struct Case {
    const char* keys;
    std::vector<Sample> samples;
  };
  const std::vector<Case> cases = {
      {"AppearEffect=1", {{0, 0}, {500, 64}, {1000, 128}, {2000, 255}, {5000, 255}}},
      // The last step inside the window was at p 99; the next is outside it.
      {"AppearEffect=1", {{1980, 252}, {2005, 252}, {60000, 252}}},
      {"AppearEffect=1\nDisplaySec=3", {{1000, 255, false}, {3000, 0}, {3500, 64}, {4000, 128}}},
      {"AppearEffect=1\nOpacity=5", {{1000, 64}, {2000, 128}}},
      {"AppearEffect=1\nAppearEffectDur=4\nOpacity=7", {{1000, 46}, {4000, 178}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    clock.Set(kStart);
    auto o = Prepared(c.keys);
    RunSamples(*o, clock, kStart, c.samples);
  }
}

TEST_F(FadeTest, DisappearFallsOverTheLastSecondsOfATimedDisplay) {
  auto o = Prepared("DisappearEffect=1\nDisplayDurationType=1\nDisplayDurationSec=5\nRedisplay=0");
  RunSamples(*o, clock, kStart,
             {{1000, 255}, {2999, 255}, {3000, 255}, {4000, 128}, {4500, 64}, {4980, 3}, {5000, 0, false}});
  EXPECT_EQ(o->DisplayStart, -1);
}

TEST_F(FadeTest, OverlappingWindowsKeepTheAppearValue) {
  auto o = Prepared(
      "AppearEffect=1\nDisappearEffect=1\nDisplayDurationType=1\nDisplayDurationSec=3\nRedisplay=0");
  RunSamples(*o, clock, kStart,
             {
                 {1000, 128},  // the fade-out alone would give 255
                 {1200, 153},  // the fade-out alone would give 230
                 {2000, 255},
                 {2500, 64},  // only the fade-out window is open
                 {3000, 0, false},
             });
}

// Effects that do not apply leave the Opacity alpha that Prepare set.
TEST_F(FadeTest, NoFadeWithoutAnEffectOrADuration) {
  const std::vector<std::string> keySets = {
      "AppearEffect=2",
      "AppearEffect=1\nAppearEffectDur=0",
      "DisappearEffect=1\nDisplayDurationType=0",
      "DisappearEffect=1\nDisplayDurationType=1\nDisplayDurationSec=5\nDisappearEffectDur=0",
      "DisappearEffect=2\nDisplayDurationType=1\nDisplayDurationSec=5",
  };
  for (const auto& keys : keySets) {
    SCOPED_TRACE(keys);
    auto o = Prepared(keys + "\nOpacity=6\nRedisplay=0");
    for (int i = 0; i < 1100; ++i) TickAfter(*o, 5);
    EXPECT_EQ(o->Alpha, 153);
    EXPECT_EQ(o->Applied, std::vector<uint8_t>({153}));
  }
}

// Going off-screen ends a display at once: a fade-out needs a known end.
TEST_F(FadeTest, OffScreenEndHasNoFadeOut) {
  auto o = Prepared(
      "DisappearEffect=1\nDisplayDurationType=2\nMotion=3\nInitialDir=1\nRestrictArea=0\nOffScreenOpt=L\n"
      "MotionSpeed=100\nPosLeft=0\nRedisplay=0");
  while (o->Displayed) TickAfter(*o, 5);
  EXPECT_EQ(o->Alpha, 255);
  EXPECT_EQ(o->Applied.size(), 1u);
}

// After a fade-out to 0, a redisplay without a fade-in comes back at the
// Opacity alpha rather than invisible; with a fade-in it rises from 0 again.
TEST_F(FadeTest, RedisplayAfterAFadeOut) {
  const std::string timed = "\nDisappearEffect=1\nDisplayDurationType=1\nDisplayDurationSec=3\nRedisplayDelay=1\n"
                            "Opacity=7";
  auto plain = Prepared(timed);
  RunSamples(*plain, clock, kStart,
             {{500, 178}, {1000, 178}, {2000, 89}, {3000, 0, false}, {3999, 0, false}, {4000, 178}, {5000, 178}, {6000, 89}});

  clock.Set(kStart);
  auto fading = Prepared("AppearEffect=1" + timed);
  RunSamples(*fading, clock, kStart,
             {{1000, 89}, {2000, 178}, {3000, 0, false}, {4000, 0}, {5000, 89}, {6000, 178}, {6500, 46}, {7000, 0, false}});
}

TEST_F(FadeTest, PrepareHandsTheOpacityAlphaToTheKind) {
  for (int opacity : {0, 3, 10}) {
    auto o = Prepared("Opacity=" + std::to_string(opacity));
    ASSERT_EQ(o->Applied.size(), 1u);
    EXPECT_EQ(o->Applied[0], OpacityAlpha(opacity));
    EXPECT_EQ(o->Alpha, OpacityAlpha(opacity));
  }
}

}  // namespace
}  // namespace lumevra
