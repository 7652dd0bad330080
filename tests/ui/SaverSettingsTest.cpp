#include "ui/SaverSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/headless/HeadlessSystem.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

TEST(SaverSettings, FileNameFollowsTheProgram) {
  EXPECT_EQ(SettingsFileName("/a/b/MySaver.scr"), fs::path("/a/b/MySaver.ini"));
  EXPECT_EQ(SettingsFileName("/a/b/Other.scr"), fs::path("/a/b/Other.ini"));
  EXPECT_EQ(SettingsFileName("/a/b/My.Saver.exe"), fs::path("/a/b/My.Saver.ini"));
  EXPECT_EQ(SettingsFileName("/a/b.d/MySaver"), fs::path("/a/b.d/MySaver.ini"));
  EXPECT_EQ(SettingsFileName("/a/.scr"), fs::path("/a/.ini"));
}

TEST(SaverSettings, MissingFileGivesTheDefaults) {
  test::TempFolder dir;
  const fs::path file = dir / "none.ini";
  for (bool headerMusic : {false, true}) {
    const SaverSettings s = ReadSaverSettings(file, headerMusic);
    EXPECT_EQ(s.Speed, 100);
    EXPECT_TRUE(s.Stretch);
    EXPECT_FALSE(s.Proportional);
    EXPECT_TRUE(s.Sound);
    EXPECT_EQ(s.Music, headerMusic);
    EXPECT_FALSE(s.ShowClock);
    EXPECT_EQ(s.ClockPos, 1);
  }
  EXPECT_TRUE(ReadDialogSettings(file).Music);  // the dialog shows the box ticked
  EXPECT_FALSE(fs::exists(file));              // reading never creates it
}

TEST(SaverSettings, ReadsValuesAndFallsBackPerKey) {
  test::TempFolder dir;
  const fs::path file = dir / "s.ini";
  test::WriteFile(file,
                  "[config]\r\nspeed=75\r\nStretch=0\r\nProportional=2\r\nSound=no\r\n"
                  "ShowClock=1\r\nClockPos=259\r\n");
  const SaverSettings saver = ReadSaverSettings(file, false);
  EXPECT_EQ(saver.Speed, 75);
  EXPECT_FALSE(saver.Stretch);
  EXPECT_TRUE(saver.Proportional);
  EXPECT_TRUE(saver.Sound);    // malformed: the default
  EXPECT_FALSE(saver.Music);   // missing: the header's value
  EXPECT_TRUE(saver.ShowClock);
  EXPECT_EQ(saver.ClockPos, 3);  // the saver keeps a byte
  EXPECT_EQ(ReadDialogSettings(file).ClockPos, 259);
}

TEST(SaverSettings, WritesAllKeysInOrderKeepingTheRest) {
  test::TempFolder dir;
  const fs::path file = dir / "s.ini";
  test::WriteFile(file,
                  "; written by hand\r\n[Other]\r\nKeep=me\r\n\r\n[Config]\r\n; the clock\r\nShowClock=1\r\n"
                  "Extra=x\r\n");
  SaverSettings s;
  s.Speed = 10;
  s.Stretch = false;
  s.ClockPos = 2;
  WriteSettings(file, s);
  // Every other line as it was; a known key changes in place, the others
  // follow the section's last key.
  EXPECT_EQ(test::ReadFile(file),
            "; written by hand\r\n[Other]\r\nKeep=me\r\n\r\n[Config]\r\n; the clock\r\nShowClock=0\r\n"
            "Extra=x\r\nSpeed=10\r\nStretch=0\r\nProportional=0\r\nSound=1\r\nMusic=1\r\nClockPos=2\r\n"
            "AllMonitors=1\r\n");

  fs::remove(file);
  WriteSettings(file, s);
  EXPECT_EQ(test::ReadFile(file),
            "[Config]\r\nSpeed=10\r\nStretch=0\r\nProportional=0\r\nSound=1\r\nMusic=1\r\n"
            "ClockPos=2\r\nShowClock=0\r\nAllMonitors=1\r\n\r\n");
  const SaverSettings back = ReadDialogSettings(file);
  EXPECT_EQ(back.Speed, 10);
  EXPECT_FALSE(back.Stretch);
  EXPECT_EQ(back.ClockPos, 2);
}

// Where the dialog writes and the saver reads: whatever the files and the
// folder allow, the reading follows the last writing.
TEST(SaverSettings, ReadsWhereTheDialogWrites) {
  const struct {
    const char* name;
    bool besideExists, besideWritable, userExists;
    bool readsBeside, writesBeside;
  } cases[] = {
      {"a new portable copy", false, true, false, true, true},
      {"a new installed copy", false, false, false, true, false},  // nothing to read: the defaults
      {"an existing install", true, true, false, true, true},
      {"a copy whose user file is older", true, true, true, true, true},
      {"shipped read-only, never saved", true, false, false, true, false},
      {"shipped read-only, saved by the user", true, false, true, false, false},
      {"saved by the user, now writable", false, true, true, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder dir;
    HeadlessSystem system;
    system.programFile = dir / "programs" / "Sea.scr";
    system.userSettingsFolder = dir / "config";
    fs::create_directories(dir / "programs");
    if (!c.besideWritable) system.readOnlyFolders = {dir / "programs"};
    const fs::path beside = dir / "programs" / "Sea.ini";
    const fs::path user = dir / "config" / "Sea.ini";
    if (c.besideExists) test::WriteFile(beside, "[Config]\n");
    if (c.userExists) {
      fs::create_directories(dir / "config");
      test::WriteFile(user, "[Config]\n");
    }
    EXPECT_EQ(SettingsFileToRead(system), c.readsBeside ? beside : user);
    EXPECT_EQ(SettingsFileToWrite(system), c.writesBeside ? beside : user);
    // After a write, the reading finds it.
    const fs::path written = SettingsFileToWrite(system);
    WriteSettings(written, SaverSettings{}, SettingsFileToRead(system));
    EXPECT_EQ(SettingsFileToRead(system), written);
  }
  // No user folder at all: beside the program, whatever it allows.
  HeadlessSystem bare;
  bare.programFile = "/opt/savers/Sea.scr";
  bare.readOnlyFolders = {"/opt/savers"};
  EXPECT_EQ(SettingsFileToWrite(bare), fs::path("/opt/savers/Sea.ini"));
  EXPECT_EQ(SettingsFileToRead(bare), fs::path("/opt/savers/Sea.ini"));
}

// A settings file that is there but cannot be read (here a folder in its
// place) is not replaced by one holding only the eight keys.
TEST(SaverSettings, AnUnreadableFileIsNotOverwritten) {
  test::TempFolder dir;
  const fs::path file = dir / "s.ini";
  fs::create_directory(file);
  test::WriteFile(file / "inside", "kept");
  EXPECT_THROW(WriteSettings(file, SaverSettings{}), SettingsWriteError);
  EXPECT_EQ(test::ReadFile(file / "inside"), "kept");
}

TEST(SaverSettings, RefusedWriteNamesTheFile) {
  test::TempFolder dir;
  test::WriteFile(dir / "a-file", "");
  const fs::path file = dir / "a-file" / "s.ini";  // a folder that cannot be made
  try {
    WriteSettings(file, SaverSettings{});
    FAIL() << "no error";
  } catch (const SettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + file.string());
  }
}

}  // namespace
}  // namespace lumevra
