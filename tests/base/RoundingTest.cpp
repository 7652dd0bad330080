#include "base/Rounding.h"

#include <gtest/gtest.h>

namespace lumevra {
namespace {

TEST(Rounding, RoundGoesHalfToEven) {
  const std::pair<double, int64_t> cases[] = {
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2},
      {2.4999, 2}, {2.5001, 3}, {-0.4, 0}, {1e10 + 0.5, 10000000000}};
  for (auto [x, r] : cases) EXPECT_EQ(Round(x), r) << x;
}

TEST(Rounding, HalfAndDivTruncateTowardZero) {
  EXPECT_EQ(Half(7), 3);
  EXPECT_EQ(Half(-7), -3);
  EXPECT_EQ(Half(-1), 0);
  EXPECT_EQ(Div(-7, 2), -3);
  EXPECT_EQ(Div(7, -2), -3);
  EXPECT_EQ(Mod(-7, 2), -1);
  EXPECT_EQ(Div(INT32_MIN, -1), INT32_MIN);
  EXPECT_EQ(Mod(INT32_MIN, -1), 0);
  EXPECT_THROW(Div(1, 0), DivByZero);
  EXPECT_THROW(Mod(1, 0), DivByZero);
}

}  // namespace
}  // namespace lumevra
