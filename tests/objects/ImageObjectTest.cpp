#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/Clock.h"

#include "support/PictureFixtures.h"
#include "objects/PictureObjectSupport.h"

namespace lumevra {
namespace {

using test::kFrameGrey;

constexpr Color32 kRed = Rgba(255, 0, 0);
constexpr Color32 kGreen = Rgba(0, 255, 0);
constexpr Color32 kBlue = Rgba(0, 0, 255);
constexpr Color32 kWhite = Rgba(255, 255, 255);

// 2 x 2, 24 bits: red green / blue white, rows stored bottom up.
std::string FourColourBmp() {
  auto bgr = [](Color32 c) { return std::string{char(BlueOf(c)), char(GreenOf(c)), char(RedOf(c))}; };
  const std::string pad(2, '\0');
  return test::MakeBmp(2, 2, 24, 0, {}, bgr(kBlue) + bgr(kWhite) + pad + bgr(kRed) + bgr(kGreen) + pad);
}

// 2 x 2 with alpha: red 0, green 255 / blue 128, white 255.
std::string FourColourPng(bool withAlpha = true) {
  const std::vector<uint32_t> pixels = {kRed & 0x00FFFFFFu, kGreen, (kBlue & 0x00FFFFFFu) | 0x80000000u, kWhite};
  return test::MakePng(2, 2, pixels, withAlpha);
}

struct ImgScene {
  test::TempFolder folder;
  ImageObject img;
  Bitmap32 frame;

