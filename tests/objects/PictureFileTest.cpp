// Picture files of GIF and image objects: a missing file is looked for in
// the shared images folder, and a file there is written by its bare name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "objects/PictureObjects.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

class PictureFile : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(images / "sub");
    test::WriteFile(images / "sun.png", "x");
    test::WriteFile(images / "sub" / "deep.gif", "x");
    test::WriteFile(elsewhere / "moon.gif", "x");
    test::WriteFile(elsewhere / "sun.png", "x");
  }

  std::string Loaded(PictureObject& o, const std::string& value) {
    o.LoadObjectFromText("[Obj0]\r\nFilename=" + value + "\r\n");
    return o.FileName;
  }
  std::string Written(PictureObject& o) {
    o.SaveToText();
    return o.Keys.ReadString("Obj0", "Filename", "(missing)");
  }

  test::TempFolder root;
  fs::path images = root / "common" / "images";
  fs::path elsewhere = root.path();
};

TEST_F(PictureFile, AnExistingFileIsKeptWhereItIs) {
  ImageObject o(images);
  const std::string own = (elsewhere / "sun.png").string();
  EXPECT_EQ(Loaded(o, own), own);
  EXPECT_EQ(Written(o), own);
}

TEST_F(PictureFile, AMissingFileIsLookedForInTheSharedFolder) {
  struct Case {
    std::string value;
    fs::path expected;
  } cases[] = {
      {"sun.png", images / "sun.png"},
      {"C:\\Users\\maker\\Pictures\\sun.png", images / "sun.png"},
      {(root / "gone" / "sun.png").string(), images / "sun.png"},
      // Taken over whether or not the shared folder has the file.
      {"/nowhere/rain.gif", images / "rain.gif"},
      // A folder is not a picture file.
      {(root / "common").string() + "/images", images / "images"},
  };
  for (const Case& c : cases) {
    GifObject o(images);
    EXPECT_EQ(Loaded(o, c.value), c.expected.string()) << c.value;
  }
}

TEST_F(PictureFile, AFileInTheSharedFolderIsWrittenByItsBareName) {
  GifObject gif(images);
  Loaded(gif, "sun.png");
  EXPECT_EQ(Written(gif), "sun.png");
  // Written bare whether or not it exists, and also when reached by another spelling.
  gif.FileName = (images / "not-there.gif").string();
  EXPECT_EQ(Written(gif), "not-there.gif");
  gif.FileName = (root / "common" / "." / "images" / "sun.png").string();
  EXPECT_EQ(Written(gif), "sun.png");
  // Not directly inside it: the full path.
  gif.FileName = (images / "sub" / "deep.gif").string();
  EXPECT_EQ(Written(gif), gif.FileName);
  gif.FileName = (elsewhere / "moon.gif").string();
  EXPECT_EQ(Written(gif), gif.FileName);
  // Reading the bare name back finds the same file.
  gif.FileName = (images / "sun.png").string();
  GifObject copy(images);
  copy.LoadObjectFromText(gif.SaveToText());
  EXPECT_EQ(copy.FileName, gif.FileName);
}

TEST_F(PictureFile, WithoutASharedFolderNamesStayAsTheyAre) {
  ImageObject o;
  EXPECT_EQ(Loaded(o, "/nowhere/sun.png"), "/nowhere/sun.png");
  EXPECT_EQ(Loaded(o, "sun.png"), "sun.png");
  EXPECT_EQ(Written(o), "sun.png");
}

TEST_F(PictureFile, AnEmptyNameIsNotTurnedIntoTheFolder) {
  ImageObject o(images);
  EXPECT_EQ(Loaded(o, ""), "");
  EXPECT_EQ(Loaded(o, "/nowhere/"), "/nowhere/");
  EXPECT_EQ(Written(o), "/nowhere/");
}

TEST_F(PictureFile, BareFileName) {
  EXPECT_EQ(BareFileName("C:\\a\\b.png"), "b.png");
  EXPECT_EQ(BareFileName("/a/b.png"), "b.png");
  EXPECT_EQ(BareFileName("b.png"), "b.png");
  EXPECT_EQ(BareFileName("/a/"), "");
  EXPECT_EQ(BareFileName(""), "");
}

}  // namespace
}  // namespace lumevra
