#include "base/Clock.h"

#include <gtest/gtest.h>

namespace lumevra {
namespace {

TEST(Clock, ManualClockMovesOnlyWhenTold) {
  ManualClock clock(0xFFFFFFF0u);
  {
    ScopedClock scoped(clock);
    const uint32_t start = TickCount();
    EXPECT_EQ(start, 0xFFFFFFF0u);
    SleepMs(32);  // sleeping advances the manual clock
    EXPECT_EQ(TickCount(), 0x10u);
    EXPECT_EQ(TicksBetween(start, TickCount()), 32u);  // across the wrap
    clock.Set(5);
    EXPECT_EQ(TickCount(), 5u);
  }
  // Back on the real clock, which moves forward on its own.
  const uint32_t a = TickCount();
  SleepMs(2);
  EXPECT_GE(TicksBetween(a, TickCount()), 1u);
}

// The paused span counts for nobody: time stands while paused and runs on
// from there, across the 32-bit wrap and over several pauses.
TEST(Clock, PausableClockLeavesThePausedSpanOut) {
  ManualClock source(0xFFFFFF00u);
  PausableClock clock(source);
  source.Advance(100);
  EXPECT_EQ(clock.TickCount(), 0xFFFFFF64u);
  clock.Pause();
  clock.Pause();  // a second pause changes nothing
  source.Advance(5000);
  EXPECT_TRUE(clock.Paused());
  EXPECT_EQ(clock.TickCount(), 0xFFFFFF64u);
  EXPECT_EQ(clock.PausedMs(), 5000u);
  clock.Resume();
  source.Advance(0x200);
  EXPECT_EQ(clock.TickCount(), 0x164u);  // 0xFFFFFF64 + 0x200, wrapped
  clock.Pause();
  source.Advance(7);
  clock.Resume();
  clock.Resume();  // a second resume changes nothing
  EXPECT_EQ(clock.PausedMs(), 5007u);
  EXPECT_EQ(clock.TickCount(), 0x164u);
  // Sleeping sleeps on the source: a paced loop still waits while paused.
  clock.Sleep(10);
  EXPECT_EQ(clock.TickCount(), 0x16Eu);
}

}  // namespace
}  // namespace lumevra
