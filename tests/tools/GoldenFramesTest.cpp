// Golden frames: fixed scenes rendered by `scrtool render` on its manual
// clock and fixed seed, each chosen frame pinned by the CRC32 of its pixels.
// A change that still renders deterministically but draws differently fails
// here. A change that alters pixels on purpose updates the value below in
// the same commit and says why in its message.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/PictureLoader.h"
#include "graphics/PngWriter.h"
#include "support/ObjectScene.h"
#include "support/TestFiles.h"
#include "tools/ScrtoolRun.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

using test::Quote;

struct PinnedFrame {
  int frame;      // 1-based, as the tool names it in --frames-dir
  uint32_t crc;   // CRC32 of the frame's B, G, R, A bytes, rows top-down
};

uint32_t PixelCrc(const DecodedPicture& p) {
  const auto* bytes = reinterpret_cast<const Bytef*>(p.pixels.data());
  return static_cast<uint32_t>(crc32(0L, bytes, static_cast<uInt>(p.pixels.size() * sizeof(uint32_t))));
}

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", v);
  return text;
}

class GoldenFrames : public ::testing::Test {
protected:
  static int Tool(const std::string& args, std::string& out) { return test::Scrtool(args, out); }

  void Build(const fs::path& sceneFile, const fs::path& saver) {
    std::string out;
    ASSERT_EQ(Tool("build " + Quote(sceneFile) + " -o " + Quote(saver), out), 0) << out;
  }

  // Renders `frames` frames of `saver` with `options` and compares the
  // pinned ones; a mismatch prints every actual value for the table.
  void ExpectFrames(const fs::path& saver, const std::string& options, int frames,
                    const std::vector<PinnedFrame>& pinned) {
    const fs::path framesDir = dir / ("frames-" + std::to_string(++renders_));
    std::string out;
    ASSERT_EQ(Tool("render " + Quote(saver) + " -o " + Quote(framesDir.string() + ".png") + " --frames " +
                       std::to_string(frames) + " --frames-dir " + Quote(framesDir) + " " + options,
                   out),
              0)
        << out;
    std::string actual;
    bool same = true;
    for (const PinnedFrame& p : pinned) {
      char name[32];
      std::snprintf(name, sizeof name, "frame%05d.png", p.frame);
      const uint32_t crc = PixelCrc(DecodePictureFile(framesDir / name));
      actual += "{" + std::to_string(p.frame) + ", " + Hex(crc) + "}, ";
      same = same && crc == p.crc;
    }
    EXPECT_TRUE(same) << options << "\nactual: " << actual;
  }

  test::TempFolder dir;

private:
  int renders_ = 0;
};

// The demo as the build makes it: three water layers (one mirroring the
// hills), snow, the fading sun, two gulls and the title. 250 ms a frame so
// that the sun and the title have faded in by the last frame.
TEST_F(GoldenFrames, DemoScene) {
  const fs::path demo = fs::path(LUMEVRA_STANDALONESCR).parent_path() / "Demo.scr";
  ASSERT_TRUE(fs::is_regular_file(demo)) << demo << " is missing: build the 'demo' target";
  ExpectFrames(demo, "--step-ms 250 --seed 7", 12, {{1, 0x8E0421C6}, {6, 0x40F28EBD}, {12, 0x054A2AC2}});
}

// The example lake: water with reflection, the bird and the moon, and the
// clock, centred on a larger screen.
TEST_F(GoldenFrames, ExampleLake) {
  const fs::path saver = dir / "Lake.scr";
  Build(fs::path(LUMEVRA_SOURCE_DIR) / "examples" / "lake" / "lake.ini", saver);
  ExpectFrames(saver, "--step-ms 40 --seed 3", 20, {{1, 0x8E0E03EC}, {10, 0xD2E788ED}, {20, 0xBF2B3F7D}});
  ExpectFrames(saver, "--step-ms 40 --seed 3 --screen 800x600 --clock 2 --time 09:41:07", 4, {{4, 0xEC7D69A9}});
}

// A picture of its own: a gradient with a band of water, rain and the clock,
// stretched to the screen with and without keeping its proportions.
TEST_F(GoldenFrames, ClockRainStretched) {
  DecodedPicture back, mask;
  back.width = mask.width = 160;
  back.height = mask.height = 100;
  back.pixels.resize(160 * 100);
  mask.pixels.resize(160 * 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 160; ++x) {
      back.pixels[y * 160 + x] = 0xFF000000u | uint32_t(x * 1.5) << 16 | uint32_t(y * 2.5) << 8 | uint32_t((x ^ y) & 0xFF);
      mask.pixels[y * 160 + x] = y >= 60 ? 0xFF0000FFu : 0xFF000000u;  // layer 0 below row 60
    }
  test::WriteFile(dir / "back.png", EncodePng(back, false));
  test::WriteFile(dir / "mask.png", EncodePng(mask, false));
  test::WriteFile(dir / "scene.ini",
                  "[Scene]\r\nTitle=Rain\r\nBackground=back.png\r\nMask=mask.png\r\n"
                  "[Wave0]\r\nAmplitude=4\r\nWaveCount=20\r\nSpeed=20\r\nDirection=3\r\nJitter=1\r\n"
                  "[Weather]\r\nKind=rain\r\nAmount=150\r\nSpeedIndex=8\r\nSizeOrSlant=20\r\nDropLength=14\r\n"
                  "Opacity=7\r\n");
  const fs::path saver = dir / "Rain.scr";
  Build(dir / "scene.ini", saver);
  ExpectFrames(saver, "--seed 11 --screen 400x300 --stretch --clock 1 --time 10:08:30", 8,
               {{1, 0x93CC0422}, {8, 0x7C2D6599}});
  ExpectFrames(saver, "--seed 11 --screen 500x300 --stretch --proportional --clock 3 --time 23:59:59", 8,
               {{8, 0x38241E10}});
}

// Twenty objects of every kind (GIF, PNG with alpha, BMP with a key colour,
// text) in every motion, some fading in and out, over a patterned picture.
TEST_F(GoldenFrames, ObjectsInEveryMotion) {
  const fs::path saver = dir / "Objects.scr";
  Build(test::WriteObjectSceneFile(dir.path(), 320, 200), saver);
  ExpectFrames(saver, "--step-ms 100 --seed 3", 40, {{1, 0x870C3B8D}, {15, 0x27FE8348}, {25, 0x8503FCC8}, {40, 0x4A95507A}});
}

}  // namespace
}  // namespace lumevra
