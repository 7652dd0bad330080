// The object list in a running scene: the engine starts every object,
// draws them in list order, and a caller-driven scene repeats exactly.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "objects/GifPainter.h"
#include "objects/ObjectList.h"
#include "objects/PictureObjects.h"
#include "platform/fonts/FreeTypeFontRaster.h"
#include "support/ObjectScene.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

constexpr uint32_t kRed = 0xE02020;
constexpr uint32_t kBlue = 0x2040E0;

// An opaque, still picture object whose centre stays at (x, y).
std::string Still(int index, const std::string& file, int32_t x, int32_t y, const std::string& extra = {}) {
  return "[Obj" + std::to_string(index) + "]\r\nObjType=IMG\r\nFilename=" + file +
         "\r\nTransparent=0\r\nOpacity=10\r\nMotion=0\r\nPosLeftType=0\r\nPosTopType=0\r\nPosLeft=" +
         std::to_string(x) + "\r\nPosTop=" + std::to_string(y) + "\r\n" + extra;
}

class ObjectListDraw : public ::testing::Test {
protected:
  void SetUp() override {
    red = (dir / "red.bmp").string();
    blue = (dir / "blue.bmp").string();
    test::WriteFile(red, test::MakeBmp24(20, 20, [](int32_t, int32_t) { return kRed; }));
    test::WriteFile(blue, test::MakeBmp24(20, 20, [](int32_t, int32_t) { return kBlue; }));
  }

  static uint32_t Rgb(test::ObjectSceneRig& rig, int32_t x, int32_t y) {
    return rig.engine.OutputSurface().GetPixel(x, y) & 0xFFFFFFu;
  }

  test::TempFolder dir;
  std::string red, blue;
};

TEST_F(ObjectListDraw, LaterObjectsCoverEarlierOnes) {
  // Red spans 30..49, blue 40..59 on both axes; they overlap in 40..49.
  struct Case {
    std::string first, second;
    uint32_t firstColor, secondColor;
  };
  const Case cases[] = {{red, blue, kRed, kBlue}, {blue, red, kBlue, kRed}};
  for (const Case& c : cases) {
    test::ObjectSceneRig rig(100, 80, Still(0, c.first, 40, 40) + Still(1, c.second, 50, 50));
    ASSERT_EQ(rig.Objects().Count(), 2u);
    EXPECT_TRUE(rig.Objects().Items(0).Running);
    rig.Frame();
    EXPECT_EQ(Rgb(rig, 32, 32), c.firstColor);
    EXPECT_EQ(Rgb(rig, 45, 45), c.secondColor);  // the overlap: the later object
    EXPECT_EQ(Rgb(rig, 57, 57), c.secondColor);
    EXPECT_NE(Rgb(rig, 70, 20), kRed);  // the picture elsewhere
    EXPECT_NE(Rgb(rig, 70, 20), kBlue);
  }
}

TEST_F(ObjectListDraw, ASecondStartRestartsTheDisplayTiming) {
  test::ObjectSceneRig rig(100, 80, Still(0, red, 40, 40, "DisplaySec=5\r\n"));
  AnimObject& object = rig.Objects().Items(0);
  rig.Frame();
  EXPECT_FALSE(object.Displayed);
  EXPECT_NE(Rgb(rig, 40, 40), kRed);
  for (int i = 0; i < 160; ++i) rig.Frame();  // 5.12 s
  EXPECT_TRUE(object.Displayed);
  EXPECT_EQ(Rgb(rig, 40, 40), kRed);

  object.Start();
  rig.Frame();
  EXPECT_FALSE(object.Displayed);
  EXPECT_NE(Rgb(rig, 40, 40), kRed);
  for (int i = 0; i < 150; ++i) rig.Frame();  // 4.8 s: still waiting
  EXPECT_FALSE(object.Displayed);
  for (int i = 0; i < 10; ++i) rig.Frame();
  EXPECT_TRUE(object.Displayed);
}

TEST_F(ObjectListDraw, AStoppedObjectKeepsItsPlaceAndIsStillDrawn) {
  // Wandering motion: the object moves while started and freezes when stopped.
  test::ObjectSceneRig rig(100, 80, Still(0, red, 40, 40, "Motion=2\r\nMotionSpeed=40\r\n"));
  AnimObject& object = rig.Objects().Items(0);
  for (int i = 0; i < 5; ++i) rig.Frame();
  object.Stop();
  const int32_t left = object.ScreenLeft(), top = object.ScreenTop();
  for (int i = 0; i < 20; ++i) rig.Frame();
  EXPECT_EQ(object.ScreenLeft(), left);
  EXPECT_EQ(object.ScreenTop(), top);
  EXPECT_EQ(Rgb(rig, left + 10, top + 10), kRed);
}

TEST_F(ObjectListDraw, ACallerDrivenSceneRepeatsFrameForFrame) {
  const std::string objects = test::WriteObjectScene(dir.path(), true, false);
  auto run = [&](int frames) {
    test::ObjectSceneRig rig(160, 100, objects);
    for (int i = 0; i < frames; ++i) rig.Frame(33);
    return rig.Pixels();
  };
  const std::vector<Color32> a = run(90);
  EXPECT_EQ(run(90), a);
  EXPECT_NE(run(91), a);  // the objects moved on
}

TEST_F(ObjectListDraw, ThreadedObjectsRunAlongsideTheFrames) {
  // Workers and GIF painters write while the frames read: under the thread
  // sanitizer this shows any unguarded field; the list's end joins them all.
  const std::string objects = test::WriteObjectScene(dir.path(), true, false);
  FreeTypeFontRaster fonts;
  test::ObjectSceneRig rig(160, 100, objects, &fonts, false, 7, false);
  ObjectList& list = rig.Objects();
  ASSERT_EQ(list.Count(), 20u);
  auto allStepped = [&] {
    for (size_t i = 0; i < list.Count(); ++i)
      if (list.Items(i).Worker.Steps() < 3) return false;
    return true;
  };
  for (int frame = 0; frame < 2000 && !allStepped(); ++frame) {
    rig.Frame();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(allStepped());
  for (size_t i = 0; i < list.Count(); ++i) {
    EXPECT_TRUE(list.Items(i).Worker.WorkerAlive()) << i;
    EXPECT_FALSE(list.Items(i).Worker.Failed()) << i;
  }
  auto& gif = dynamic_cast<GifObject&>(list.Items(0));
  ASSERT_NE(gif.Painter(), nullptr);
  for (int frame = 0; frame < 2000 && gif.Painter()->FramesShown() < 3; ++frame) {
    rig.Frame(40);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_GE(gif.Painter()->FramesShown(), 3u);
  list.Clear();
}

}  // namespace
}  // namespace lumevra
