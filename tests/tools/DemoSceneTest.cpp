#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "graphics/PictureLoader.h"
#include "support/TestFiles.h"
#include "tools/ScrtoolRun.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

using test::Quote;

int Tool(const std::string& args, std::string& out) { return test::Scrtool(args, out); }

void ExpectHas(const std::string& text, const std::string& part) {
  EXPECT_NE(text.find(part), std::string::npos) << "missing: " << part;
}

// The build makes the demo beside the runtime.
const fs::path kRuntime = LUMEVRA_STANDALONESCR;
const fs::path kDemo = kRuntime.parent_path() / "Demo.scr";

TEST(DemoScene, IsTheRuntimeWithTheScenePackedOn) {
  ASSERT_TRUE(fs::is_regular_file(kDemo)) << kDemo << " is missing: build the 'demo' target";
  // The program's own header comes first: the saver runs as it is.
  EXPECT_EQ(test::ReadFile(kDemo).substr(0, 64), test::ReadFile(kRuntime).substr(0, 64));

  std::string out;
  ASSERT_EQ(Tool("info --json " + Quote(kDemo), out), 0) << out;
  ExpectHas(out, "\"project\": {\"load_ok\": true, \"error\": null, \"title\": \"Lakeside Morning\"");
  ExpectHas(out, "\"width\": 1920, \"height\": 1080");
  ExpectHas(out, "\"Res2\": \"music.wav\", \"Res3\": \"sound0.wav\", \"Res4\": \"sound1.wav\"");
  ExpectHas(out, "\"Music\": \"1\"");
  ExpectHas(out, "\"sounds\": [{\"SoundFile\": \"water.wav\", \"PlayMode\": 0, \"PauseMin\": 0, \"PauseMax\": 0}, "
                 "{\"SoundFile\": \"chirp.wav\", \"PlayMode\": 1, \"PauseMin\": 6, \"PauseMax\": 15}]");
  ExpectHas(out, "\"weather\": {\"Kind\": 1");
  ExpectHas(out, "\"Index\": 0, \"ObjType\": \"IMG\"");
  ExpectHas(out, "\"FileName\": \"sun.png\"");
  ExpectHas(out, "\"Index\": 1, \"ObjType\": \"GIF\"");
  ExpectHas(out, "\"FileName\": \"gull.gif\"");
  ExpectHas(out, "\"ObjType\": \"TXT\"");
  ExpectHas(out, "\"Lines\": [\"Lakeside Morning\", \"made entirely by code\"]");

  // Pixels of every water layer the scene animates: far, near and brook.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(out, m, std::regex(R"("counts": \[(\d+), (\d+), (\d+), (\d+), 0, 0, 0\])"))) << out;
  for (int layer = 2; layer <= 4; ++layer) EXPECT_GT(std::stoll(m[layer].str()), 0) << "layer " << layer - 1;
}

TEST(DemoScene, RendersWithMovingWater) {
  ASSERT_TRUE(fs::is_regular_file(kDemo)) << kDemo << " is missing: build the 'demo' target";
  test::TempFolder dir;
  auto render = [&](int frames, const std::string& name) {
    std::string out;
    EXPECT_EQ(Tool("render " + Quote(kDemo) + " -o " + Quote(dir / name) + " --frames " + std::to_string(frames) +
                       " --screen 480x270 --stretch",
                   out),
              0)
        << out;
    return DecodePictureFile(dir / name);
  };
  const DecodedPicture early = render(2, "early.png"), later = render(6, "later.png");
  ASSERT_EQ(early.width, 480);
  ASSERT_EQ(early.height, 270);
  ASSERT_EQ(later.pixels.size(), early.pixels.size());
  // The lake fills the lower third: its pixels move from frame to frame.
  size_t moved = 0;
  for (size_t i = early.pixels.size() * 2 / 3; i < early.pixels.size(); ++i) moved += early.pixels[i] != later.pixels[i];
  EXPECT_GT(moved, early.pixels.size() / 30);
}

}  // namespace
}  // namespace lumevra
