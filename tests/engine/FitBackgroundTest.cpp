#include "engine/FitBackground.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

#include "graphics/FastBitmap.h"
#include "package/Project.h"

namespace lumevra {
namespace {

// A picture of the given size with a gradient, and a mask of the same size
// in layer-colour stripes and blocks.
struct Scene {
  Bitmap32 picture;
  Bitmap32 mask;
  std::array<WaveParams, 8> waves{};

  Scene(int32_t w, int32_t h) {
    picture.SetSize(w, h);
    mask.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        picture.SetPixel(x, y, Rgba((x * 255) / w, (y * 255) / h, (x + y) & 0xFF));
        mask.SetPixel(x, y, LayerColors[static_cast<size_t>((x / 3 + y / 2) % 7)]);
      }
    for (size_t i = 0; i < waves.size(); ++i) {
      waves[i].Amplitude = static_cast<int32_t>(i) + 1;
      waves[i].Jitter = static_cast<int32_t>(2 * i) + 1;
      waves[i].Speed = 40;
    }
  }

  void Fit(bool proportional, int32_t W, int32_t H) { FitPicture(proportional, picture, mask, waves, W, H); }
};

TEST(FitPicture, ProportionalKeepsTheShape) {
  struct Case {
    int32_t picW, picH, W, H, wantW, wantH;
  };
  const Case cases[] = {
      {40, 10, 80, 60, 80, 20},   // wider than the window's shape: width W, height Round(W / aspect)
      {10, 40, 80, 60, 15, 60},   // taller: height H, width Round(H * aspect)
      {4, 1, 10, 100, 10, 2},     // 10 / 4 = 2.5 rounds to even
      {1, 4, 100, 10, 2, 10},     // 10 * 0.25 = 2.5 rounds to even
      {30, 20, 60, 40, 60, 40},   // same shape
      {300, 1, 50, 50, 50, 1},    // 50 / 300 would round to 0: kept at one row
  };
  for (const Case& c : cases) {
    Scene s(c.picW, c.picH);
    s.Fit(true, c.W, c.H);
    EXPECT_EQ(s.picture.Width(), c.wantW) << c.picW << "x" << c.picH << " in " << c.W << "x" << c.H;
    EXPECT_EQ(s.picture.Height(), c.wantH) << c.picW << "x" << c.picH << " in " << c.W << "x" << c.H;
    EXPECT_EQ(s.mask.Width(), c.wantW);
    EXPECT_EQ(s.mask.Height(), c.wantH);
  }
}

TEST(FitPicture, NonProportionalGivesExactlyTheWindowSize) {
  Scene s(30, 20);
  s.Fit(false, 47, 13);
  EXPECT_EQ(s.picture.Width(), 47);
  EXPECT_EQ(s.picture.Height(), 13);
  EXPECT_EQ(s.mask.Width(), 47);
  EXPECT_EQ(s.mask.Height(), 13);
}

TEST(FitPicture, PictureIsTheSmoothResizeOfTheOriginal) {
  // Other sizes, and the picture's own (which takes a shorter way to the
  // same pixels), from a picture with alpha values that fitting drops.
  for (auto [W, H] : {std::pair{47, 13}, std::pair{30, 20}, std::pair{31, 20}, std::pair{30, 19}}) {
    Scene s(30, 20);
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 30; ++x) s.picture.SetPixel(x, y, (s.picture.GetPixel(x, y) & 0xFFFFFF) | Color32(x * 8) << 24);
    Bitmap32 originalMask;
    originalMask.Assign(s.mask);
    FastBitmap source, target;
    source.LoadFrom(s.picture);
    target.SetSize(W, H);
    source.SmoothResize(target);
    Bitmap32 want;
    want.SetSize(W, H);
    target.DrawTo(want, 0, 0);

    s.Fit(false, W, H);
    ASSERT_EQ(s.picture.Width(), W);
    ASSERT_EQ(s.picture.Height(), H);
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x)
        ASSERT_EQ(s.picture.GetPixel(x, y), want.GetPixel(x, y)) << x << "," << y << " in " << W << "x" << H;
    if (W == 30 && H == 20) {
      for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x) ASSERT_EQ(s.mask.GetPixel(x, y), originalMask.GetPixel(x, y));
      for (size_t i = 0; i < s.waves.size(); ++i) EXPECT_EQ(s.waves[i].Amplitude, int32_t(i) + 1);
    }
  }
  Scene s(30, 20);
  s.Fit(false, 47, 13);
  // The resize walks the rows bottom-up, so the bottom-left pixel is the
  // one that lands exactly on a source pixel: (0, 19) of the original.
  EXPECT_EQ(s.picture.GetPixel(0, 12), Rgba(0, (19 * 255) / 20, 19));
  EXPECT_EQ(AlphaOf(s.picture.GetPixel(46, 12)), 255);
}

TEST(FitPicture, MaskKeepsOnlyItsOwnColours) {
  for (auto [W, H] : {std::pair{47, 13}, std::pair{91, 77}, std::pair{7, 5}}) {
    Scene s(30, 20);
    std::set<Color32> before(s.mask.Bits(), s.mask.Bits() + 30 * 20);
    s.Fit(false, W, H);
    std::set<Color32> after(s.mask.Bits(), s.mask.Bits() + W * H);
    for (Color32 c : after) EXPECT_TRUE(before.count(c)) << std::hex << c << " at " << std::dec << W << "x" << H;
    // Enlarging keeps every colour present.
    if (W > 30 && H > 20) {
      EXPECT_EQ(after, before);
    }
  }
  // Nearest neighbour: target pixel (x, y) is mask pixel (x * 30 / 60, y * 20 / 40).
  Scene s(30, 20);
  Bitmap32 original;
  original.Assign(s.mask);
  s.Fit(false, 60, 40);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 60; ++x) ASSERT_EQ(s.mask.GetPixel(x, y), original.GetPixel(x / 2, y / 2));
}

