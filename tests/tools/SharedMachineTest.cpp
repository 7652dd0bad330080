// The real program on a machine several users share: each user's runs
// extract into folders of their own, never into one another's, and a
// program installed where its user cannot write keeps that user's settings
// in the user's own folder. Another user is played with setpriv, so those
// cases need root (as in CI); the others run as anyone.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/SaverFixture.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

constexpr int kOtherUser = 65534;

// A real screensaver in `folder` of a scene titled `title`.
fs::path MakeRealSaver(const fs::path& folder, const std::string& title) {
  test::SceneSpec scene;
  scene.title = title;
  return test::BuildRealSaver(folder, scene, LUMEVRA_STANDALONESCR);
}

class SharedMachine : public ::testing::Test {
protected:
  void SetUp() override {
    // Everyone may pass through the test's folder; its "tmp" is shared as
    // the system's temporary folder is.
    chmod(dir.path().c_str(), 0755);
    fs::create_directory(tmp);
    chmod(tmp.c_str(), 01777);
  }
  bool CanPlayAnotherUser() const { return geteuid() == 0 && fs::exists("/usr/bin/setpriv"); }
  // The environment of a headless run with the shared temporary folder.
  std::string Env(const std::string& extra = "") const {
    return "env -u XDG_RUNTIME_DIR TMPDIR='" + tmp.string() + "' LUMEVRA_BACKEND=headless " + extra + " ";
  }
  static std::string AsOtherUser() {
    return "setpriv --reuid=" + std::to_string(kOtherUser) + " --regid=" + std::to_string(kOtherUser) +
           " --clear-groups ";
  }
  fs::path PrivateFolderOf(int uid) const { return tmp / ("lumevra-" + std::to_string(uid)); }

  test::TempFolder dir;
  fs::path tmp = dir / "tmp";
};

TEST_F(SharedMachine, TwoUsersRunAtOnceEachWithItsOwnScene) {
  if (!CanPlayAnotherUser()) GTEST_SKIP() << "needs root and setpriv to play a second user";
  // Two savers of the same name: a shared folder per name would mix them.
  const fs::path mine = MakeRealSaver(dir / "mine", "Root Harbour");
  const fs::path theirs = MakeRealSaver(dir / "theirs", "Nobody Harbour");
  const std::string stats = "LUMEVRA_STATS=1 LUMEVRA_HEADLESS_FRAMES=";
  std::string out;
  const std::string both = "(" + Env(stats + "150") + "'" + mine.string() + "' /s 2>'" + (dir / "mine.err").string() +
                           "' & " + AsOtherUser() + Env(stats + "40") + "'" + theirs.string() + "' /s 2>'" +
                           (dir / "theirs.err").string() + "'; echo theirs=$?; wait $!; echo mine=$?)";
  ASSERT_EQ(test::RunCommand(both, out), 0);
  EXPECT_NE(out.find("theirs=0\n"), std::string::npos) << out << test::ReadFile(dir / "theirs.err");
  EXPECT_NE(out.find("mine=0\n"), std::string::npos) << out << test::ReadFile(dir / "mine.err");
  EXPECT_NE(test::ReadFile(dir / "mine.err").find("caption \"Root Harbour\""), std::string::npos)
      << test::ReadFile(dir / "mine.err");
  EXPECT_NE(test::ReadFile(dir / "theirs.err").find("caption \"Nobody Harbour\""), std::string::npos)
      << test::ReadFile(dir / "theirs.err");
  // Each user's private folder: theirs alone, closed to others, and after
  // the runs holding nothing but the lock.
  for (int uid : {0, kOtherUser}) {
    const fs::path folder = PrivateFolderOf(uid);
    struct stat st {};
    ASSERT_EQ(lstat(folder.c_str(), &st), 0) << folder;
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_uid, static_cast<uid_t>(uid));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"KAStndAlneScreenSaverSemaphore.lock"}) << folder;
  }
}

// Another user made the folder first, open to all, with a header and a
// lock of their choosing: the saver refuses it, reads nothing from it and
// writes nothing into it.
TEST_F(SharedMachine, AnotherUsersPlantedFolderIsNeverUsed) {
  if (!CanPlayAnotherUser()) GTEST_SKIP() << "needs root and setpriv to play a second user";
  const fs::path saver = MakeRealSaver(dir / "mine", "Root Harbour");
  const fs::path planted = PrivateFolderOf(static_cast<int>(geteuid()));
  std::string out;
  ASSERT_EQ(test::RunCommand(AsOtherUser() + "sh -c \"mkdir '" + planted.string() + "' && chmod 777 '" +
                                 planted.string() + "' && echo '[Header]' > '" + planted.string() +
                                 "/KAHeader.dat' && ln -s /etc/passwd '" + planted.string() +
                                 "/KAStndAlneScreenSaverSemaphore.lock'\"",
                             out),
            0);
  const int code = test::RunCommand(Env() + "'" + saver.string() + "' /s 2>'" + (dir / "err").string() + "'", out);
  EXPECT_EQ(code, 1);
  EXPECT_NE(test::ReadFile(dir / "err").find("Unable to use the folder " + planted.string() +
                                             ": it belongs to another user"),
            std::string::npos)
      << test::ReadFile(dir / "err");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(planted)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"KAHeader.dat", "KAStndAlneScreenSaverSemaphore.lock"}));
  EXPECT_EQ(test::ReadFile(planted / "KAHeader.dat"), "[Header]\n");
}

