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

// A second monitor shows the frame made for the first by the same rules at
// its own size.
TEST(ScenePlayer, PlaceFrameOnAnotherScreenFollowsTheSameRules) {
  const struct {
    bool stretch, proportional;
    PixelSize screen, frame;
    PixelRect place;
  } cases[] = {
      {true, false, {1280, 1024}, {1024, 768}, {0, 0, 1280, 1024}},   // stretched over it
      {true, true, {1280, 1024}, {1024, 512}, {0, 192, 1280, 640}},   // wider: the width kept, bars above and below
      {true, true, {800, 1000}, {600, 400}, {0, 233, 800, 533}},      // 800 / 1.5 = 533.3 rounds to 533
      {true, true, {1000, 600}, {400, 600}, {300, 0, 400, 600}},       // taller: the height kept, bars at the sides
      {false, false, {800, 600}, {640, 400}, {80, 100, 640, 400}},     // not stretched: centred at its own size
      {false, true, {600, 300}, {640, 400}, {-20, -50, 640, 400}},     // larger: cut on both sides
      {true, true, {0, 600}, {640, 400}, {}},                          // no screen: nowhere
  };
  for (const auto& c : cases) {
    const PixelRect place = PlaceFrameOn(c.stretch, c.proportional, c.screen, c.frame);
    EXPECT_EQ(place, c.place) << c.stretch << c.proportional << " " << c.screen.cx << "x" << c.screen.cy << " -> "
                              << place.left << "," << place.top << " " << place.width << "x" << place.height;
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
