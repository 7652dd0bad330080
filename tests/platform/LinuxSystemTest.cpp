#include "platform/linux/LinuxSystem.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "support/TestFiles.h"

namespace lumevra {
namespace {

class LinuxSystemTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (const char* v = std::getenv("XDG_RUNTIME_DIR")) saved_ = v;
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  }
  void TearDown() override {
    if (saved_) setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
  }
  test::TempFolder dir;
  std::optional<std::string> saved_;
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
  EXPECT_EQ(system.GuardFile("G"), dir / "G.lock");
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

TEST_F(LinuxSystemTest, UnusableLockFileMeansNoGuard) {
  setenv("XDG_RUNTIME_DIR", (dir.path() / "missing").c_str(), 1);
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
