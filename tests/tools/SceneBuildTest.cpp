#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "authoring/Scene.h"
#include "base/AnsiText.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "objects/PictureObjects.h"
#include "support/PictureFixtures.h"
#include "support/TestFiles.h"
#include "tools/ScrtoolRun.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

const fs::path kExample = fs::path(LUMEVRA_SOURCE_DIR) / "examples" / "lake";

using test::Quote;

int Tool(const std::string& args, std::string& out) { return test::Scrtool(args, out); }

void ExpectHas(const std::string& text, const std::string& part) {
  EXPECT_NE(text.find(part), std::string::npos) << "missing: " << part;
}

TEST(SceneBuild, ExampleSceneRoundTrips) {
  test::TempFolder tmp;
  std::string out;
  ASSERT_EQ(Tool("build " + Quote(kExample / "lake.ini") + " -o " + Quote(tmp / "Lake.scr"), out), 0) << out;

  ASSERT_EQ(Tool("info --json " + Quote(tmp / "Lake.scr"), out), 0) << out;
  ExpectHas(out, "\"count\": 5");
  ExpectHas(out, "\"Res2\": \"sound0.wav\", \"Res3\": \"obj0.png\", \"Res4\": \"obj1.bmp\"");
  ExpectHas(out, "\"MusicVolume\": \"80\", \"SoundVolume\": \"70\"");
  ExpectHas(out, "\"project\": {\"load_ok\": true, \"error\": null, \"title\": \"Lake at Dusk\"");
  ExpectHas(out, "\"width\": 640, \"height\": 400, \"thumbnail\": [80, 60]");
  ExpectHas(out, "\"mask\": {\"width\": 640, \"height\": 400, \"counts\": [");
  ExpectHas(out, "{\"Amplitude\": 5, \"WaveCount\": 14, \"Speed\": 18, \"Direction\": 1, \"HorzSway\": true, "
                 "\"VertWave\": true, \"Perspective\": true, \"Period\": 360, \"Jitter\": 2, "
                 "\"ReservedFlag\": false, \"Reflection\": true}");
  ExpectHas(out, "\"weather\": {\"Kind\": 0, \"Amount\": 0, \"SpeedIndex\": 10");
  ExpectHas(out, "\"sounds\": [{\"SoundFile\": \"chime.wav\", \"PlayMode\": 1, \"PauseMin\": 8, \"PauseMax\": 20}]");
  ExpectHas(out, "\"Lines\": [\"Lake at Dusk\", \"built from a scene file\"]");
  ExpectHas(out, "\"FileName\": \"moon.png\"");
  ExpectHas(out, "\"build\": {\"ExeFileName\": \"Lake.exe\", \"ExeSound\": true");

  ASSERT_EQ(Tool("extract " + Quote(tmp / "Lake.scr") + " " + Quote(tmp / "out"), out), 0) << out;
  EXPECT_EQ(test::ReadFile(tmp / "out" / "sound0.wav"), test::ReadFile(kExample / "chime.wav"));
  EXPECT_EQ(test::ReadFile(tmp / "out" / "obj0.png"), test::ReadFile(kExample / "moon.png"));
  EXPECT_EQ(test::ReadFile(tmp / "out" / "obj1.bmp"), test::ReadFile(kExample / "bird.bmp"));
  const BuiltScene scene = LoadScene(kExample / "lake.ini");
  EXPECT_EQ(test::ReadFile(tmp / "out" / "KATemp.kap"), ProjectBytes(scene.project));
  // The background JPEG is stored exactly as it was given.
  EXPECT_NE(test::ReadFile(tmp / "out" / "KATemp.kap").find(test::ReadFile(kExample / "lake.jpg")),
            std::string::npos);
}

