#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "base/Clock.h"
#include "support/PictureFixtures.h"
#include "objects/GifPainter.h"
#include "objects/PictureObjectSupport.h"

namespace lumevra {
namespace {

using test::GifFrameSpec;
using test::kFrameGrey;

constexpr Color32 kRed = Rgba(255, 0, 0);
constexpr Color32 kGreen = Rgba(0, 255, 0);
constexpr Color32 kBlue = Rgba(0, 0, 255);
constexpr Color32 kYellow = Rgba(255, 255, 0);
const std::vector<uint32_t> kPalette = {kRed, kGreen, kBlue, kYellow};

GifFrameSpec Frame(int32_t left, int32_t top, int32_t width, int32_t height, std::vector<uint8_t> indices,
                   int32_t delayCs = 0) {
  GifFrameSpec f;
  f.left = left;
  f.top = top;
  f.width = width;
  f.height = height;
  f.indices = std::move(indices);
  f.delayCs = delayCs;
  return f;
}

// 2 x 2: red green / blue yellow, green marked transparent in the file.
std::string FourColourGif() {
  GifFrameSpec frame = Frame(0, 0, 2, 2, {0, 1, 2, 3});
  frame.transparentIndex = 1;
  return test::MakeGif(2, 2, kPalette, {frame});
}

// Solid frames of the given palette indices, each `delayCs` long.
std::string SolidFramesGif(const std::vector<uint8_t>& colours, int32_t delayCs) {
  std::vector<GifFrameSpec> frames;
  for (uint8_t c : colours) {
    frames.push_back(Frame(0, 0, 2, 2, {c, c, c, c}, delayCs));
  }
  return test::MakeGif(2, 2, kPalette, frames);
}

struct GifScene {
  test::TempFolder folder;
  GifObject gif;

  explicit GifScene(const std::string& bytes, const std::string& name = "a.gif") {
    gif.FileName = test::WritePicture(folder, name, bytes);
    gif.Transparent = true;
    gif.AnimSpeed = 10;
    test::PlainPlacement(gif);
    gif.SetManualPainter(true);
  }
  Bitmap32 frame;

  const Bitmap32& Drawn() {
    test::DrawOverGrey(gif, frame);
    return frame;
  }
};

// Which of the four pixels (red, green, blue, yellow) are left out.
TEST(GifObjectTest, TransparencyByKeys) {
  struct Case {
    bool transparent;
    uint8_t type;
    uint32_t transparentColor;
    std::vector<bool> leftOut;
  };
  const Case cases[] = {
      {true, 0, 0, {false, true, false, true}},          // the file's own index, and pure yellow
      {true, 1, 0, {false, false, true, true}},          // colour of the bottom-left pixel: blue
      {true, 2, 0x0000FF, {true, false, false, true}},   // "TransparentColor" red (0x00BBGGRR)
      {true, 2, 0x123456, {false, false, false, true}},  // not in the colour map: transparency off
      {false, 0, 0, {false, false, false, true}},        // off: pure yellow only
      {false, 2, 0x0000FF, {false, false, false, true}},
  };
  const Color32 colours[] = {kRed, kGreen, kBlue, kYellow};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "Transparent " << c.transparent << " type " << int{c.type});
    GifScene scene(FourColourGif());
    scene.gif.Transparent = c.transparent;
    scene.gif.TransparentType = c.type;
    scene.gif.TransparentColor = c.transparentColor;
    scene.gif.Prepare();
    ASSERT_EQ(scene.gif.ImgWidth, 2);
    const Bitmap32& frame = scene.Drawn();
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(frame.GetPixel(i % 2, i / 2), c.leftOut[i] ? kFrameGrey : colours[i]) << "pixel " << i;
  }
}

