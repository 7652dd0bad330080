// When an object is shown: the first display, timed displays, redisplay with
// and without a position reset, the end by going off-screen, restarts, the
// wrap of the tick count, and hostile key values.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "objects/MotionTestSupport.h"

namespace lumevra {
namespace {

using test::ObjectTest;

using TimingTest = ObjectTest;

struct Window {
  int64_t from, to;  // shown for from <= t < to (ms since Prepare)
};

bool InWindows(const std::vector<Window>& windows, int64_t t) {
  for (const auto& w : windows)
    if (t >= w.from && t < w.to) return true;
  return false;
}

TEST_F(TimingTest, DisplayTimelines) {
  constexpr int64_t kNever = INT64_MAX;
  struct Case {
    const char* keys;
    std::vector<Window> shown;
  };
  const std::vector<Case> cases = {
      {"", {{0, kNever}}},
      {"DisplaySec=2", {{2000, kNever}}},
      {"DisplaySec=3\nDisplayDurationType=1\nDisplayDurationSec=5\nRedisplay=1\nRedisplayDelay=2",
       {{3000, 8000}, {10000, 15000}, {17000, 22000}, {24000, 29000}}},
      {"DisplaySec=3\nDisplayDurationType=1\nDisplayDurationSec=5\nRedisplay=0\nRedisplayDelay=2",
       {{3000, 8000}}},
      // Unknown duration types show until the end.
      {"DisplaySec=1\nDisplayDurationType=7\nDisplayDurationSec=1", {{1000, kNever}}},
      // A negative wait shows at the first step.
      {"DisplaySec=-5", {{0, kNever}}},
      // A display of no length ends in the step that starts it.
      {"DisplayDurationType=1\nDisplayDurationSec=0\nRedisplayDelay=0", {}},
      {"DisplayDurationType=1\nDisplayDurationSec=-3\nRedisplayDelay=-1", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    clock.Set(kStart);
    auto o = Prepared(c.keys);
    // Prepare shows at once only without a wait.
    EXPECT_EQ(o->Displayed, std::string(c.keys).find("DisplaySec=") == std::string::npos);
    for (int64_t t = 0; t <= 30000; t += 50) {
      clock.Set(kStart + static_cast<uint32_t>(t));
      o->Tick();
      ASSERT_EQ(o->Displayed, InWindows(c.shown, t)) << "at " << t << " ms";
    }
  }
}

TEST_F(TimingTest, FinishedObjectNeverShowsAgain) {
  auto o = Prepared("DisplayDurationType=1\nDisplayDurationSec=1\nRedisplay=0");
  TickAfter(*o, 1000);
  EXPECT_FALSE(o->Displayed);
  EXPECT_EQ(o->DisplayStart, -1);
  for (int i = 0; i < 10; ++i) TickAfter(*o, 3600 * 1000);
  EXPECT_FALSE(o->Displayed);
  EXPECT_EQ(o->DisplayStart, -1);
}

TEST_F(TimingTest, ShownObjectStaysShownForHours) {
  auto o = Prepared("Motion=2");
  for (int i = 0; i < 100; ++i) TickAfter(*o, 3600 * 1000);
  EXPECT_TRUE(o->Displayed);
}

// A timed display of 1 s, 1 s apart, moving fast down-right from (300, 300).
TEST_F(TimingTest, RedisplayResetsThePositionOnlyWithResetPos) {
  for (bool reset : {true, false}) {
    SCOPED_TRACE(reset);
    auto o = Prepared(std::string("Motion=2\nMotionSpeed=20\nInitialDir=8\nPosLeft=300\nPosTop=300\n"
                                  "DisplayDurationType=1\nDisplayDurationSec=1\nRedisplayDelay=1\nResetPos=") +
                      (reset ? "1" : "0"));
    double x = 0, y = 0;
    int32_t steps = 0;
    for (int t = 5; t < 1000; t += 5) {
      TickAfter(*o, 5);
      x = o->PosX;
      y = o->PosY;
      steps = o->StepCount;
    }
    ASSERT_TRUE(o->Displayed);
    EXPECT_GT(x, 310);
    EXPECT_GT(y, 310);
    TickAfter(*o, 5);  // t = 1000: the display ends
    EXPECT_FALSE(o->Displayed);
    EXPECT_EQ(o->CycleDelay, 1);
    EXPECT_EQ(o->DisplayStart, static_cast<int32_t>(Now()));
    if (reset) {
      EXPECT_EQ(o->PosX, 300);
      EXPECT_EQ(o->PosY, 300);
      EXPECT_EQ(o->BounceX, 300);
      EXPECT_EQ(o->WanderY, 300);
      EXPECT_EQ(o->DirX, 1);  // InitialDir applies again
      EXPECT_EQ(o->DirY, 1);
    } else {
      EXPECT_EQ(o->PosX, x);
      EXPECT_EQ(o->PosY, y);
    }
    const double hiddenX = o->PosX;
    // Hidden objects do not move.
    for (int t = 5; t < 1000; t += 5) {
      TickAfter(*o, 5);
      EXPECT_FALSE(o->Displayed);
    }
    EXPECT_EQ(o->PosX, hiddenX);
    EXPECT_EQ(o->StepCount, steps);
    TickAfter(*o, 5);  // 1 s after the end: shown again, and moving
    EXPECT_TRUE(o->Displayed);
    EXPECT_EQ(o->StepCount, steps + 1);
  }
}

// Moving left from x = 0 at up to 9.99 a step: the area's left side is -50
// without the restriction, 50 with it.
TEST_F(TimingTest, OffScreenEndsTheDisplayAtTheNextStep) {
  struct Case {
    const char* keys;
    bool ends;
  };
  const std::vector<Case> cases = {
      {"Motion=3\nInitialDir=1\nRestrictArea=0\nOffScreenOpt=L\nPosLeft=0\nPosTop=0", true},
      {"Motion=2\nInitialDir=5\nRestrictArea=0\nOffScreenOpt=L\nPosLeft=0\nPosTop=0", true},
      {"Motion=5\nInitialDir=1\nRestrictArea=0\nOffScreenOpt=LR\nPosLeft=0\nPosTop=0", true},
      {"Motion=4\nInitialDir=3\nRestrictArea=0\nOffScreenOpt=T\nPosLeft=0\nPosTop=0", true},
      {"Motion=3\nInitialDir=1\nRestrictArea=0\nOffScreenOpt=TB\nPosLeft=0\nPosTop=0", false},
      {"Motion=4\nInitialDir=3\nRestrictArea=0\nOffScreenOpt=LR\nPosLeft=0\nPosTop=0", false},
      // A picture at least 2 pixels wide, kept inside, never leaves.
      {"Motion=3\nInitialDir=1\nRestrictArea=1\nOffScreenOpt=TBLR\nPosLeft=500\nPosTop=400", false},
      {"Motion=2\nInitialDir=5\nRestrictArea=1\nOffScreenOpt=TBLR\nPosLeft=500\nPosTop=400", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    auto o = Prepared(std::string(c.keys) +
                      "\nDisplayDurationType=2\nRedisplay=0\nMotionSpeed=100");
    int step = 0;
    while (!o->WentOffScreen && step < 20000) {
      TickAfter(*o, 5);
      ++step;
    }
    if (!c.ends) {
      EXPECT_FALSE(o->WentOffScreen);
      EXPECT_TRUE(o->Displayed);
      continue;
    }
    ASSERT_TRUE(o->WentOffScreen);
    EXPECT_TRUE(o->BounceX < 0 || o->BounceY < 0);
    EXPECT_TRUE(o->Displayed);  // seen at the start of the next step
    const double x = o->PosX, y = o->PosY;
    TickAfter(*o, 5);
    EXPECT_FALSE(o->Displayed);
    EXPECT_EQ(o->DisplayStart, -1);
    EXPECT_EQ(o->PosX, x);
    EXPECT_EQ(o->PosY, y);
  }
}

TEST_F(TimingTest, OffScreenObjectReturnsAfterTheRedisplayDelay) {
  auto o = Prepared(
      "Motion=3\nInitialDir=1\nRestrictArea=0\nOffScreenOpt=L\nDisplayDurationType=2\nMotionSpeed=100\n"
      "PosLeft=0\nPosTop=0\nRedisplayDelay=4");
  while (!o->WentOffScreen) TickAfter(*o, 5);
  TickAfter(*o, 5);
  ASSERT_FALSE(o->Displayed);
  EXPECT_FALSE(o->WentOffScreen);
  EXPECT_EQ(o->CycleDelay, 4);
  EXPECT_EQ(o->PosX, 0);  // back at the start
  EXPECT_EQ(o->DirX, -1);
  TickAfter(*o, 3995);
  EXPECT_FALSE(o->Displayed);
  TickAfter(*o, 5);
  EXPECT_TRUE(o->Displayed);
}

TEST_F(TimingTest, PrepareAgainRestartsTheFirstCycle) {
  auto o = Prepared("DisplaySec=5\nMotion=2\nMotionSpeed=100");
  TickAfter(*o, 6000);
  TickAfter(*o, 5);
  ASSERT_TRUE(o->Displayed);
  ASSERT_GT(o->StepCount, 0);
  o->Prepare();
  EXPECT_FALSE(o->Displayed);
  EXPECT_EQ(o->StepCount, 0);
  EXPECT_EQ(o->CycleDelay, 5);
  TickAfter(*o, 4999);
  EXPECT_FALSE(o->Displayed);
  TickAfter(*o, 1);
  EXPECT_TRUE(o->Displayed);
}

TEST_F(TimingTest, CycleRunsAcrossTheTickCountWrap) {
  clock.Set(0xFFFFF000u);
  auto o = Prepared("DisplaySec=5\nDisplayDurationType=1\nDisplayDurationSec=2");
  TickAfter(*o, 4999);  // the count has wrapped
  EXPECT_FALSE(o->Displayed);
  TickAfter(*o, 1);
  EXPECT_TRUE(o->Displayed);
  TickAfter(*o, 1999);
  EXPECT_TRUE(o->Displayed);
  TickAfter(*o, 1);
  EXPECT_FALSE(o->Displayed);
  EXPECT_NE(o->DisplayStart, -1);
}

// The tick 0xFFFFFFFF reads as -1, which means "never again": a cycle that
// starts there is taken to start a tick earlier instead of being lost.
TEST_F(TimingTest, CycleStartingAtTheLastTickStillShows) {
  clock.Set(0xFFFFFFFFu);
  auto o = Prepared("DisplaySec=1");
  EXPECT_NE(o->DisplayStart, -1);
  TickAfter(*o, 1000);
  EXPECT_TRUE(o->Displayed);
}

// Keys no sane tool writes still give a running object: no crash, no
// overflow, a drawn edge that is a number.
TEST_F(TimingTest, HostileValuesNeverBreakAStep) {
  const std::vector<std::string> keySets = {
      "MotionAreaType=1",  // an area of no size
      "MotionAreaType=1\nMoveAreaRectleft=-2147483648\nMoveAreaRecttop=-2147483648\n"
      "MoveAreaRectright=2147483647\nMoveAreaRectbottom=2147483647\nPosLeftType=5\nPosTopType=3\n"
      "RestrictArea=0",
      "MotionAreaType=1\nMoveAreaRectleft=2147483647\nMoveAreaRectright=-2147483648\nPosLeftType=5\n"
      "PosTopType=4",
      "MotionSpeed=2147483647",
      "MotionSpeed=-2147483648",
      "MotionSpeed=-50\nRestrictArea=0",
      "DisplaySec=2147483647\nDisplayDurationType=1",
      "DisplaySec=-2147483648\nDisplayDurationType=1\nDisplayDurationSec=-2147483648",
      "DisplayDurationType=1\nDisplayDurationSec=2147483647\nDisappearEffect=1\n"
      "DisappearEffectDur=2147483647\nAppearEffect=1\nAppearEffectDur=2147483647",
      "DisplayDurationType=1\nDisplayDurationSec=0\nRedisplayDelay=-2147483648\nAppearEffect=1\n"
      "AppearEffectDur=-5\nDisappearEffect=1\nDisappearEffectDur=-5",
      "Opacity=2147483647\nAppearEffect=1",
      "Opacity=-2147483648\nAppearEffect=1",
      "WidthSize=2147483647\nHeightSize=-2147483648\nPosLeftType=3\nPosTopType=2",
      "PosLeft=2147483647\nPosTop=-2147483648",
  };
  for (const auto& keys : keySets) {
    for (int motion = 0; motion <= 10; ++motion) {
      SCOPED_TRACE(testing::Message() << keys << " / motion " << motion);
      for (int background = 0; background < 2; ++background) {
        auto o = Make(keys + "\nMotion=" + std::to_string(motion));
        if (background) {
          o->BackWidth = 0;
          o->BackHeight = 0;
          o->ImgWidth = 2147483647;
          o->ImgHeight = -2147483647;
        }
        o->Prepare();
        for (int i = 0; i < 300; ++i) TickAfter(*o, 5);
        TickAfter(*o, 3600 * 1000);
        TickAfter(*o, 5);
        EXPECT_FALSE(std::isnan(static_cast<double>(o->ScaleX)));
        EXPECT_EQ(o->CachedLeft, o->ScreenLeft());
        EXPECT_EQ(o->Alpha, o->Applied.back());
      }
    }
  }
}

}  // namespace
}  // namespace lumevra

namespace lumevra {
namespace {

// While the display sleeps the worker takes no step; on waking it goes on
// from the state it had (no fresh start).
TEST_F(TimingTest, APausedWorkerTakesNoStepsAndGoesOnWhereItWas) {
  auto o = Make("Motion=2\nMotionSpeed=100");
  o->SetManualStepping(true);
  o->Start();
  o->StepNow();
  o->StepNow();
  const int32_t steps = o->StepCount;
  ASSERT_GT(steps, 0);
  o->PauseWorker(true);
  o->PauseWorker(true);  // twice is once
  o->StepNow();
  EXPECT_EQ(o->StepCount, steps);
  o->PauseWorker(false);
  o->StepNow();
  EXPECT_EQ(o->StepCount, steps + 1);
  o->PauseWorker(false);  // waking a worker that is awake changes nothing
  o->StepNow();
  EXPECT_EQ(o->StepCount, steps + 2);
  // A stopped object stays stopped through a sleep.
  o->Stop();
  o->PauseWorker(true);
  o->PauseWorker(false);
  o->StepNow();
  EXPECT_EQ(o->StepCount, steps + 2);
}

}  // namespace
}  // namespace lumevra
