#include <gtest/gtest.h>

#include <filesystem>

#include "authoring/PackageWriter.h"
#include "support/TestFiles.h"
#include "tools/ScrtoolRun.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

using test::Quote;

class ScrtoolTest : public ::testing::Test {
protected:
  int Tool(const std::string& args, std::string& out) { return test::Scrtool(args, out, false); }
  test::TempFolder dir;
};

TEST_F(ScrtoolTest, InfoDescribesAPackageOnAnyFile) {
  test::WriteFile(dir / "photo.jpg", std::string(1234, '\xFF'));
  PackageWriter w;
  const std::string header =
      "[Header]\r\nResCount=3\r\nRes0=KAHeader.dat\r\nRes1=KATemp.kap\r\nRes2=music.mp3\r\n"
      "MusicFile=C:\\Caf\xE9\\\"a\".mp3\r\n";
  w.AddBytes(header);
  w.AddBytes("project bytes");
  w.AddBytes("");
  w.WriteFile(dir / "photo.jpg", dir / "photo.jpg");
  const std::string headerSize = std::to_string(header.size());

  std::string out;
  ASSERT_EQ(Tool("info " + Quote(dir / "photo.jpg") + " --json", out), 0);
  EXPECT_EQ(out,
            "{\"package\": {\"offset\": 1247, \"count\": 3, \"header\": {\"ResCount\": \"3\", "
            "\"Res0\": \"KAHeader.dat\", \"Res1\": \"KATemp.kap\", \"Res2\": \"music.mp3\", "
            "\"MusicFile\": \"C:\\\\Caf\xC3\xA9\\\\\\\"a\\\".mp3\"}, \"entries\": [{\"index\": 0, \"size\": " +
                headerSize + "}, {\"index\": 1, \"size\": 13}, {\"index\": 2, \"size\": 0}]}, "
                "\"project\": {\"load_ok\": false, \"error\": \"Incorrect Project File!\", " +
                out.substr(out.find("\"title\"")));

  ASSERT_EQ(Tool("info " + Quote(dir / "photo.jpg"), out), 0);
  EXPECT_NE(out.find("entry 1: 13 bytes"), std::string::npos) << out;
}

TEST_F(ScrtoolTest, InfoWithoutPackageOrFile) {
  test::WriteFile(dir / "plain.txt", "nothing here");
  std::string out;
  ASSERT_EQ(Tool("info --json " + Quote(dir / "plain.txt"), out), 0);
  EXPECT_EQ(out, "{\"package\": null, \"project\": null}\n");
  EXPECT_EQ(Tool("info --json " + Quote(dir / "missing"), out), 1);
  EXPECT_EQ(out, "");
  EXPECT_NE(Tool("frobnicate", out), 0);
}

TEST_F(ScrtoolTest, InfoListsOnlyEntriesPresentInACutShortFile) {
  PackageWriter w;
  w.AddBytes("[Header]\r\nResCount=1\r\n");
  w.AddBytes(std::string(100, 'x'));
  w.AddBytes("gone");
  w.WriteFile(dir / "cut.scr");
  fs::resize_file(dir / "cut.scr", fs::file_size(dir / "cut.scr") - 8 - 50);
  std::string out;
  ASSERT_EQ(Tool("info --json " + Quote(dir / "cut.scr"), out), 0);
  EXPECT_NE(out.find("\"count\": 3"), std::string::npos);
  EXPECT_NE(out.find("{\"index\": 1, \"size\": 100}]"), std::string::npos) << out;
}

TEST_F(ScrtoolTest, ExtractWritesTheHeaderNamesAndRefusesUnsafeOnes) {
  PackageWriter w;
  w.AddBytes("[Header]\r\nResCount=4\r\nRes0=KAHeader.dat\r\nRes1=KATemp.kap\r\nRes2=..\\escape.txt\r\n"
             "Res3=sound0.wav\r\n");
  w.AddBytes("project");
  w.AddBytes("evil");
  w.AddBytes("RIFF");
  test::WriteFile(dir / "base.bin", "binary");
  w.WriteFile(dir / "saver.scr", dir / "base.bin");
  std::string out;
  ASSERT_EQ(Tool("extract " + Quote(dir / "saver.scr") + " " + Quote(dir / "out"), out), 0);
  const fs::path o = dir / "out";
  EXPECT_EQ(out, (o / "KAHeader.dat").string() + "\n" + (o / "KATemp.kap").string() + "\n" +
                     (o / "sound0.wav").string() + "\n");
  EXPECT_EQ(test::ReadFile(o / "KATemp.kap"), "project");
  EXPECT_EQ(test::ReadFile(o / "sound0.wav"), "RIFF");
  EXPECT_FALSE(fs::exists(dir / "escape.txt"));
  EXPECT_EQ(Tool("extract " + Quote(dir / "missing.scr") + " " + Quote(o), out), 1);
  EXPECT_NE(Tool("extract onlyone", out), 0);
}

}  // namespace
}  // namespace lumevra