  ImgScene(const std::string& bytes, const std::string& name, bool transparent, uint8_t type, int32_t opacity = 10) {
    img.FileName = test::WritePicture(folder, name, bytes);
    img.Transparent = transparent;
    img.TransparentType = type;
    test::PlainPlacement(img, opacity);
    img.Prepare();
  }
  const Bitmap32& Drawn() {
    test::DrawOverGrey(img, frame);
    return frame;
  }
};

// F over the grey frame at alpha m, as CombinePixel blends: the result
// takes alpha m, so alpha 0 keeps the frame's colour only.
Color32 Over(Color32 f, uint32_t m) {
  auto mix = [&](uint32_t a, uint32_t b) { return (a * m + b * (255 - m)) / 255; };
  return (m << 24) | (mix(RedOf(f), 0x40) << 16) | (mix(GreenOf(f), 0x40) << 8) | mix(BlueOf(f), 0x40);
}

TEST(ImageObjectTest, TransparencyByKindAndKeys) {
  struct Case {
    const char* name;
    bool png;
    bool transparent;
    uint8_t type;
    uint32_t transparentColor;
    std::vector<Color32> drawn;  // red, green, blue, white pixels as drawn over grey
  };
  const Color32 g = kFrameGrey;
  const Case cases[] = {
      {"bmp keyed by bottom-left (type 0)", false, true, 0, 0, {kRed, kGreen, g, kWhite}},
      {"bmp keyed by bottom-left (type 1)", false, true, 1, 0, {kRed, kGreen, g, kWhite}},
      {"bmp keyed by TransparentColor", false, true, 2, 0x0000FF, {g, kGreen, kBlue, kWhite}},
      {"bmp not transparent", false, false, 0, 0, {kRed, kGreen, kBlue, kWhite}},
      {"png alpha", true, true, 0, 0, {Over(kRed, 0), kGreen, Over(kBlue, 128), kWhite}},
      {"png keyed by bottom-left", true, true, 1, 0, {kRed, kGreen, g, kWhite}},
      {"png keyed by TransparentColor", true, true, 2, 0x00FF00, {kRed, g, kBlue, kWhite}},
      {"png not transparent", true, false, 0, 0, {kRed, kGreen, kBlue, kWhite}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ImgScene scene(c.png ? FourColourPng() : FourColourBmp(), c.png ? "a.png" : "a.bmp", c.transparent, c.type);
    scene.img.TransparentColor = c.transparentColor;
    scene.img.Prepare();
    ASSERT_EQ(scene.img.ImgWidth, 2);
    const Bitmap32& frame = scene.Drawn();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(frame.GetPixel(i % 2, i / 2), c.drawn[i]) << "pixel " << i;
  }
}

// Opacity 5 is alpha 128 for every picture; a PNG whose alpha is in use
// scales its own alpha by it instead.
TEST(ImageObjectTest, OpacityAppliesToEveryPicture) {
  {
    ImgScene bmp(FourColourBmp(), "a.bmp", false, 0, 5);
    EXPECT_EQ(bmp.Drawn().GetPixel(0, 0), Over(kRed, 128));
  }
  {
    ImgScene png(FourColourPng(), "a.png", true, 0, 5);
    EXPECT_EQ(png.Drawn().GetPixel(1, 0), Over(kGreen, 128));         // 255 x 128 / 255
    EXPECT_EQ(png.Drawn().GetPixel(0, 1), Over(kBlue, 128 * 128 / 255));
  }
  for (uint8_t type : {1, 2}) {
    ImgScene png(FourColourPng(), "a.png", true, type, 5);
    EXPECT_EQ(png.Drawn().GetPixel(1, 1), Over(kWhite, 128)) << int{type};
  }
  {
    ImgScene png(FourColourPng(), "a.png", false, 0, 5);
    EXPECT_EQ(png.Drawn().GetPixel(0, 0), Over(kRed, 128));
  }
  ImgScene opaquePng(FourColourPng(false), "b.png", true, 0, 5);
  EXPECT_FALSE(opaquePng.img.HasAlpha);
  EXPECT_TRUE(opaquePng.img.IsPng);
  EXPECT_EQ(opaquePng.Drawn().GetPixel(0, 0), Over(kRed, 128));
}

// A PNG without an alpha channel fades in over its two seconds like any
// other picture: 0 at the start, 64 after a quarter, 128 half-way, then 255.
TEST(ImageObjectTest, RgbPngFadesIn) {
  ManualClock clock(1000);
  ScopedClock scoped(clock);
  test::TempFolder folder;
  ImageObject img;
  img.LoadObjectFromText("[Obj0]\nAppearEffect=1\nAppearEffectDur=2\n");
  img.FileName = test::WritePicture(folder, "rgb.png", FourColourPng(false));
  img.Transparent = true;
  img.TransparentType = 0;
  test::PlainPlacement(img);
  img.Prepare();
  ASSERT_FALSE(img.HasAlpha);
  Bitmap32 frame;
  for (auto [ms, alpha] : {std::pair{0u, 0u}, {500u, 64u}, {1000u, 128u}, {2000u, 255u}}) {
    SCOPED_TRACE(ms);
    clock.Advance(ms - (TickCount() - 1000));
    img.Tick();
    test::DrawOverGrey(img, frame);
    EXPECT_EQ(frame.GetPixel(0, 0), Over(kRed, alpha));
    EXPECT_EQ(frame.GetPixel(1, 1), Over(kWhite, alpha));
  }
}

TEST(ImageObjectTest, KeyColorIsTheWholeBottomLeftPixel) {
  ImgScene png(FourColourPng(), "a.png", true, 1);
  EXPECT_EQ(png.img.KeyColor, (kBlue & 0x00FFFFFFu) | 0x80000000u);
  ImgScene bmp(FourColourBmp(), "a.bmp", true, 2);
  bmp.img.TransparentColor = 0x00FF00;
  bmp.img.Prepare();
  EXPECT_EQ(bmp.img.KeyColor, kGreen);
}

TEST(ImageObjectTest, CombinePixelTruncates) {
  ImageObject img;
  img.Transparent = false;
  Color32 b = Rgba(0, 255, 10, 0);
  img.CombinePixel(Rgba(255, 0, 20, 255), b, 128);
  EXPECT_EQ(b, Rgba(128, 127, 15, 128));
}

// Alphas 10 20 / 30 40 on a 2 x 2 PNG.
std::string AlphaRampPng() {
  return test::MakePng(2, 2, {0x0A000000u, 0x14000000u, 0x1E000000u, 0x28000000u}, true);
}

TEST(ImageObjectTest, PixelAlphaFollowsCutOffAndMirroring) {
  struct Case {
    int32_t x, y;
    bool flipped;
    int32_t cachedLeft, cachedTop;
    int32_t widthSize;
    double scaleX;
    uint32_t alpha;
  };
  const Case cases[] = {
      {0, 0, false, 0, 0, 100, 1, 10},   {1, 0, false, 0, 0, 100, 1, 20},  {0, 1, false, 0, 0, 100, 1, 30},
      {0, 0, true, 0, 0, 100, 1, 20},    {1, 1, true, 0, 0, 100, 1, 30},   // mirrored
      {0, 0, false, -1, 0, 100, 1, 20},  {0, 0, false, 0, -1, 100, 1, 30}, // cut off at the left, the top
      {0, 0, true, -1, 0, 100, 1, 10},                                     // cut off and mirrored
      {0, 0, false, -2, 0, 200, 1, 20},                                    // drawn at 200 %
      {0, 0, false, -1, 0, 0, 1, 10},                                      // WidthSize 0: no correction
      {0, 0, false, -2, 0, 100, 2, 20},                                    // frame twice the background
      {2, 0, false, 0, 0, 100, 1, 0},    {-1, 0, false, 0, 0, 100, 1, 0},  {0, 2, false, 0, 0, 100, 1, 0},
  };
  ImgScene scene(AlphaRampPng(), "ramp.png", true, 0);
  ASSERT_TRUE(scene.img.HasAlpha);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " flipped " << c.flipped << " cut " << c.cachedLeft
                                    << "," << c.cachedTop << " size " << c.widthSize << " scale " << c.scaleX);
    scene.img.Flipped = c.flipped;
    scene.img.CachedLeft = c.cachedLeft;
    scene.img.CachedTop = c.cachedTop;
    scene.img.WidthSize = c.widthSize;
    scene.img.ScaleX = c.scaleX;
    uint32_t alpha = 255;
    scene.img.PixelAlpha(c.x, c.y, alpha);
    EXPECT_EQ(alpha, c.alpha);
  }
}

TEST(ImageObjectTest, PixelAlphaTakesOpacityWithOrWithoutThePngAlpha) {
  ImgScene scene(AlphaRampPng(), "ramp.png", true, 0, 5);
  uint32_t alpha = 0;
  scene.img.PixelAlpha(1, 1, alpha);
  EXPECT_EQ(alpha, 40u * 128 / 255);
  scene.img.Transparent = false;  // the PNG's alpha out of use: Opacity alone
  scene.img.PixelAlpha(1, 1, alpha);
  EXPECT_EQ(alpha, 128u);
}

// Shrunk with the draft filter, the alpha still comes per pixel: the
// transparent left column leaves the frame's colour as it was (its alpha
// becomes the pixel's, 0).
TEST(ImageObjectTest, ShrunkPngKeepsItsAlpha) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) pixels.push_back(x < 2 ? 0x00FF0000u : kRed);
  ImgScene scene(test::MakePng(4, 4, pixels, true), "half.png", true, 0);
  Bitmap32 frame;
  frame.SetSize(2, 2);
  frame.Clear(kFrameGrey);
  frame.DrawStretched(Rect{0, 0, 2, 2}, Rect{0, 0, 4, 4}, scene.img.CurrentImage());
  EXPECT_EQ(frame.GetPixel(0, 0), kFrameGrey & 0x00FFFFFFu);
  EXPECT_EQ(frame.GetPixel(1, 1), kRed);
}