// The keys change only frames that carry a graphic control extension: a
// plain GIF keeps every colour (pure yellow is the surface's key colour).
TEST(GifObjectTest, OnlyFramesWithAControlExtensionAreKeyed) {
  struct Case {
    bool controlBlock;
    uint8_t type;
    uint32_t transparentColor;
    std::vector<bool> leftOut;
  };
  const Case cases[] = {
      {false, 1, 0, {false, false, false, true}},
      {false, 2, 0x0000FF, {false, false, false, true}},
      {true, 1, 0, {false, false, true, true}},         // bottom-left: blue
      {true, 2, 0x0000FF, {true, false, false, true}},  // red
  };
  const Color32 colours[] = {kRed, kGreen, kBlue, kYellow};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "extension " << c.controlBlock << " type " << int{c.type});
    GifFrameSpec frame = Frame(0, 0, 2, 2, {0, 1, 2, 3});
    frame.controlBlock = c.controlBlock;
    GifScene scene(test::MakeGif(2, 2, kPalette, {frame}));
    scene.gif.TransparentType = c.type;
    scene.gif.TransparentColor = c.transparentColor;
    scene.gif.Prepare();
    ASSERT_EQ(scene.gif.ImgWidth, 2);
    const Bitmap32& drawn = scene.Drawn();
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(drawn.GetPixel(i % 2, i / 2), c.leftOut[i] ? kFrameGrey : colours[i]) << "pixel " << i;
  }
}

// TransparentType 1 keys each frame with the first frame's colour at column
// 0 of that frame's own last row. Frame 0 (2 x 2: red green / blue yellow)
// is keyed by blue (row 1); frame 1 covers only row 0 with red and blue and
// is keyed by red (row 0): its blue is painted, its red leaves frame 0's.
TEST(GifObjectTest, TransparentTypeOneTakesTheRowOfEachFramesHeight) {
  ManualClock clock(0);
  ScopedClock scoped(clock);
  GifScene scene(test::MakeGif(2, 2, kPalette, {Frame(0, 0, 2, 2, {0, 1, 2, 3}, 10), Frame(0, 0, 2, 1, {2, 0}, 10)}));
  scene.gif.TransparentType = 1;
  scene.gif.Prepare();
  EXPECT_EQ(scene.Drawn().GetPixel(0, 1), kFrameGrey);  // frame 0's blue is keyed
  clock.Advance(100);
  scene.gif.AdvancePainter();
  ASSERT_EQ(scene.gif.Painter()->ShownFrame(), 1u);
  const Bitmap32& drawn = scene.Drawn();
  EXPECT_EQ(drawn.GetPixel(0, 0), kBlue);  // a keyed blue would have left frame 0's red
  EXPECT_EQ(drawn.GetPixel(1, 0), kGreen);  // frame 1's red is keyed: frame 0's green stays
  EXPECT_EQ(drawn.GetPixel(0, 1), kFrameGrey);
  EXPECT_EQ(drawn.GetPixel(1, 1), kFrameGrey);  // pure yellow
}

TEST(GifObjectTest, OpacityBlendsThroughMasterAlpha) {
  GifScene scene(FourColourGif());
  test::PlainPlacement(scene.gif, 5);
  scene.gif.Prepare();
  EXPECT_EQ(scene.gif.Image.MasterAlpha(), 128);
  const Bitmap32& frame = scene.Drawn();
  // (F x 128 + B x 127) / 255 per channel, alpha 128.
  EXPECT_EQ(frame.GetPixel(0, 0), Rgba((255 * 128 + 0x40 * 127) / 255, 0x40 * 127 / 255, 0x40 * 127 / 255, 128));
}

TEST(GifObjectTest, SpeedPercentOfAnimSpeed) {
  const std::pair<int32_t, int32_t> cases[] = {{1, 10},   {5, 50},    {10, 100}, {11, 150}, {12, 200}, {20, 600},
                                                {28, 1000}, {500, 1000}, {0, 0},    {-3, 0},   {INT32_MAX, 1000}};
  for (auto [key, percent] : cases) EXPECT_EQ(GifSpeedPercent(key), percent) << key;
}

