#include <gtest/gtest.h>

#include <filesystem>

#include "authoring/PackageWriter.h"
#include "base/Ini.h"
#include "package/PackageExtractor.h"
#include "package/Project.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

// A package whose header names `names` (entry i under "Res" + i), with the
// given contents for entries 1.. (entry 0 is the header itself).
fs::path WriteSaver(const fs::path& file, const std::vector<std::string>& names,
                    const std::vector<std::string>& contents, const std::string& extraHeader = "") {
  Ini header;
  header.WriteInteger("Header", "ResCount", static_cast<int32_t>(names.size()));
  for (size_t i = 0; i < names.size(); ++i)
    header.WriteString("Header", "Res" + std::to_string(i), names[i]);
  std::string text = header.GetText();
  if (!extraHeader.empty()) {
    Ini extra(header.GetText() + extraHeader);
    text = extra.GetText();
  }
  PackageWriter w;
  w.AddBytes(text);
  for (const std::string& c : contents) w.AddBytes(c);
  test::WriteFile(file, "MZ runtime image");
  w.WriteFile(file, file);
  return file;
}

TEST(ExtractResources, ExtractsIntoTheProgramsFolderAndDeletesAgain) {
  test::TempFolder tmp;
  Project project;
  const fs::path saver = WriteSaver(tmp / "MySaver.scr",
                                    {"KAHeader.dat", "KATemp.kap", "music.mp3", "sound0.wav"},
                                    {"project", "mp3 bytes", "wave"},
                                    "[Header]\nMusic=1\nMusicFile=C:\\My Music\\song.MP3\n"
                                    "MusicVolume=40\nSoundVolume=0x20\n");
  const ResourceSet set = ExtractResources(saver, CreateFreshFolder(tmp / "temp" / "MySaver.scr"), project);
  EXPECT_EQ(set.TempDir, tmp / "temp" / "MySaver.scr" / "");
  ASSERT_EQ(set.ResFiles.size(), 4u);
  EXPECT_EQ(set.ProjectFile, set.TempDir / "KATemp.kap");
  EXPECT_EQ(test::ReadFile(set.ProjectFile), "project");
  EXPECT_EQ(test::ReadFile(set.TempDir / "sound0.wav"), "wave");
  EXPECT_TRUE(set.Music);
  EXPECT_EQ(set.MusicFile, set.TempDir / "music.MP3");
  EXPECT_EQ(set.MusicVolume, 40);
  EXPECT_EQ(set.SoundVolume, 32);
  EXPECT_EQ(set.Created.size(), 4u);  // the header only once

  DeleteResources(set);
  EXPECT_FALSE(fs::exists(set.TempDir.parent_path()));
  EXPECT_TRUE(fs::exists(tmp / "temp"));
}

TEST(ExtractResources, HeaderDefaultsAndTooFewNames) {
  test::TempFolder tmp;
  Project project;
  const fs::path saver = WriteSaver(tmp / "a.scr", {"KAHeader.dat"}, {"project"});
  fs::create_directories(tmp / "out");
  const ResourceSet set = ExtractResourcesInto(saver, tmp / "out");
  EXPECT_TRUE(set.ProjectFile.empty());  // "ResCount" below 2: no project
  EXPECT_FALSE(set.Music);
  EXPECT_EQ(set.MusicFile, tmp / "out" / "music");
  EXPECT_EQ(set.MusicVolume, 100);
  EXPECT_EQ(set.SoundVolume, 100);
  EXPECT_FALSE(fs::exists(tmp / "out" / "KATemp.kap"));

  // A file without a package: an empty header, nothing extracted.
  test::WriteFile(tmp / "bare.scr", "no package");
  fs::create_directories(tmp / "out2");
  const ResourceSet none = ExtractResourcesInto(tmp / "bare.scr", tmp / "out2");
  EXPECT_TRUE(none.ResFiles.empty());
  EXPECT_TRUE(none.Created.empty());
}

