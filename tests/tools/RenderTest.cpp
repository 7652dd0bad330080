#include <gtest/gtest.h>

#include <filesystem>

#include "authoring/Scene.h"
#include "graphics/PictureLoader.h"
#include "support/TestFiles.h"
#include "tools/ScrtoolRun.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

using test::Quote;

class RenderTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string out;
    ASSERT_EQ(Tool("build " + Quote(fs::path(LUMEVRA_SOURCE_DIR) / "examples" / "lake" / "lake.ini") + " -o " +
                       Quote(saver),
                   out),
              0)
        << out;
  }
  static int Tool(const std::string& args, std::string& out) { return test::Scrtool(args, out); }
  DecodedPicture Render(const std::string& options, const std::string& name) {
    std::string out;
    EXPECT_EQ(Tool("render " + Quote(saver) + " -o " + Quote(dir / name) + " " + options, out), 0) << out;
    return DecodePictureFile(dir / name);
  }

  test::TempFolder dir;
  fs::path saver = dir / "Lake.scr";
};

TEST_F(RenderTest, SameArgumentsGiveTheSameBytes) {
  Render("--frames 12 --seed 5 --clock 3 --time 09:41:07", "a.png");
  Render("--frames 12 --seed 5 --clock 3 --time 09:41:07", "b.png");
  EXPECT_EQ(test::ReadFile(dir / "a.png"), test::ReadFile(dir / "b.png"));
  Render("--frames 13 --seed 5 --clock 3 --time 09:41:07", "c.png");
  EXPECT_NE(test::ReadFile(dir / "a.png"), test::ReadFile(dir / "c.png"));  // the water moved on
}

TEST_F(RenderTest, ZeroFramesIsTheUndisturbedPicture) {
  const DecodedPicture still = Render("--frames 0", "still.png");
  const DecodedPicture background = DecodePictureFile(fs::path(LUMEVRA_SOURCE_DIR) / "examples" / "lake" / "lake.jpg");
  ASSERT_EQ(still.width, background.width);
  ASSERT_EQ(still.height, background.height);
  EXPECT_EQ(still.pixels, background.pixels);
  // After some frames only the water and the objects differ: the sky (no
  // layer) left of the moon (centred at x 520) is untouched.
  const DecodedPicture moved = Render("--frames 20", "moved.png");
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 480; x += 7) ASSERT_EQ(moved.pixels[y * 640 + x], background.pixels[y * 640 + x]);
  EXPECT_NE(moved.pixels, background.pixels);
}

TEST_F(RenderTest, ScreenPresentation) {
  // Centred, not stretched: black around the 640 x 400 frame.
  const DecodedPicture centred = Render("--frames 0 --screen 800x600", "centred.png");
  ASSERT_EQ(centred.width, 800);
  ASSERT_EQ(centred.height, 600);
  EXPECT_EQ(centred.pixels[0], 0xFF000000u);
  EXPECT_EQ(centred.pixels[100 * 800 + 79], 0xFF000000u);
  EXPECT_NE(centred.pixels[100 * 800 + 80], 0xFF000000u);
  // Stretched to the whole screen: no border.
  const DecodedPicture stretched = Render("--frames 1 --screen 800x600 --stretch", "stretched.png");
  EXPECT_NE(stretched.pixels[0], 0xFF000000u);
  // Proportional: 800 x 500, centred with 50 black rows above and below.
  const DecodedPicture prop = Render("--frames 1 --screen 800x600 --stretch --proportional", "prop.png");
  EXPECT_EQ(prop.pixels[49 * 800 + 400], 0xFF000000u);
  EXPECT_NE(prop.pixels[50 * 800 + 400], 0xFF000000u);
  EXPECT_EQ(prop.pixels[550 * 800 + 400], 0xFF000000u);
}

TEST_F(RenderTest, FramesDirAndBadArguments) {
  Render("--frames 3 --frames-dir " + Quote(dir / "frames"), "last.png");
  EXPECT_TRUE(fs::exists(dir / "frames" / "frame00001.png"));
  EXPECT_EQ(test::ReadFile(dir / "frames" / "frame00003.png"), test::ReadFile(dir / "last.png"));
  std::string out;
  EXPECT_EQ(Tool("render " + Quote(saver), out), 2);
  EXPECT_EQ(Tool("render " + Quote(saver) + " -o x.png --clock 4", out), 2);
  EXPECT_EQ(Tool("render " + Quote(saver) + " -o x.png --screen 0x10", out), 2);
  EXPECT_EQ(Tool("render " + Quote(saver) + " -o x.png --time 25:00:00", out), 2);
  test::WriteFile(dir / "plain.txt", "no scene");
  EXPECT_EQ(Tool("render " + Quote(dir / "plain.txt") + " -o " + Quote(dir / "x.png"), out), 1);
}

}  // namespace
}  // namespace lumevra