// A run killed mid-scene leaves its folder; the next start removes it and
// the run ends well.
TEST_F(SharedMachine, ACrashedRunsFolderIsCleanedAndTheNextRunEndsWell) {
  const fs::path saver = MakeRealSaver(dir / "mine", "Root Harbour");
  const fs::path folder = PrivateFolderOf(static_cast<int>(geteuid()));
  std::string out;
  // Started in the background; its pid is printed at once.
  ASSERT_EQ(test::RunCommand(Env("LUMEVRA_HEADLESS_FRAMES=1000000") + "'" + saver.string() +
                                 "' /s >/dev/null 2>&1 & echo $!",
                             out),
            0);
  const std::string pid = out.substr(0, out.find('\n'));
  auto runFolders = [&folder] {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_directory()) found.push_back(it->path());
    return found;
  };
  // Killed once it has extracted its project (slow builds take a while).
  auto extracted = [&runFolders] {
    const auto found = runFolders();
    std::error_code ec;
    return found.size() == 1 && fs::exists(found[0] / "KATemp.kap", ec);
  };
  for (int i = 0; i < 400 && !extracted(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  test::RunCommand("kill -9 " + pid + "; while kill -0 " + pid + " 2>/dev/null; do sleep 0.05; done", out);
  const auto left = runFolders();
  ASSERT_EQ(left.size(), 1u) << "the killed run left no folder";
  EXPECT_FALSE(fs::is_empty(left[0]));

  EXPECT_EQ(test::RunCommand(Env("LUMEVRA_HEADLESS_FRAMES=5") + "'" + saver.string() + "' /s", out), 0);
  EXPECT_FALSE(fs::exists(left[0]));
  EXPECT_TRUE(runFolders().empty());
}

TEST_F(SharedMachine, ALinkWhereThePrivateFolderGoesIsRefused) {
  const fs::path saver = MakeRealSaver(dir / "mine", "Root Harbour");
  const fs::path folder = PrivateFolderOf(static_cast<int>(geteuid()));
  fs::create_directory(dir / "elsewhere");
  chmod((dir / "elsewhere").c_str(), 0700);
  fs::create_directory_symlink(dir / "elsewhere", folder);
  std::string out;
  EXPECT_EQ(test::RunCommand(Env() + "'" + saver.string() + "' /s 2>'" + (dir / "err").string() + "'", out), 1);
  EXPECT_NE(test::ReadFile(dir / "err").find("Unable to use the folder " + folder.string() +
                                             ": it is a link or a file, not a folder"),
            std::string::npos)
      << test::ReadFile(dir / "err");
  EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}

// Installed where its user cannot write: OK keeps the settings in the
// user's folder, and the next start reads them from there.
TEST_F(SharedMachine, AnInstalledSaverKeepsItsSettingsInTheUsersFolder) {
  if (!CanPlayAnotherUser()) GTEST_SKIP() << "needs root and setpriv to play a second user";
  const fs::path saver = MakeRealSaver(dir / "installed", "Root Harbour");  // root's, 0755
  const fs::path config = dir / "config";
  fs::create_directory(config);
  ASSERT_EQ(chown(config.c_str(), kOtherUser, kOtherUser), 0);
  const std::string dialog = AsOtherUser() + Env("HOME=/nonexistent XDG_CONFIG_HOME='" + config.string() +
                                                 "' LUMEVRA_HEADLESS_CLICKS=showClock,ok") +
                             "'" + saver.string() + "' /c 2>'" + (dir / "err").string() + "'";
  const fs::path userFile = config / "lumevra" / "Real.ini";
  std::string out;
  ASSERT_EQ(test::RunCommand(dialog, out), 0) << test::ReadFile(dir / "err");
  EXPECT_EQ(test::ReadFile(dir / "err"), "");
  EXPECT_FALSE(fs::exists(dir / "installed" / "Real.ini"));
  EXPECT_NE(test::ReadFile(userFile).find("ShowClock=1"), std::string::npos) << test::ReadFile(userFile);
  // The next start shows what was written: the click turns the clock off.
  ASSERT_EQ(test::RunCommand(dialog, out), 0) << test::ReadFile(dir / "err");
  EXPECT_NE(test::ReadFile(userFile).find("ShowClock=0"), std::string::npos) << test::ReadFile(userFile);

  // Its owner may write beside it: there the file goes.
  ASSERT_EQ(test::RunCommand(Env("LUMEVRA_HEADLESS_CLICKS=ok") + "'" + saver.string() + "' /c", out), 0);
  EXPECT_TRUE(fs::exists(dir / "installed" / "Real.ini"));
}

#endif  // _WIN32

}  // namespace
}  // namespace lumevra