TEST(ExtractResources, RefusesNamesThatLeaveTheFolder) {
  test::TempFolder tmp;
  Project project;
  const std::vector<std::string> unsafe = {
      "..\\..\\evil.dll", "../evil.txt", "/tmp/abs.txt", "C:evil.txt", "sub/x.txt",
      "sub\\x.txt", "..", ".", ""};
  for (const std::string& bad : unsafe) {
    SCOPED_TRACE(bad);
    fs::create_directories(tmp / "deep" / "out");
    const fs::path saver = WriteSaver(tmp / "s.scr", {"KAHeader.dat", "KATemp.kap", bad, "obj1.png"},
                                      {"project", "payload", "picture"});
    const ResourceSet set = ExtractResourcesInto(saver, tmp / "deep" / "out");
    ASSERT_EQ(set.ResFiles.size(), 4u);
    EXPECT_TRUE(set.ResFiles[2].empty());
    // The refused entry is consumed: the next one lands whole.
    EXPECT_EQ(test::ReadFile(tmp / "deep" / "out" / "obj1.png"), "picture");
    EXPECT_EQ(set.Created.size(), 3u);
    DeleteResources(set);
  }
  EXPECT_FALSE(fs::exists(tmp / "deep" / "evil.txt"));
  EXPECT_FALSE(fs::exists(tmp / "evil.txt"));
  EXPECT_FALSE(fs::exists(tmp / "deep" / "out" / "sub"));
  EXPECT_TRUE(IsBareFileName("sound0.wav"));
  EXPECT_TRUE(IsBareFileName("..hidden"));
  EXPECT_FALSE(IsBareFileName(std::string("a\0b", 3)));
}

// Names Windows would take for a device, or for another file, are no bare
// file names on any platform: a package is the same file everywhere.
TEST(IsBareFileName, DeviceNamesAndTrailingDotsOrBlanksAreRefused) {
  for (const char* name : {"NUL", "nul.wav", "Con", "CON .gif", "prn.txt", "AUX", "com1.gif", "LPT9", "conin$",
                           "a.wav.", "a.wav ", "obj1."})
    EXPECT_FALSE(IsBareFileName(name)) << name;
  for (const char* name : {"sound0.wav", "console.wav", "com10.gif", "COM.gif", "nul_a.wav", "a.b.c", "LPTX.png"})
    EXPECT_TRUE(IsBareFileName(name)) << name;
}

TEST(ExtractResources, MissingKeysAndAHugeResCount) {
  test::TempFolder tmp;
  Project project;
  PackageWriter w;
  w.AddBytes("[Header]\r\nResCount=2000000000\r\nRes0=KAHeader.dat\r\nRes1=p.kap\r\nRes3=obj1.gif\r\n");
  w.AddBytes("project");
  w.AddBytes("unnamed");
  w.AddBytes("gif");
  w.WriteFile(tmp / "s.scr");
  fs::create_directories(tmp / "out");
  const ResourceSet set = ExtractResourcesInto(tmp / "s.scr", tmp / "out");
  ASSERT_EQ(set.ResFiles.size(), 4u);  // nothing past the last named entry
  EXPECT_TRUE(set.ResFiles[2].empty());
  EXPECT_EQ(test::ReadFile(tmp / "out" / "obj1.gif"), "gif");
  EXPECT_EQ(test::ReadFile(set.ProjectFile), "project");
}

// A header naming a very high entry, with a count to match, names no more
// entries than the package holds, and a lying entry count is bounded by the
// room left in the file (the list of names stays small, no huge allocation).
TEST(ExtractResources, AHighResKeyNamesNoMoreEntriesThanThePackageHolds) {
  test::TempFolder tmp;
  PackageWriter w;
  w.AddBytes("[Header]\r\nResCount=2000000000\r\nRes0=KAHeader.dat\r\nRes1=p.kap\r\nRes1999999999=x.gif\r\n");
  w.AddBytes("project");
  w.WriteFile(tmp / "s.scr");
  EXPECT_EQ(EntriesInPackage(tmp / "s.scr"), 2);
  fs::create_directories(tmp / "out");
  const ResourceSet set = ExtractResourcesInto(tmp / "s.scr", tmp / "out");
  EXPECT_EQ(set.ResFiles.size(), 2u);
  EXPECT_EQ(test::ReadFile(set.ProjectFile), "project");

  // EntryCount says two billion; twelve bytes follow it.
  std::string lying = test::ReadFile(tmp / "s.scr");
  const auto location = FindPackage(tmp / "s.scr");
  ASSERT_TRUE(location);
  lying.resize(static_cast<size_t>(location->offset));
  lying += std::string("\x00\x94\x35\x77", 4) + std::string(12, '\0');
  test::WriteFile(tmp / "lying.scr", lying);
  EXPECT_EQ(EntriesInPackage(tmp / "lying.scr"), 3);
  EXPECT_EQ(EntriesInPackage(tmp / "missing.scr"), 0);
}

