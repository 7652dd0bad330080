// A scene of twenty objects of every kind over many frames: rendered by the
// tool the same every run, and driven in-process without the memory
// growing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "graphics/PictureLoader.h"
#include "platform/fonts/FreeTypeFontRaster.h"
#include "support/ObjectScene.h"
#include "support/TestFiles.h"
#include "tools/ScrtoolRun.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

using test::Quote;

int Tool(const std::string& args, std::string& out) { return test::Scrtool(args, out); }

// A scene file around the twenty objects, built into a screensaver.
class RenderObjects : public ::testing::Test {
protected:
  void SetUp() override {
    const fs::path scene = test::WriteObjectSceneFile(dir.path(), 96, 60);
    std::string out;
    ASSERT_EQ(Tool("build " + Quote(scene) + " -o " + Quote(saver), out), 0) << out;
  }

  std::string Render(const std::string& options, const std::string& name) {
    std::string out;
    EXPECT_EQ(Tool("render " + Quote(saver) + " -o " + Quote(dir / name) + " " + options, out), 0) << out;
    return test::ReadFile(dir / name);
  }

  test::TempFolder dir;
  fs::path saver = dir / "Objects.scr";
};

TEST_F(RenderObjects, TheSameArgumentsGiveTheSameBytes) {
  const std::string a = Render("--frames 150 --seed 3", "a.png");
  EXPECT_EQ(Render("--frames 150 --seed 3", "b.png"), a);
  EXPECT_NE(Render("--frames 151 --seed 3", "c.png"), a);  // the objects moved on
  // Frames of another length pace the objects by the same clock: 75 frames
  // of 64 ms end where 150 of 32 ms do (the water has no layer here).
  EXPECT_EQ(Render("--frames 75 --step-ms 64 --seed 3", "d.png"), a);
}

TEST_F(RenderObjects, TenThousandFrames) {
  const std::string png = Render("--frames 10000 --step-ms 32 --seed 9", "long.png");
  const DecodedPicture last = DecodePictureFile(dir / "long.png");
  EXPECT_EQ(last.width, 96);
  EXPECT_EQ(last.height, 60);
}

// Resident memory in kB, or -1 where the system does not tell.
long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // freed memory is held back on purpose
#else
constexpr bool kSanitized = false;
#endif

TEST(ObjectSceneMemory, TenThousandFramesKeepTheMemoryFlat) {
  test::TempFolder dir;
  FreeTypeFontRaster fonts;
  test::ObjectSceneRig rig(160, 100, test::WriteObjectScene(dir.path(), true, false), &fonts);
  ASSERT_EQ(rig.Objects().Count(), 20u);
  long early = 0, late = 0;
  for (int frame = 0; frame < 10000; ++frame) {
    rig.Frame();
    if (frame == 999) early = ResidentKb();
  }
  late = ResidentKb();
  if (early < 0 || kSanitized) GTEST_SKIP() << "resident memory not measurable here";
  EXPECT_LT(late - early, 2048) << "kB grown from frame 1000 to frame 10000";
}

}  // namespace
}  // namespace lumevra