TEST(ImageObjectTest, UnusablePicturesShowNothing) {
  test::TempFolder folder;
  const std::string cases[] = {
      test::WritePicture(folder, "broken.png", std::string("\x89PNG\r\n\x1a\n", 8) + "garbage"),
      test::WritePicture(folder, "broken.bmp", "BM"),
      test::WritePicture(folder, "empty.jpg", ""),
      PathToAnsi(folder / "missing.png"),
  };
  for (const std::string& file : cases) {
    SCOPED_TRACE(file);
    ImageObject img;
    img.FileName = file;
    img.Transparent = true;
    test::PlainPlacement(img);
    img.Prepare();
    EXPECT_EQ(img.ImgWidth, 0);
    EXPECT_FALSE(img.HasAlpha);
    EXPECT_TRUE(img.CurrentImage().Empty());
    uint32_t alpha = 255;
    img.PixelAlpha(0, 0, alpha);
    EXPECT_EQ(alpha, 255u);
  }
}

TEST(ImageObjectTest, PrepareAgainReloadsAndResetsTheOpacity) {
  ImgScene scene(FourColourBmp(), "a.bmp", false, 0, 5);
  scene.img.ApplyAlpha(3);
  scene.img.Opacity = 10;
  scene.img.Prepare();
  EXPECT_EQ(scene.img.Image.MasterAlpha(), 255);
  EXPECT_EQ(scene.img.Image.Filter, StretchFilter::sfDraft);
  EXPECT_EQ(scene.img.FlippedImage.Width(), 2);
}

}  // namespace
}  // namespace lumevra
