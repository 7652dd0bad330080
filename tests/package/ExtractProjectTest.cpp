// Extraction loads the project and points its sounds and pictures at the
// extracted files.
#include <gtest/gtest.h>

#include "authoring/PackageWriter.h"
#include "base/AnsiText.h"
#include "objects/ObjectList.h"
#include "package/PackageExtractor.h"
#include "package/Project.h"
#include "support/ProjectFixture.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

TEST(ExtractProject, RepointsSoundsAndPictureObjects) {
  test::TempFolder tmp;
  ProjectData d = test::SmallProject();
  d.Sounds[0].SoundFile = "C:\\Authoring\\birds.wav";
  d.Sounds[1].SoundFile = "waves.wav";
  d.ObjectsText =
      "[Obj0]\r\nObjType=IMG\r\nFilename=C:\\pics\\sun.png\r\n"
      "[Obj1]\r\nObjType=TXT\r\nText=OM9Z\r\n"
      "[Obj2]\r\nObjType=GIF\r\nFilename=bird.GIF\r\n";
  PackageWriter w;
  w.AddBytes(
      "[Header]\r\nResCount=6\r\nRes0=KAHeader.dat\r\nRes1=Saver.prj\r\nRes2=sound0.wav\r\n"
      "Res3=sound1.wav\r\nRes4=obj0.png\r\nRes5=obj2.GIF\r\n");
  w.AddBytes(ProjectBytes(d));
  for (const char* media : {"wave 0", "wave 1", "png", "gif"}) w.AddBytes(media);
  w.WriteFile(tmp / "Saver.scr");

  Project project(MakeAnimObjectsFactory(tmp / "shared"));
  const ResourceSet set = ExtractResources(tmp / "Saver.scr", CreateFreshFolder(tmp / "temp" / "Saver.scr"), project);
  EXPECT_EQ(set.ProjectFile, set.TempDir / "Saver.prj");  // whatever entry 1 is called
  EXPECT_EQ(project.Title, d.Title);
  ASSERT_EQ(project.SoundCount(), 2);
  EXPECT_EQ(AnsiToPath(project.SoundSlots[0].SoundFile), set.TempDir / "sound0.wav");
  EXPECT_EQ(AnsiToPath(project.SoundSlots[1].SoundFile), set.TempDir / "sound1.wav");
  EXPECT_EQ(test::ReadFile(AnsiToPath(project.SoundSlots[1].SoundFile)), "wave 1");

  auto& objects = dynamic_cast<ObjectList&>(*project.Objects);
  ASSERT_EQ(objects.Count(), 3u);
  std::vector<std::string> names;
  project.Objects->RepointPictures([&](size_t, const std::string& name) {
    names.push_back(name);
    return name;
  });
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(AnsiToPath(names[0]), set.TempDir / "obj0.png");
  EXPECT_EQ(AnsiToPath(names[1]), set.TempDir / "obj2.GIF");
  EXPECT_EQ(test::ReadFile(AnsiToPath(names[1])), "gif");
  DeleteResources(set);
}

}  // namespace
}  // namespace lumevra
