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
  const fs::path built = test::BuildSaver(dir.path(), scene);
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
