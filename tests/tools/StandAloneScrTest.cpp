// The program as the desktop starts it: mode report and exit codes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/SaverFixture.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

TEST(StandAloneScr, WithoutADisplayEachModeEndsWithAClearWord) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX shell commands";
#endif
  test::TempFolder dir;
  // No display, and a private runtime folder so a saver running elsewhere
  // cannot hold the guard.
  const std::string prefix = "env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR='" + dir.path().string() + "' TMPDIR='" +
                             dir.path().string() + "' " + LUMEVRA_STANDALONESCR;
  const struct {
    const char* args;
    int code;
    const char* error;  // a part of what it says on stderr
  } cases[] = {
      {"/s", 1, "no display: cannot open the saver window"},
      {"", 1, "no display: cannot open the configuration dialog"},
      {"/c:1234", 1, "no display: cannot open the configuration dialog"},
      {"/p 1234", 0, ""},  // no window to draw into: nothing drawn
      {"/x", 0, ""},
      {"/a 55", 0, ""},  // no password services off Windows: ends at once
      {"/p notanumber", 1, "'NOTANUMBER' is not a valid integer value"},
  };
  for (const auto& c : cases) {
    std::string ignored;
    const fs::path errFile = dir / "stderr.txt";
    EXPECT_EQ(test::RunCommand(prefix + " " + c.args + " >/dev/null 2>'" + errFile.string() + "'", ignored), c.code)
        << c.args;
    // What the program says, without the sound library's complaints.
    std::istringstream lines(test::ReadFile(errFile));
    std::string said, line;
    while (std::getline(lines, line))
      if (line.find("ALSA") == std::string::npos && line.find("XDG_RUNTIME") == std::string::npos) said += line + "\n";
    EXPECT_NE(said.find(c.error), std::string::npos) << c.args << ": " << said;
    if (!*c.error) {
      EXPECT_EQ(said, "") << c.args;
    }
  }
}

}  // namespace
}  // namespace lumevra

namespace lumevra {
namespace {

// The real program on the headless backend: a built screensaver runs its
// frames, closes and removes its extraction folder; a second copy started
// meanwhile ends at once.
TEST(StandAloneScr, HeadlessSaverRunsAndASecondStartIsBlocked) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX shell commands";
#endif
  test::TempFolder dir;
  test::SceneSpec scene;
  scene.sounds = {{0, 0, 0}};
  const fs::path saver = test::BuildRealSaver(dir / "real", scene, LUMEVRA_STANDALONESCR);
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

// The headless screen's size comes from LUMEVRA_HEADLESS_SIZE; anything
// that is not a sane size leaves the default. The scene fits the screen,
// so the last frame shows which one the saver saw.
TEST(StandAloneScr, HeadlessScreenSizeIsChosenByTheEnvironment) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX shell commands";
#endif
  test::TempFolder dir;
  const fs::path saver = test::BuildRealSaver(dir / "real", test::SceneSpec{}, LUMEVRA_STANDALONESCR);
  fs::create_directory(dir / "tmp");
  const std::pair<const char*, const char*> cases[] = {
      {"320x200", "last 320 x 200"},    {"1920x1080", "last 1920 x 1080"}, {"", "last 1024 x 768"},
      {"0x200", "last 1024 x 768"},     {"320", "last 1024 x 768"},        {"99999x99999", "last 1024 x 768"},
      {"-320x200", "last 1024 x 768"},  {"320x200x7", "last 1024 x 768"},
  };
  for (const auto& [size, expected] : cases) {
    std::string out;
    const std::string command = "XDG_RUNTIME_DIR='" + dir.path().string() + "' TMPDIR='" + (dir / "tmp").string() +
                                "' LUMEVRA_BACKEND=headless LUMEVRA_HEADLESS_FRAMES=2 LUMEVRA_STATS=1 " +
                                "LUMEVRA_HEADLESS_SIZE='" + size + "' '" + saver.string() + "' /s 2>&1";
    ASSERT_EQ(test::RunCommand(command, out), 0) << out;
    EXPECT_NE(out.find(expected), std::string::npos) << size << ": " << out;
  }
}

}  // namespace
}  // namespace lumevra
