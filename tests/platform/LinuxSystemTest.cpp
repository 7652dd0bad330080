#include "platform/linux/LinuxSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <utility>
#include <vector>

#include "package/PackageExtractor.h"
#include "platform/linux/PrivateFolder.h"

#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

class LinuxSystemTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* name : kVariables)
      if (const char* v = std::getenv(name)) saved_.emplace_back(name, v);
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  }
  void TearDown() override {
    for (const char* name : kVariables) unsetenv(name);
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
  }
  // No runtime folder: the private folder goes into `tmp` as lumevra-<uid>.
  fs::path UseTemporaryFolder(const fs::path& tmp) {
    fs::create_directories(tmp);
    unsetenv("XDG_RUNTIME_DIR");
    setenv("TMPDIR", tmp.c_str(), 1);
    return tmp / ("lumevra-" + std::to_string(geteuid()));
  }
  static constexpr const char* kVariables[] = {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CONFIG_HOME", "HOME"};
  test::TempFolder dir;
  std::vector<std::pair<std::string, std::string>> saved_;
  char arg0[8] = "prog";
  char arg1[8] = "/s";
  char* argv[3] = {arg0, arg1, nullptr};
  LinuxSystem system{2, argv};
};

TEST_F(LinuxSystemTest, KnowsItsProgramAndArguments) {
  EXPECT_TRUE(system.ProgramFile().is_absolute());
  EXPECT_EQ(system.Arguments(), std::vector<std::string>{"/s"});
  EXPECT_FALSE(system.ProgramFilesValue());
  EXPECT_FALSE(system.OsVersion());
  EXPECT_FALSE(system.LoadPasswordChanger());
  EXPECT_EQ(system.GuardFile("G"), dir / "lumevra" / "G.lock");
}

TEST_F(LinuxSystemTest, GuardIsExclusiveAndFreedWithItsHolder) {
  auto first = system.CreateInstanceGuard("TestGuard");
  ASSERT_TRUE(first);
  EXPECT_FALSE(first->AlreadyExists());
  auto second = system.CreateInstanceGuard("TestGuard");
  ASSERT_TRUE(second);
  EXPECT_TRUE(second->AlreadyExists());
  second.reset();
  first.reset();
  auto third = system.CreateInstanceGuard("TestGuard");
  EXPECT_FALSE(third->AlreadyExists());
}

TEST_F(LinuxSystemTest, GuardOfAProcessThatDiedIsFree) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto guard = system.CreateInstanceGuard("CrashGuard");
    // Dies holding the guard, without any clean-up.
    _exit(guard && !guard->AlreadyExists() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  auto guard = system.CreateInstanceGuard("CrashGuard");
  ASSERT_TRUE(guard);
  EXPECT_FALSE(guard->AlreadyExists());
}

TEST_F(LinuxSystemTest, EachRunExtractsIntoAFreshFolderOfThePrivateOne) {
  const fs::path folder = UseTemporaryFolder(dir / "tmp");
  const fs::path first = system.CreateExtractionFolder();
  const fs::path second = system.CreateExtractionFolder();
  EXPECT_NE(first, second);
  for (const fs::path& run : {first, second}) {
    EXPECT_EQ(run.parent_path().parent_path(), folder);
    // "<program>-<pid>-" and six characters of mkdtemp's.
    const std::string name = run.parent_path().filename().string();
    const std::string prefix = system.ProgramFile().filename().string() + "-" + std::to_string(getpid()) + "-";
    EXPECT_EQ(name.rfind(prefix, 0), 0u) << run;
    EXPECT_EQ(name.size(), prefix.size() + 6) << run;
    EXPECT_EQ(fs::status(run).permissions(), fs::perms::owner_all);
  }
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
  // The runtime folder, when the session has one, takes its place.
  setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  EXPECT_EQ(system.CreateExtractionFolder().parent_path().parent_path(), dir / "lumevra");
}

