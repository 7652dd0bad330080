// The program as the desktop starts it: mode report and exit codes.
#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace lumevra {
namespace {

TEST(StandAloneScr, ReportsTheChosenModeAndEndsCleanly) {
  test::TempFolder dir;
  // A private runtime folder, so a saver running elsewhere cannot hold the guard.
  const std::string prefix = "XDG_RUNTIME_DIR='" + dir.path().string() + "' " + LUMEVRA_STANDALONESCR;
  const std::pair<std::string, std::pair<int, std::string>> cases[] = {
      {"/s", {0, "mode: saver\n"}},
      {"", {0, "mode: configuration\n"}},
      {"/c:1234", {0, "mode: configuration\n"}},
      {"/p 1234", {0, "mode: preview into window 1234\n"}},
      {"/x", {0, ""}},
      {"/a 55", {0, ""}},  // no password services off Windows: ends at once
      {"/p notanumber", {1, ""}},
  };
  for (const auto& [args, expected] : cases) {
    std::string out;
    EXPECT_EQ(test::RunCommand(prefix + " " + args + " 2>/dev/null", out), expected.first) << args;
    EXPECT_EQ(out, expected.second) << args;
  }
}

}  // namespace
}  // namespace lumevra
