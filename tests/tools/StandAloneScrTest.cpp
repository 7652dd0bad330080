// The program as the desktop starts it: mode report and exit codes.
#include <gtest/gtest.h>

#include <fstream>

#include "support/SaverFixture.h"
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

namespace lumevra {
namespace {

namespace fs = std::filesystem;

// The real program on the headless backend: a built screensaver runs its
// frames, closes and removes its extraction folder; a second copy started
// meanwhile ends at once.
TEST(StandAloneScr, HeadlessSaverRunsAndASecondStartIsBlocked) {
  test::TempFolder dir;
  test::SceneSpec spec;
  spec.sounds = {{0, 0, 0}};
  const fs::path built = test::BuildSaver(dir.path(), spec);
  // A real screensaver: the runtime with the package of the one just built.
  const fs::path saver = dir / "Real.scr";
  fs::copy_file(LUMEVRA_STANDALONESCR, saver);
  {
    const std::string runtime = test::ReadFile(dir / "runtime.bin");
    const std::string whole = test::ReadFile(built);
    std::ofstream(saver, std::ios::binary | std::ios::app) << whole.substr(runtime.size());
  }
  fs::create_directory(dir / "tmp");
  const std::string env = "XDG_RUNTIME_DIR='" + dir.path().string() + "' TMPDIR='" + (dir / "tmp").string() +
                          "' LUMEVRA_BACKEND=headless ";
  std::string out;
  // About 3 s of frames in the background, then a second start.
  const std::string first = env + "LUMEVRA_HEADLESS_FRAMES=100 '" + saver.string() + "' /s & ";
  const std::string second = "sleep 1; " + env + "LUMEVRA_HEADLESS_FRAMES=100000 '" + saver.string() +
                             "' /s; echo second=$?; kill -0 $! && echo first-still-running; wait $!; echo first=$?";
  ASSERT_EQ(test::RunCommand("(" + first + second + ")", out), 0) << out;
  // The second copy ended while the first still ran.
  EXPECT_NE(out.find("second=0\nfirst-still-running\nfirst=0\n"), std::string::npos) << out;
  EXPECT_TRUE(fs::is_empty(dir / "tmp")) << "extraction left behind";
}

}  // namespace
}  // namespace lumevra