// Frames of 100 ms: the frame shown at each time step of 10 ms equals
// (t / scaled delay) mod 3.
TEST(GifObjectTest, FramesFollowTheScaledDelays) {
  const std::pair<int32_t, uint32_t> speeds[] = {{10, 100}, {5, 200}, {12, 50}};
  for (auto [animSpeed, frameMs] : speeds) {
    SCOPED_TRACE(animSpeed);
    ManualClock clock(1000);
    ScopedClock scoped(clock);
    GifScene scene(SolidFramesGif({0, 1, 2}, 10));
    scene.gif.AnimSpeed = animSpeed;
    scene.gif.Prepare();
    const GifPainter* painter = scene.gif.Painter();
    ASSERT_NE(painter, nullptr);
    EXPECT_FALSE(painter->ThreadRunning());
    const Color32 colours[] = {kRed, kGreen, kBlue};
    for (uint32_t t = 0; t <= 7 * frameMs; t += 10) {
      scene.gif.AdvancePainter();
      const size_t expected = (t / frameMs) % 3;
      ASSERT_EQ(painter->ShownFrame(), expected) << "at " << t << " ms";
      ASSERT_EQ(scene.Drawn().GetPixel(1, 1), colours[expected]) << "at " << t << " ms";
      clock.Advance(10);
    }
  }
}

TEST(GifObjectTest, LargeClockStepsLandOnTheSameFrame) {
  ManualClock clock(0);
  ScopedClock scoped(clock);
  GifScene scene(SolidFramesGif({0, 1, 2}, 10));
  scene.gif.Prepare();
  clock.Advance(100 * 300 + 150);  // a hundred loops and a frame and a half
  scene.gif.AdvancePainter();
  EXPECT_EQ(scene.gif.Painter()->ShownFrame(), 1u);
  EXPECT_EQ(scene.gif.Painter()->FramesShown(), 1u + 301u);
}

// Frame 0 fills the row red, frame 1 paints only the right pixel blue.
TEST(GifObjectTest, RefreshFrameRestoresTheBackgroundBetweenFrames) {
  const std::string bytes = test::MakeGif(2, 1, kPalette, {Frame(0, 0, 2, 1, {0, 0}, 10), Frame(1, 0, 1, 1, {2}, 10)});
  for (bool refresh : {false, true}) {
    SCOPED_TRACE(refresh);
    ManualClock clock(0);
    ScopedClock scoped(clock);
    GifScene scene(bytes);
    scene.gif.RefreshFrame = refresh;
    scene.gif.Prepare();
    clock.Advance(100);
    scene.gif.AdvancePainter();
    ASSERT_EQ(scene.gif.Painter()->ShownFrame(), 1u);
    const Bitmap32& frame = scene.Drawn();
    EXPECT_EQ(frame.GetPixel(0, 0), refresh ? kFrameGrey : kRed);
    EXPECT_EQ(frame.GetPixel(1, 0), kBlue);
  }
}

TEST(GifObjectTest, OneFrameGifStartsNoPainter) {
  GifScene scene(FourColourGif());
  scene.gif.SetManualPainter(false);
  scene.gif.Prepare();
  EXPECT_EQ(scene.gif.Painter(), nullptr);
  EXPECT_EQ(&scene.gif.CurrentImage(), &scene.gif.Image);
  EXPECT_EQ(scene.Drawn().GetPixel(0, 0), kRed);
  EXPECT_EQ(scene.gif.AdvancePainter(), 0u);
}

