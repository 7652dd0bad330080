#include "ui/SharedFolders.h"

#include <gtest/gtest.h>

#include "platform/headless/HeadlessSystem.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

OsVersionInfo Version(uint32_t family, uint32_t major, uint32_t minor, std::string sp = "") {
  return OsVersionInfo{family, major, minor, std::move(sp)};
}

TEST(SharedFolders, WindowsVersionCodes) {
  const uint32_t W9 = OsVersionInfo::Win9x, NT = OsVersionInfo::WinNT;
  const std::pair<std::optional<OsVersionInfo>, int> cases[] = {
      {std::nullopt, 0},
      {Version(W9, 4, 0), 1},
      {Version(W9, 4, 10), 2},
      {Version(W9, 4, 10, " B"), 2},
      {Version(W9, 4, 10, " A "), 3},
      {Version(W9, 4, 10, "A"), 2},  // the second character counts
      {Version(W9, 4, 90), 5},
      {Version(W9, 4, 3), 0},
      {Version(NT, 3, 51), 4},
      {Version(NT, 4, 0), 4},
      {Version(NT, 5, 0), 6},
      {Version(NT, 5, 1), 7},
      {Version(NT, 5, 2), 0},
      {Version(NT, 6, 0), 8},
      {Version(NT, 6, 3), 8},
      {Version(NT, 7, 0), 9},
      {Version(NT, 10, 0), 0},
      {Version(0, 6, 0), 0},
  };
  for (const auto& [v, code] : cases) {
    HeadlessSystem system;
    system.osVersion = v;
    EXPECT_EQ(GetWindowsVersionCode(system), code)
        << (v ? std::to_string(v->family) + " " + std::to_string(v->major) + "." + std::to_string(v->minor) : "none");
  }
}

TEST(SharedFolders, OlderLayoutUsesProgramFiles) {
  HeadlessSystem system;
  system.osVersion = Version(OsVersionInfo::WinNT, 5, 1);  // code 7
  system.programFile = "/apps/savers/MySaver.scr";
  system.programFilesValue = fs::path("/progs");
  system.documentsFolder = fs::path("/home/u/Documents");
  EXPECT_EQ(GetProgramFilesFolder(system), fs::path("/progs/"));
  EXPECT_EQ(GetCommonFolder(system), fs::path("/progs/Brandel/Common/"));
  EXPECT_EQ(GetSharedImagesFolder(system) / "sun.png", fs::path("/progs/Brandel/Common/images/sun.png"));
  EXPECT_EQ(GetStudioDataFolder(system), fs::path("/apps/savers/"));
}

TEST(SharedFolders, NewerLayoutUsesDocuments) {
  HeadlessSystem system;
  system.programFile = "/apps/savers/MySaver.scr";
  system.programFilesValue = fs::path("/progs/");
  system.documentsFolder = fs::path("/home/u/Documents/");
  for (uint32_t major : {6u, 7u}) {
    system.osVersion = Version(OsVersionInfo::WinNT, major, 1);
    EXPECT_EQ(GetDocumentsFolder(system), fs::path("/home/u/Documents"));
    EXPECT_EQ(GetCommonFolder(system), fs::path("/home/u/Documents/Brandel/"));
    EXPECT_EQ(GetStudioDataFolder(system), fs::path("/home/u/Documents/Brandel/"));
  }
}

TEST(SharedFolders, ProgramFilesFallbackCutsTheStudioFolder) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX paths; Windows separators differ";
#endif
  HeadlessSystem system;  // no program-files value, no version: as off Windows
  system.programFile = "/opt/lumevrastudio/savers/MySaver.scr";
  EXPECT_EQ(GetProgramFilesFolder(system), fs::path("/opt/savers/"));
  EXPECT_EQ(GetCommonFolder(system), fs::path("/opt/savers/Brandel/Common/"));
  system.programFile = "/opt/LumevraStudio/MySaver.scr";
  EXPECT_EQ(GetProgramFilesFolder(system), fs::path("/opt/"));
  system.programFile = "/opt/LumevraStudioX/MySaver.scr";  // not the folder itself
  EXPECT_EQ(GetProgramFilesFolder(system), fs::path("/opt/LumevraStudioX/"));
}

TEST(SharedFolders, StudioConfigTouchesNoFileUntilRead) {
  test::TempFolder dir;
  HeadlessSystem system;
  system.programFile = dir / "MySaver.scr";
  StudioSettings config(system);
  EXPECT_EQ(config.FileName(), dir / "LVStudio.ini");
  EXPECT_FALSE(fs::exists(config.FileName()));
  test::WriteFile(config.FileName(), "[Studio]\nLanguage=7\n");
  EXPECT_EQ(config.Settings().ReadInteger("Studio", "Language", 0), 7);
}

}  // namespace
}  // namespace lumevra
