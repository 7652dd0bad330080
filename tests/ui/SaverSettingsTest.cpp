#include "ui/SaverSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

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
  test::WriteFile(file, "[Other]\r\nKeep=me\r\n[Config]\r\nShowClock=1\r\nExtra=x\r\n");
  SaverSettings s;
  s.Speed = 10;
  s.Stretch = false;
  s.ClockPos = 2;
  WriteSettings(file, s);
  EXPECT_EQ(test::ReadFile(file),
            "[Other]\r\nKeep=me\r\n\r\n"
            "[Config]\r\nShowClock=0\r\nExtra=x\r\nSpeed=10\r\nStretch=0\r\nProportional=0\r\n"
            "Sound=1\r\nMusic=1\r\nClockPos=2\r\n\r\n");

  fs::remove(file);
  WriteSettings(file, s);
  EXPECT_EQ(test::ReadFile(file),
            "[Config]\r\nSpeed=10\r\nStretch=0\r\nProportional=0\r\nSound=1\r\nMusic=1\r\n"
            "ClockPos=2\r\nShowClock=0\r\n\r\n");
  const SaverSettings back = ReadDialogSettings(file);
  EXPECT_EQ(back.Speed, 10);
  EXPECT_FALSE(back.Stretch);
  EXPECT_EQ(back.ClockPos, 2);
}

TEST(SaverSettings, RefusedWriteNamesTheFile) {
  test::TempFolder dir;
  const fs::path file = dir / "missing-folder" / "s.ini";
  try {
    WriteSettings(file, SaverSettings{});
    FAIL() << "no error";
  } catch (const SettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + file.string());
  }
}

}  // namespace
}  // namespace lumevra