// What another user could plant where the private folder goes in a shared
// temporary folder is refused, and nothing is written through it: not the
// extraction, not the lock.
TEST_F(LinuxSystemTest, APlantedPrivateFolderIsRefused) {
  const struct {
    const char* what;
    const char* message;  // part of the refusal
  } cases[] = {
      {"link", "it is a link or a file, not a folder"},
      {"file", "it is a link or a file, not a folder"},
      {"open folder", "other users have access to it"},
      {"stranger's folder", "it belongs to another user"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path tmp = dir / c.what;
    const fs::path folder = UseTemporaryFolder(tmp);
    const fs::path target = tmp / "target";
    fs::create_directory(target);
    const std::string what = c.what;
    if (what == "link") {
      fs::create_directory_symlink(target, folder);
    } else if (what == "file") {
      test::WriteFile(folder, "");
    } else {
      fs::create_directory(folder);
      chmod(folder.c_str(), what == "open folder" ? 0777 : 0700);
      if (what == "stranger's folder" && chown(folder.c_str(), geteuid() == 0 ? 65534 : 0, 0) != 0) {
        std::cout << "skipped: only root can give a folder away\n";
        continue;
      }
    }
    try {
      system.CreateExtractionFolder();
      ADD_FAILURE() << "used";
    } catch (const IoError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to use the folder " + folder.string() + ": " + c.message);
    }
    EXPECT_EQ(system.CreateInstanceGuard("G"), nullptr);
    EXPECT_TRUE(fs::is_empty(target));
    if (fs::is_directory(fs::symlink_status(folder))) {
      EXPECT_TRUE(fs::is_empty(folder));
    }
  }
}

// A runtime folder that is not the user's own (inherited through su or
// sudo -E) is passed over for the temporary folder; a temporary folder open
// to everyone without the sticky bit is refused.
TEST_F(LinuxSystemTest, OnlyTheUsersOwnRuntimeFolderAndASafeParentAreUsed) {
  const fs::path folder = UseTemporaryFolder(dir / "tmp");
  fs::create_directory(dir / "run");
  chmod((dir / "run").c_str(), 0755);
  setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
  EXPECT_EQ(PrivateFolderPath(), folder);
  chmod((dir / "run").c_str(), 0700);
  EXPECT_EQ(PrivateFolderPath(), dir / "run" / "lumevra");

  if (geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  unsetenv("XDG_RUNTIME_DIR");
  fs::create_directory(dir / "open");
  chmod((dir / "open").c_str(), 0777);
  ASSERT_EQ(chown((dir / "open").c_str(), 65534, 65534), 0);
  setenv("TMPDIR", (dir / "open").c_str(), 1);
  try {
    system.CreateExtractionFolder();
    ADD_FAILURE() << "used";
  } catch (const IoError& e) {
    EXPECT_NE(std::string(e.what()).find("open to everyone without the sticky bit"), std::string::npos) << e.what();
  }
  chmod((dir / "open").c_str(), 01777);  // sticky, as /tmp is: fine
  EXPECT_TRUE(fs::is_directory(system.CreateExtractionFolder()));
}

// A crashed run's folder (its process is gone) is removed at the next
// start; a running one's and anything else stay.
TEST_F(LinuxSystemTest, LeftoversOfEndedRunsAreRemoved) {
  const fs::path folder = OpenPrivateFolder(UseTemporaryFolder(dir / "tmp"));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);  // its id now names no process
  const fs::path ended = folder / ("Demo.scr-" + std::to_string(child) + "-a1B2c3");
  const fs::path running = folder / ("Demo.scr-" + std::to_string(getppid()) + "-d4E5f6");
  fs::create_directories(ended / "sub");
  test::WriteFile(ended / "KAHeader.dat", "stale");
  fs::create_directories(running);
  test::WriteFile(folder / "notes-1-2", "not a run folder");
  test::WriteFile(folder / "G.lock", "");

  const fs::path run = system.CreateExtractionFolder();
  EXPECT_FALSE(fs::exists(ended));
  EXPECT_TRUE(fs::exists(running));
  EXPECT_TRUE(fs::exists(folder / "notes-1-2"));
  EXPECT_TRUE(fs::exists(folder / "G.lock"));
  EXPECT_TRUE(fs::is_directory(run));
}

TEST_F(LinuxSystemTest, ALinkInTheLocksPlaceIsNotFollowed) {
  const fs::path folder = OpenPrivateFolder(UseTemporaryFolder(dir / "tmp"));
  test::WriteFile(dir / "victim.txt", "precious");
  fs::create_symlink(dir / "victim.txt", folder / "G.lock");
  EXPECT_EQ(system.CreateInstanceGuard("G"), nullptr);
  EXPECT_EQ(test::ReadFile(dir / "victim.txt"), "precious");
}

TEST_F(LinuxSystemTest, UserSettingsFolderFromTheEnvironment) {
  setenv("XDG_CONFIG_HOME", "/data/config", 1);
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(system.UserSettingsFolder(), fs::path("/data/config/lumevra"));
  setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: ignored
  EXPECT_EQ(system.UserSettingsFolder(), fs::path("/home/someone/.config/lumevra"));
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(system.UserSettingsFolder(), fs::path("/home/someone/.config/lumevra"));
}

TEST_F(LinuxSystemTest, UnusableLockFileMeansNoGuard) {
  const fs::path folder = OpenPrivateFolder(UseTemporaryFolder(dir / "tmp"));
  fs::create_directory(folder / "G.lock");  // not a file: no lock
  EXPECT_EQ(system.CreateInstanceGuard("G"), nullptr);
}

TEST_F(LinuxSystemTest, DocumentsFolderFromTheEnvironment) {
  const char* xdg = std::getenv("XDG_DOCUMENTS_DIR");
  const std::optional<std::string> savedXdg = xdg ? std::optional<std::string>(xdg) : std::nullopt;
  setenv("XDG_DOCUMENTS_DIR", "/data/docs", 1);
  EXPECT_EQ(system.DocumentsFolder(), std::filesystem::path("/data/docs"));
  unsetenv("XDG_DOCUMENTS_DIR");
  if (const char* home = std::getenv("HOME")) {
    EXPECT_EQ(system.DocumentsFolder(), std::filesystem::path(home) / "Documents");
  }
  if (savedXdg) setenv("XDG_DOCUMENTS_DIR", savedXdg->c_str(), 1);
}

}  // namespace
}  // namespace lumevra
