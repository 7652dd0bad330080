#include <gtest/gtest.h>

#include <filesystem>

#include "authoring/PackageWriter.h"
#include "package/PackageExtractor.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

class ExtractPackageTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::WriteFile(dir / "runtime.bin", std::string(3000, 'R'));  // stands for the executable
    PackageWriter w;
    w.AddBytes("header");
    w.AddBytes("");                      // an empty entry
    w.AddBytes(std::string(2500, 'P'));  // longer than a copy chunk
    w.AddBytes("last");
    w.WriteFile(package, dir / "runtime.bin");
  }
  std::vector<fs::path> Names(int n) {
    std::vector<fs::path> names;
    for (int i = 0; i < n; ++i) names.push_back(dir / ("e" + std::to_string(i)));
    return names;
  }

  test::TempFolder dir;
  fs::path package = dir / "saver.scr";
};

TEST_F(ExtractPackageTest, WritesEachNamedEntry) {
  const auto created = ExtractPackage(package, Names(4));
  EXPECT_EQ(created, Names(4));
  EXPECT_EQ(test::ReadFile(dir / "e0"), "header");
  EXPECT_EQ(test::ReadFile(dir / "e1"), "");
  EXPECT_EQ(test::ReadFile(dir / "e2"), std::string(2500, 'P'));
  EXPECT_EQ(test::ReadFile(dir / "e3"), "last");
  EXPECT_EQ(test::ReadFile(package).substr(0, 3000), std::string(3000, 'R'));
}

TEST_F(ExtractPackageTest, NameListShorterOrLongerThanTheCount) {
  EXPECT_EQ(ExtractPackage(package, Names(2)).size(), 2u);
  EXPECT_FALSE(fs::exists(dir / "e2"));
  test::TempFolder other;
  std::vector<fs::path> many;
  for (int i = 0; i < 6; ++i) many.push_back(other / ("m" + std::to_string(i)));
  EXPECT_EQ(ExtractPackage(package, many).size(), 4u);
  EXPECT_EQ(test::ReadFile(other / "m3"), "last");
  EXPECT_FALSE(fs::exists(other / "m4"));
}

TEST_F(ExtractPackageTest, UnwritableOrUnnamedEntriesAreStillConsumed) {
  auto names = Names(4);
  names[1] = fs::path();                       // no usable name
  names[2] = dir / "no-such-folder" / "e2";    // cannot be created
  const auto created = ExtractPackage(package, names);
  EXPECT_EQ(created, (std::vector<fs::path>{names[0], names[3]}));
  EXPECT_EQ(test::ReadFile(dir / "e3"), "last");
}

TEST_F(ExtractPackageTest, ReplacesAnExistingFileButNotALinksTarget) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need privileges on Windows";
#endif
  test::WriteFile(dir / "outside", "keep me");
  fs::create_symlink(dir / "outside", dir / "e0");
  test::WriteFile(dir / "e1", "old longer content");
  ExtractPackage(package, Names(2));
  EXPECT_EQ(test::ReadFile(dir / "outside"), "keep me");
  EXPECT_FALSE(fs::is_symlink(dir / "e0"));
  EXPECT_EQ(test::ReadFile(dir / "e0"), "header");
  EXPECT_EQ(test::ReadFile(dir / "e1"), "");
}

TEST_F(ExtractPackageTest, CutShortPackageEndsTheEntryAndEmptiesTheRest) {
  const auto full = fs::file_size(package);
  fs::resize_file(package, full - 4 - 4 - 1000);  // into the middle of entry 2
  ExtractPackage(package, Names(4));
  EXPECT_EQ(test::ReadFile(dir / "e0"), "header");
  EXPECT_EQ(test::ReadFile(dir / "e2"), std::string(1500, 'P'));
  EXPECT_EQ(test::ReadFile(dir / "e3"), "");
}

TEST(ExtractPackage, CountsOfZeroOrLessAndNegativeSizes) {
  test::TempFolder dir;
  const std::string marker = PackageWriter::StoredMarker();
  using test::Int32Le;
  test::WriteFile(dir / "zero", marker + Int32Le(0) + Int32Le(1) + "x");
  test::WriteFile(dir / "negative", marker + Int32Le(-1) + Int32Le(1) + "x");
  EXPECT_TRUE(ExtractPackage(dir / "zero", {dir / "a"}).empty());
  EXPECT_TRUE(ExtractPackage(dir / "negative", {dir / "a"}).empty());
  EXPECT_FALSE(fs::exists(dir / "a"));

  // A negative entry size gives an empty file, and reading goes on after it.
  test::WriteFile(dir / "negsize", marker + Int32Le(2) + Int32Le(-2) + Int32Le(2) + "ok");
  ExtractPackage(dir / "negsize", {dir / "a", dir / "b"});
  EXPECT_EQ(test::ReadFile(dir / "a"), "");
  EXPECT_EQ(test::ReadFile(dir / "b"), "ok");

  // No package at all: nothing is written.
  test::WriteFile(dir / "plain", "no package here");
  EXPECT_TRUE(ExtractPackage(dir / "plain", {dir / "c"}).empty());
  EXPECT_FALSE(fs::exists(dir / "c"));
}

}  // namespace
}  // namespace lumevra