TEST(GifObjectTest, StopJoinsThePainterThread) {
  ManualClock clock(0);
  ScopedClock scoped(clock);
  GifScene scene(SolidFramesGif({0, 1}, 10));
  scene.gif.SetManualPainter(false);
  scene.gif.Prepare();
  const GifPainter* painter = scene.gif.Painter();
  ASSERT_NE(painter, nullptr);
  EXPECT_TRUE(painter->ThreadRunning());
  EXPECT_TRUE(scene.gif.PainterActive);
  // The thread notices the clock within its longest wait.
  clock.Advance(100);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (painter->FramesShown() < 2 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_GE(painter->FramesShown(), 2u);

  scene.gif.Stop();
  EXPECT_FALSE(painter->ThreadRunning());
  EXPECT_FALSE(scene.gif.PainterActive);
  const uint64_t shown = painter->FramesShown();
  clock.Advance(1000);
  EXPECT_EQ(scene.gif.AdvancePainter(), 0u);
  EXPECT_EQ(painter->FramesShown(), shown);
  // The last frame stays on show.
  EXPECT_EQ(scene.Drawn().GetPixel(0, 0), painter->ShownFrame() == 0 ? kRed : kGreen);
}

TEST(GifObjectTest, SwitchingToManualStopsTheThreadButKeepsPlaying) {
  ManualClock clock(0);
  ScopedClock scoped(clock);
  GifScene scene(SolidFramesGif({0, 1}, 10));
  scene.gif.SetManualPainter(false);
  scene.gif.Prepare();
  scene.gif.SetManualPainter(true);
  EXPECT_FALSE(scene.gif.Painter()->ThreadRunning());
  clock.Advance(100);
  EXPECT_EQ(scene.gif.AdvancePainter(), 1u);
  EXPECT_EQ(scene.gif.Painter()->ShownFrame(), 1u);
}

TEST(GifObjectTest, UnusablePicturesShowNothing) {
  test::TempFolder folder;
  const std::string cases[] = {
      test::WritePicture(folder, "broken.gif", "GIF89a\x02\x00"),
      test::WritePicture(folder, "empty.gif", ""),
      PathToAnsi(folder / "missing.gif"),
  };
  for (const std::string& file : cases) {
    SCOPED_TRACE(file);
    GifObject gif;
    gif.FileName = file;
    test::PlainPlacement(gif);
    gif.SetManualPainter(true);
    gif.Prepare();
    EXPECT_EQ(gif.ImgWidth, 0);
    EXPECT_TRUE(gif.CurrentImage().Empty());
    EXPECT_EQ(gif.Painter(), nullptr);
    Bitmap32 frame;
    frame.SetSize(4, 4);
    frame.Clear(kFrameGrey);
    frame.DrawStretched(Rect{0, 0, 4, 4}, Rect{0, 0, gif.ImgWidth, gif.ImgHeight}, gif.CurrentImage());
    EXPECT_EQ(frame.GetPixel(0, 0), kFrameGrey);
  }
}

TEST(GifObjectTest, MissingFileIsLookedForInTheSharedImagesFolder) {
  test::TempFolder shared;
  test::WritePicture(shared, "b.gif", FourColourGif());
  GifObject gif(shared.path());
  gif.FileName = "C:\\elsewhere\\b.gif";
  test::PlainPlacement(gif);
  gif.Prepare();
  EXPECT_EQ(gif.ImgWidth, 2);
  EXPECT_EQ(gif.FileName, PathToAnsi(shared / "b.gif"));
}

TEST(GifObjectTest, SecondPrepareRestartsFromTheFirstFrame) {
  ManualClock clock(0);
  ScopedClock scoped(clock);
  GifScene scene(SolidFramesGif({0, 1, 2}, 10));
  scene.gif.Prepare();
  clock.Advance(150);
  scene.gif.AdvancePainter();
  ASSERT_EQ(scene.gif.Painter()->ShownFrame(), 1u);
  scene.gif.Prepare();
  EXPECT_EQ(scene.gif.Painter()->ShownFrame(), 0u);
  EXPECT_EQ(scene.Drawn().GetPixel(0, 0), kRed);
}

// --- the painter on its own ---

GifAnimation SolidAnimation(int32_t w, int32_t h, const std::vector<Color32>& colours, int32_t delayCs) {
  GifAnimation gif;
  gif.width = w;
  gif.height = h;
  gif.globalPalette = colours;
  for (size_t i = 0; i < colours.size(); ++i) {
    GifFrame f;
    f.width = w;
    f.height = h;
    f.indices.assign(static_cast<size_t>(w) * h, static_cast<uint8_t>(i));
    f.palette = colours;
    f.delayCs = delayCs;
    gif.frames.push_back(f);
  }
  return gif;
}

TEST(GifPainterTest, RestorePreviousDisposalBringsBackTheCanvas) {
  ManualClock clock(0);
  ScopedClock scoped(clock);
  auto gif = std::make_shared<GifAnimation>(SolidAnimation(2, 1, {kRed, kGreen, kBlue}, 10));
  gif->frames[1].width = 1;  // green on the left pixel, then restored
  gif->frames[1].indices = {1};
  gif->frames[1].disposal = GifDisposal::RestorePrevious;
  gif->frames[2].left = 1;  // blue on the right pixel
  gif->frames[2].width = 1;
  gif->frames[2].indices = {2};
  Bitmap32 like;
  GifPainter painter(gif, 100, kGifKeyColor, like);
  painter.Start(false);
  clock.Advance(200);
  painter.Advance();
  ASSERT_EQ(painter.ShownFrame(), 2u);
  const Bitmap32& shown = painter.Acquire();
  EXPECT_EQ(shown.GetPixel(0, 0), kRed & kGifPaintMask);
  EXPECT_EQ(shown.GetPixel(1, 0), kBlue & kGifPaintMask);
}

TEST(GifPainterTest, AZeroSpeedStandsStill) {
  ManualClock clock(0);
  ScopedClock scoped(clock);
  auto gif = std::make_shared<GifAnimation>(SolidAnimation(1, 1, {kRed, kGreen}, 10));
  Bitmap32 like;
  GifPainter painter(gif, 0, kGifKeyColor, like);
  painter.Start(true);
  EXPECT_FALSE(painter.ThreadRunning());
  clock.Advance(100000);
  EXPECT_EQ(painter.Advance(), 0u);
  EXPECT_EQ(painter.ShownFrame(), 0u);
}

TEST(GifPainterTest, FramesWithoutDelayDoNotSpin) {
  EXPECT_EQ(ScaledFrameMs(0, 100), kMinGifFrameMs);
  EXPECT_EQ(ScaledFrameMs(10, 200), 50u);
  EXPECT_EQ(ScaledFrameMs(10, 50), 200u);
  EXPECT_EQ(ScaledFrameMs(10, 150), 66u);
}

// The reader sees whole frames only, while the painter thread publishes.
TEST(GifPainterTest, ReaderNeverSeesAHalfPaintedFrame) {
  ManualClock clock(0);
  ScopedClock scoped(clock);
  auto gif = std::make_shared<GifAnimation>(SolidAnimation(64, 64, {kRed, kGreen, kBlue}, 1));
  Bitmap32 like;
  GifPainter painter(gif, 1000, kGifKeyColor, like);
  painter.Start(true);
  uint64_t checked = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (painter.FramesShown() < 60 && std::chrono::steady_clock::now() < deadline) {
    clock.Advance(10);
    const Bitmap32& frame = painter.Acquire();
    const Color32 first = frame.GetPixel(0, 0);
    for (int32_t y = 0; y < frame.Height(); ++y)
      for (int32_t x = 0; x < frame.Width(); ++x) ASSERT_EQ(frame.GetPixel(x, y), first);
    ++checked;
  }
  painter.Stop();
  EXPECT_GE(painter.FramesShown(), 60u);
  EXPECT_GT(checked, 0u);
}

}  // namespace
}  // namespace lumevra
