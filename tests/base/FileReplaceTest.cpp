#include "base/FileReplace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "base/FileAccess.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

// The names in a folder, sorted: a temporary file left behind shows up here.
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ReplaceFileContents, WritesTheNewBytesAndLeavesNothingElse) {
  struct Case {
    const char* name;
    std::optional<std::string> old;
    std::string bytes;
  };
  const Case cases[] = {
      {"new file", std::nullopt, "[A]\r\nx=1\r\n"},
      {"shorter than the old", std::string("a much longer old text\n"), "new"},
      {"empty", std::string("old"), ""},
      {"larger than the old", std::string("old"), std::string(3 << 20, 'z')},
      {"binary bytes", std::string("old"), std::string("\0\xFF\r\n\x1A", 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder dir;
    if (c.old) test::WriteFile(dir / "s.ini", *c.old);
    ReplaceFileContents(dir / "s.ini", c.bytes);
    EXPECT_EQ(test::ReadFile(dir / "s.ini"), c.bytes);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"s.ini"});
  }
}

TEST(ReplaceFileContents, AFailedMoveKeepsTheOldAndRemovesTheTemporary) {
  // A folder in the way of the target cannot be replaced by a file.
  test::TempFolder dir;
  fs::create_directory(dir / "s.ini");
  test::WriteFile(dir / "s.ini" / "inside", "keep");
  EXPECT_THROW(ReplaceFileContents(dir / "s.ini", "new"), std::runtime_error);
  EXPECT_EQ(test::ReadFile(dir / "s.ini" / "inside"), "keep");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"s.ini"});
}

TEST(ReplaceFileContents, AMissingFolderThrowsAndCreatesNothing) {
  test::TempFolder dir;
  EXPECT_THROW(ReplaceFileContents(dir / "missing" / "s.ini", "new"), std::runtime_error);
  EXPECT_TRUE(Names(dir.path()).empty());
}

#ifndef _WIN32

fs::perms Permissions(const fs::path& file) { return fs::status(file).permissions(); }

TEST(ReplaceFileContents, KeepsThePermissionBitsOfTheOldFile) {
  using P = fs::perms;
  for (P perms : {P::owner_read | P::owner_write, P::owner_read | P::owner_write | P::group_read,
                  P::owner_all | P::group_read | P::group_exec | P::others_read}) {
    test::TempFolder dir;
    test::WriteFile(dir / "s.ini", "old");
    fs::permissions(dir / "s.ini", perms);
    ReplaceFileContents(dir / "s.ini", "new");
    EXPECT_EQ(Permissions(dir / "s.ini"), perms);
  }
}

TEST(ReplaceFileContents, ANewFileGetsTheUmasksPermissions) {
  test::TempFolder dir;
  const mode_t previous = ::umask(027);
  ReplaceFileContents(dir / "s.ini", "new");
  ::umask(previous);
  using P = fs::perms;
  EXPECT_EQ(Permissions(dir / "s.ini"), P::owner_read | P::owner_write | P::group_read);
}

TEST(ReplaceFileContents, ALinkStaysALinkToTheNewContents) {
  test::TempFolder dir;
  fs::create_directory(dir / "real");
  test::WriteFile(dir / "real" / "s.ini", "old");
  fs::create_symlink(fs::path("real") / "s.ini", dir / "link.ini");
  ReplaceFileContents(dir / "link.ini", "new");
  EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
  EXPECT_EQ(test::ReadFile(dir / "real" / "s.ini"), "new");
  EXPECT_EQ(Names(dir / "real"), std::vector<std::string>{"s.ini"});
}

// Another user's link beside the program: where it points is their choice,
// so the link itself is replaced and the file it names stays as it was.
TEST(ReplaceFileContents, AnotherUsersLinkIsReplacedNeverFollowed) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a link to another user";
  test::TempFolder dir;
  test::WriteFile(dir / "victim.ini", "[Secret]\nKeep=1\n");
  fs::create_symlink(dir / "victim.ini", dir / "planted.ini");
  ASSERT_EQ(lchown((dir / "planted.ini").c_str(), 65534, 65534), 0);
  EXPECT_TRUE(IsForeignLink(dir / "planted.ini"));
  EXPECT_FALSE(CanReplaceFile(dir / "planted.ini"));
  ReplaceFileContents(dir / "planted.ini", "[Config]\n");
  EXPECT_EQ(test::ReadFile(dir / "victim.ini"), "[Secret]\nKeep=1\n");
  EXPECT_FALSE(fs::is_symlink(dir / "planted.ini"));
  EXPECT_EQ(test::ReadFile(dir / "planted.ini"), "[Config]\n");
  // The user's own link is followed, as before.
  fs::create_symlink(dir / "victim.ini", dir / "mine.ini");
  EXPECT_FALSE(IsForeignLink(dir / "mine.ini"));
  EXPECT_TRUE(CanReplaceFile(dir / "mine.ini"));
}

// A small file size limit makes the write fail with EFBIG partway, as a full
// disk would; unlike a read-only folder it also stops root.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    signal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = old_;
    lowered.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, signal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool active() const { return active_; }

private:
  rlimit old_{};
  void (*signal_)(int) = SIG_DFL;
  bool active_ = false;
};

TEST(ReplaceFileContents, AWriteThatFailsMidwayKeepsTheOldFileWhole) {
  test::TempFolder dir;
  const std::string old = "[Config]\r\nSpeed=50\r\n; hand-written\r\n";
  test::WriteFile(dir / "s.ini", old);
  fs::permissions(dir / "s.ini", fs::perms::owner_read | fs::perms::owner_write);
  {
    FileSizeLimit limit(16 * 1024);
    ASSERT_TRUE(limit.active());
    EXPECT_THROW(ReplaceFileContents(dir / "s.ini", std::string(256 * 1024, 'x')), std::runtime_error);
  }
  EXPECT_EQ(test::ReadFile(dir / "s.ini"), old);
  EXPECT_EQ(Permissions(dir / "s.ini"), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"s.ini"});
}

#endif

}  // namespace
}  // namespace lumevra
