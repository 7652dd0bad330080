#include "platform/linux/DisplayPowerWatch.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace lumevra {
namespace {

// The display's state over time: probed at most once a second, each change
// reported once, the time off counted, an unknown state taken as on.
TEST(DisplayPowerWatch, ReportsEachChangeOnceAndCountsTheTimeOff) {
  std::optional<bool> state = true;
  int probes = 0;
  DisplayPowerWatch watch([&] {
    ++probes;
    return state;
  });
  EXPECT_EQ(watch.Poll(0), std::nullopt);  // on, as assumed
  EXPECT_EQ(probes, 1);
  state = false;
  EXPECT_EQ(watch.Poll(400), std::nullopt);  // too soon to look again
  EXPECT_EQ(probes, 1);
  EXPECT_EQ(watch.MsUntilNextProbe(400), 600u);
  EXPECT_EQ(watch.Poll(1000), std::optional<bool>(false));
  EXPECT_EQ(watch.Poll(2000), std::nullopt);  // still off: no second report
  EXPECT_FALSE(watch.DisplayOn());
  EXPECT_EQ(watch.AsleepMs(2500), 1500u);
  state = std::nullopt;  // the server stops telling: awake
  EXPECT_EQ(watch.Poll(3000), std::optional<bool>(true));
  EXPECT_EQ(watch.AsleepMs(9000), 2000u);
  state = false;
  EXPECT_EQ(watch.Poll(4500), std::optional<bool>(false));
  EXPECT_EQ(watch.AsleepMs(5000), 2500u);
  EXPECT_EQ(watch.MsUntilNextProbe(6000), 0u);
}

}  // namespace
}  // namespace lumevra