TEST(DeleteResources, RemovesOnlyWhatItCreated) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need privileges on Windows";
#endif
  test::TempFolder tmp;
  Project project;
  const fs::path saver = WriteSaver(tmp / "s.scr", {"KAHeader.dat", "KATemp.kap"}, {"project"});
  test::WriteFile(tmp / "victim.txt", "precious");
  const ResourceSet set = ExtractResources(saver, CreateFreshFolder(tmp / "temp" / "s.scr"), project);
  // Something else put a file and a link into the folder.
  test::WriteFile(set.TempDir / "foreign.txt", "not ours");
  fs::create_symlink(tmp / "victim.txt", set.TempDir / "link");
  EXPECT_THROW(DeleteResources(set), IoError);  // the folder is not empty
  EXPECT_EQ(test::ReadFile(set.TempDir / "foreign.txt"), "not ours");
  EXPECT_EQ(test::ReadFile(tmp / "victim.txt"), "precious");
  EXPECT_FALSE(fs::exists(set.ProjectFile));
  fs::remove(set.TempDir / "foreign.txt");
  fs::remove(set.TempDir / "link");
  DeleteResources(set);  // a second pass: missing files are passed over
  EXPECT_FALSE(fs::exists(set.TempDir.parent_path()));
}

// What an earlier run left in the folder's place: its folder is emptied, a
// link is removed without touching what it points to, a plain file is not
// ours to remove.
TEST(CreateFreshFolder, ClearsAnEarlierRunsLeftoversAndRefusesAFile) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need privileges on Windows";
#endif
  test::TempFolder tmp;
  fs::create_directories(tmp / "elsewhere");
  fs::create_directories(tmp / "temp" / "crashed.scr" / "sub");
  test::WriteFile(tmp / "elsewhere" / "precious.txt", "keep");
  test::WriteFile(tmp / "temp" / "crashed.scr" / "KAHeader.dat", "stale");
  test::WriteFile(tmp / "temp" / "crashed.scr" / "sub" / "obj0.gif", "stale");
  EXPECT_EQ(CreateFreshFolder(tmp / "temp" / "crashed.scr"), tmp / "temp" / "crashed.scr" / "");
  EXPECT_TRUE(fs::is_directory(tmp / "temp" / "crashed.scr"));
  EXPECT_TRUE(fs::is_empty(tmp / "temp" / "crashed.scr"));

  fs::create_directory_symlink(tmp / "elsewhere", tmp / "temp" / "linked.scr");
  CreateFreshFolder(tmp / "temp" / "linked.scr");
  EXPECT_FALSE(fs::is_symlink(tmp / "temp" / "linked.scr"));
  EXPECT_TRUE(fs::is_empty(tmp / "temp" / "linked.scr"));
  EXPECT_EQ(test::ReadFile(tmp / "elsewhere" / "precious.txt"), "keep");

  test::WriteFile(tmp / "temp" / "file.scr", "a file where the folder should be");
  EXPECT_THROW(CreateFreshFolder(tmp / "temp" / "file.scr"), IoError);
  EXPECT_EQ(test::ReadFile(tmp / "temp" / "file.scr"), "a file where the folder should be");
}

TEST(FileExtension, TakesTheLastElementsDot) {
  EXPECT_EQ(FileExtension("C:\\Music\\song.mp3"), ".mp3");
  EXPECT_EQ(FileExtension("/home/u/a.b/song"), "");
  EXPECT_EQ(FileExtension("C:\\a.dir\\song"), "");
  EXPECT_EQ(FileExtension("x.tar.gz"), ".gz");
  EXPECT_EQ(FileExtension(""), "");
}

}  // namespace
}  // namespace lumevra