TEST(FitPicture, WaveFieldsFollowTheSize) {
  Scene s(640, 10);
  s.waves[0].Amplitude = 6;
  s.Fit(false, 1280, 20);
  EXPECT_EQ(s.waves[0].Amplitude, 12);
  EXPECT_EQ(s.waves[0].Jitter, 2);
  EXPECT_EQ(s.waves[0].Speed, 40);  // not measured in pixels

  // Halves go to even: 1.5 x 3 = 4.5 -> 4, 1.5 x 5 = 7.5 -> 8.
  Scene t(64, 48);
  t.waves[0].Amplitude = 3;
  t.waves[1].Amplitude = 5;
  t.waves[0].Jitter = 5;
  t.waves[1].Jitter = 1;
  t.Fit(false, 96, 72);
  EXPECT_EQ(t.waves[0].Amplitude, 4);
  EXPECT_EQ(t.waves[1].Amplitude, 8);
  EXPECT_EQ(t.waves[0].Jitter, 8);
  EXPECT_EQ(t.waves[1].Jitter, 2);

  // Width and height scale apart: Amplitude by the width, Jitter by the height.
  Scene u(10, 10);
  u.waves[2].Amplitude = 4;
  u.waves[2].Jitter = 4;
  u.Fit(false, 30, 5);
  EXPECT_EQ(u.waves[2].Amplitude, 12);
  EXPECT_EQ(u.waves[2].Jitter, 2);
}

TEST(FitPicture, HostileWaveFieldsSaturate) {
  Scene s(10, 10);
  s.waves[0].Amplitude = INT32_MAX;
  s.waves[0].Jitter = INT32_MIN;
  s.Fit(false, 40, 40);
  EXPECT_EQ(s.waves[0].Amplitude, INT32_MAX);
  EXPECT_EQ(s.waves[0].Jitter, INT32_MIN);
}

TEST(FitPicture, NoSizeOrNoPictureChangesNothing) {
  for (auto [W, H] : {std::pair{0, 600}, std::pair{800, 0}, std::pair{0, 0}, std::pair{-800, 600},
                      std::pair{800, -1}}) {
    for (bool proportional : {false, true}) {
      Scene s(30, 20);
      Bitmap32 picture, mask;
      picture.Assign(s.picture);
      mask.Assign(s.mask);
      const auto waves = s.waves;
      s.Fit(proportional, W, H);
      ASSERT_EQ(s.picture.Width(), 30);
      ASSERT_EQ(s.mask.Height(), 20);
      EXPECT_TRUE(std::equal(picture.Bits(), picture.Bits() + 600, s.picture.Bits()));
      EXPECT_TRUE(std::equal(mask.Bits(), mask.Bits() + 600, s.mask.Bits()));
      for (size_t i = 0; i < waves.size(); ++i) {
        EXPECT_EQ(s.waves[i].Amplitude, waves[i].Amplitude);
        EXPECT_EQ(s.waves[i].Jitter, waves[i].Jitter);
      }
    }
  }
  Scene s(30, 20);
  s.picture.SetSize(0, 0);
  s.Fit(false, 800, 600);
  EXPECT_TRUE(s.picture.Empty());
  EXPECT_EQ(s.mask.Width(), 30);
  EXPECT_EQ(s.waves[3].Amplitude, 4);
}

TEST(FitPicture, AnEmptyMaskBecomesAMaskWithoutLayers) {
  Scene s(30, 20);
  s.mask.SetSize(0, 0);
  s.Fit(false, 50, 40);
  ASSERT_EQ(s.mask.Width(), 50);
  ASSERT_EQ(s.mask.Height(), 40);
  for (int32_t i = 0; i < 50 * 40; ++i) ASSERT_EQ(MaskCode(s.mask.Bits()[i]), 0);
}

TEST(FitPicture, AnAbsurdWindowThrowsBeforeChangingAnything) {
  Scene s(30, 20);
  EXPECT_THROW(s.Fit(false, 1 << 20, 1 << 20), BitmapError);
  EXPECT_EQ(s.picture.Width(), 30);
  EXPECT_EQ(s.mask.Width(), 30);
  EXPECT_EQ(s.waves[0].Amplitude, 1);
}

}  // namespace
}  // namespace lumevra

namespace lumevra {
namespace {

TEST(FitBackgroundProject, FitsTheProjectsPictureMaskAndLayers) {
  Project project;
  project.Background.SetSize(640, 400);
  project.Mask.SetSize(640, 400);
  project.Mask.FillRect(0, 200, 640, 400, LayerColors[2]);
  project.WaveLayers[3].Amplitude = 6;
  project.WaveLayers[3].Jitter = 3;
  FitBackground(false, project, 1280, 600);
  EXPECT_EQ(project.Background.Width(), 1280);
  EXPECT_EQ(project.Background.Height(), 600);
  EXPECT_EQ(project.Mask.Width(), 1280);
  EXPECT_EQ(project.Mask.GetPixel(5, 599), LayerColors[2]);
  EXPECT_EQ(project.WaveLayers[3].Amplitude, 12);
  EXPECT_EQ(project.WaveLayers[3].Jitter, 4);  // 4.5 rounds to even
}

}  // namespace
}  // namespace lumevra
