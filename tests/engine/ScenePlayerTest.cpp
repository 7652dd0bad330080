// The scene player: where a frame goes on a screen, the start-up of an
// extracted scene, and the extraction removed with it.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/Clock.h"
#include "base/Random.h"
#include "engine/ScenePlayer.h"
#include "objects/ObjectList.h"
#include "support/SaverFixture.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

TEST(ScenePlayer, PresentOffsetCentresUnlessStretchedToTheWholeScreen) {
  const struct {
    bool stretch, proportional;
    PixelSize screen, picture;
    FrameOffset at;
  } cases[] = {
      {false, false, {800, 600}, {640, 400}, {80, 100}},   // centred as it is
      {true, false, {800, 600}, {800, 600}, {0, 0}},       // stretched to the whole screen
      {true, true, {800, 600}, {800, 500}, {0, 50}},       // proportional: bars above and below
      {false, false, {800, 600}, {1000, 700}, {-100, -50}},  // larger: cut equally on both sides
      {false, false, {801, 601}, {640, 400}, {80, 100}},   // an odd remainder is dropped (toward zero)
      {false, false, {640, 400}, {641, 401}, {0, 0}},      // -1 / 2 is 0
  };
  for (const auto& c : cases) {
    const FrameOffset at = PresentOffset(c.stretch, c.proportional, c.screen, c.picture);
    EXPECT_EQ(at, c.at) << c.stretch << c.proportional << " " << c.screen.cx << "x" << c.screen.cy;
  }
}

class ScenePlayerRun : public ::testing::Test {
protected:
  void SetUp() override {
    test::SceneSpec scene;
    scene.width = 64;
    scene.height = 32;
    scene.sounds = {{0, 0, 0}};
    scene.weather = "snow";
    saver = test::BuildSaver(dir.path(), scene);
  }
  fs::path Folder() const { return dir / "tmp" / saver.filename(); }

  test::TempFolder dir;
  fs::path saver;
  ManualClock clock{100};
  ScopedClock scoped{clock};
};

TEST_F(ScenePlayerRun, PreparesTheExtractedSceneFittedToTheScreen) {
  ScenePlayer scene;
  scene.Extract(saver, CreateFreshFolder(Folder()));
  ASSERT_TRUE(fs::is_directory(Folder()));
  EXPECT_EQ(scene.GetProject().Width, 64);
  ASSERT_NE(scene.Objects(), nullptr);

  SceneOptions options;
  options.stretch = true;
  options.proportional = true;
  options.speedPercent = 50;
  options.screen = {256, 256};
  scene.Prepare(options);
  // Fitted proportionally: 256 x 128, centred on the 256 x 256 screen.
  EXPECT_EQ(scene.Frame().Width(), 256);
  EXPECT_EQ(scene.Frame().Height(), 128);
  EXPECT_EQ(scene.PlaceOn({256, 256}), (FrameOffset{0, 64}));
  EXPECT_EQ(scene.GetProject().SpeedPercent, 50);
  EXPECT_NE(scene.GetEngine().SnowFall, nullptr);
  clock.Advance(32);
  scene.Step();
  EXPECT_EQ(&scene.Frame(), &scene.GetEngine().FrameSurface);  // snow draws over the water
}

TEST_F(ScenePlayerRun, RemovesOnlyWhatItsExtractionCreated) {
  {
    ScenePlayer scene;
    scene.Extract(saver, CreateFreshFolder(Folder()));
    test::WriteFile(Folder() / "mine.txt", "not the scene's");
    scene.Prepare(SceneOptions{});
    scene.RemoveProjectAndSoundFiles();
    EXPECT_FALSE(fs::exists(scene.Resources().ProjectFile));
    EXPECT_TRUE(fs::exists(Folder() / "mine.txt"));
  }
  // The player is gone: its files are, the stranger's file and so its folder stay.
  EXPECT_TRUE(fs::exists(Folder() / "mine.txt"));
  EXPECT_EQ(test::FilesBelow(dir / "tmp").size(), 1u);
}

}  // namespace
}  // namespace lumevra
