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

}  // namespace
}  // namespace lumevra