TEST(SceneBuild, ErrorsNameTheFileSectionAndKey) {
  test::TempFolder tmp;
  for (const char* f : {"lake.jpg", "lake-mask.png", "moon.png", "bird.bmp", "chime.wav"})
    fs::copy_file(kExample / f, tmp / f);
  const std::pair<std::string, std::string> cases[] = {
      {"[Scene]\nBackground=missing.jpg\n", "[Scene] Background: no such file"},
      {"[Scene]\nBackground=chime.wav\n", "[Scene] Background: "},
      {"[Scene]\nBackground=lake.jpg\nMask=moon.png\n", "[Scene] Mask: the mask is 48 x 48"},
      {"[Scene]\nBackground=lake.jpg\n[Wave3]\nAmplitude=big\n", "[Wave3] Amplitude: not an integer: 'big'"},
      {"[Scene]\nBackground=lake.jpg\n[Wave0]\nDirection=6\n", "[Wave0] Direction: 6 is outside 0..5"},
      {"[Scene]\nBackground=lake.jpg\n[Weather]\nKind=hail\n", "[Weather] Kind: not an integer"},
      {"[Scene]\nBackground=lake.jpg\n[Sound1]\nFile=chime.wav\n", "[Sound1]: sound slots must be numbered"},
      {"[Scene]\nBackground=lake.jpg\n[Obj0]\nObjType=gif\n", "[Obj0] ObjType: must be GIF, IMG or TXT"},
      {"[Scene]\nBackground=lake.jpg\n[Obj0]\nObjType=IMG\n", "[Obj0] Filename: a picture object needs a file"},
      {"[Scene]\nBackground=lake.jpg\n[Obj0]\nObjType=GIF\nFilename=chime.wav\n", "[Obj0] Filename: "},
      // Larger than a background may be, and than an object may be.
      {"[Scene]\nBackground=huge.bmp\n",
       "[Scene] Background: " + (tmp / "huge.bmp").string() + ": BMP picture is too large (20000 x 20000; at most 16384"},
      {"[Scene]\nBackground=lake.jpg\n[Obj0]\nObjType=IMG\nFilename=large.bmp\n",
       "[Obj0] Filename: " + (tmp / "large.bmp").string() + ": BMP picture is too large (5000 x 5000"},
  };
  // Headers alone: the sizes are refused before the pixels are looked for.
  test::WriteFile(tmp / "huge.bmp", test::MakeBmp(20000, 20000, 1, 0, {0, 0xFFFFFF}, ""));
  test::WriteFile(tmp / "large.bmp", test::MakeBmp(5000, 5000, 1, 0, {0, 0xFFFFFF}, ""));
  for (const auto& [text, message] : cases) {
    test::WriteFile(tmp / "s.ini", text);
    try {
      LoadScene(tmp / "s.ini");
      ADD_FAILURE() << "no error for " << text;
    } catch (const SceneError& e) {
      EXPECT_NE(std::string(e.what()).find((tmp / "s.ini").string() + " " + message), std::string::npos)
          << e.what();
    }
  }
  std::string out;
  EXPECT_EQ(Tool("build " + Quote(tmp / "s.ini") + " -o " + Quote(tmp / "x.scr"), out), 1);
  EXPECT_EQ(Tool("build " + Quote(tmp / "none.ini") + " -o " + Quote(tmp / "x.scr"), out), 1);
  EXPECT_NE(Tool("build " + Quote(tmp / "s.ini"), out), 0);
}

// The example's bird: it waits five seconds, flies in from beyond the left
// edge, leaves past the right edge, stays away for its twenty-second
// redisplay delay and comes back from the left. Stepped every 5 ms as its
// worker does, on a clock the test moves.
TEST(SceneBuild, TheExampleBirdLeavesTheScreenAndComesBack) {
  const BuiltScene scene = LoadScene(kExample / "lake.ini");
  ManualClock clock(1000);
  ScopedClock scoped(clock);
  SetFixedSeed(5);
  ImageObject bird;
  bird.Index = 1;
  bird.LoadObjectFromText(scene.project.ObjectsText);
  bird.FileName = PathToAnsi(kExample / "bird.bmp");
  bird.BackWidth = 640;
  bird.BackHeight = 400;
  bird.ScreenRect = Rect{0, 0, 640, 400};
  bird.Prepare();
  ASSERT_EQ(bird.ImgWidth, 40);
  // Each change of Displayed: when (ms after Prepare), where the bird was
  // shown first and how far right it came while shown.
  struct Change {
    uint32_t t;
    double firstX, furthestX;
  };
  std::vector<Change> changes;
  bool shown = bird.Displayed;
  for (uint32_t t = 5; t <= 90000; t += 5) {
    clock.Advance(5);
    bird.Tick();
    if (bird.Displayed != shown) {
      shown = bird.Displayed;
      changes.push_back({t, bird.PosX, bird.PosX});
    } else if (shown && !changes.empty()) {
      changes.back().furthestX = std::max<double>(changes.back().furthestX, bird.PosX);
    }
  }
  SetFixedSeed(std::nullopt);
  ASSERT_GE(changes.size(), 3u);
  EXPECT_EQ(changes[0].t, 5000u);                 // shown after DisplaySec
  EXPECT_LT(changes[0].firstX, 0);                // entering from beyond the left edge
  EXPECT_GT(changes[0].furthestX, 640);           // out past the right edge
  EXPECT_GT(changes[1].t, 15000u);                // a crossing at about 40 pixels a second
  EXPECT_EQ(changes[2].t, changes[1].t + 20000);  // hidden for RedisplayDelay
  EXPECT_LT(changes[2].firstX, 0);                // back at the left
}

TEST(SceneBuild, MinimalSceneAndBareProjectInfo) {
  test::TempFolder tmp;
  fs::copy_file(kExample / "lake.jpg", tmp / "bg.jpg");
  test::WriteFile(tmp / "s.ini", "[Scene]\nTitle=Plain\nBackground=bg.jpg\n");
  const BuiltScene scene = LoadScene(tmp / "s.ini");
  EXPECT_TRUE(scene.media.empty());
  EXPECT_EQ(scene.project.Waves[0].Amplitude, 6);  // the loader defaults
  EXPECT_EQ(scene.project.MaskCodes.size(), 3u);    // size and one run: no layer anywhere
  WriteProjectFile(tmp / "p.kap", scene.project);
  std::string out;
  ASSERT_EQ(Tool("info --json " + Quote(tmp / "p.kap"), out), 0);
  ExpectHas(out, "{\"package\": null, \"project\": {\"load_ok\": true");
  ExpectHas(out, "\"counts\": [256000, 0, 0, 0, 0, 0, 0]");
  ExpectHas(out, "\"objects\": []");
  test::WriteFile(tmp / "bad.kap", "KA060697garbage");
  ASSERT_EQ(Tool("info --json " + Quote(tmp / "bad.kap"), out), 0);
  ExpectHas(out, "\"project\": {\"load_ok\": false, \"error\": \"");
}

}  // namespace
}  // namespace lumevra
