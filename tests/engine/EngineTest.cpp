// The engine's frame cycle: preparation, the choice of output surface,
// elapsed time, weather set-up and per-frame values, objects and clock, and
// the same frames whatever the number of threads.
#include "engine/Engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

#include "WavesTestSupport.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "objects/ObjectList.h"
#include "objects/PictureObjects.h"
#include "package/Project.h"
#include "weather/Rain.h"
#include "weather/Snow.h"

namespace lumevra {
namespace {

using test::MaskFor;
using test::PixelAt;

// A project built in code: a picture naming its pixels, a mask painted by a
// function, default-ish layers, an empty object list; time stands still
// until the test moves it.
struct EngineRig {
  ManualClock clock{1000};
  ScopedClock scoped{clock};
  Project project{MakeAnimObjectsFactory({})};
  Engine engine;

  EngineRig(int32_t w, int32_t h, const std::function<int(int32_t, int32_t)>& layerAt) {
    project.Background.SetSize(w, h);
    project.Mask.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        project.Background.SetPixel(x, y, PixelAt(x, y));
        project.Mask.SetPixel(x, y, MaskFor(layerAt(x, y)));
      }
    project.Width = w;
    project.Height = h;
    for (auto& p : project.WaveLayers) {
      p.SetLoaderDefaults();
      p.Amplitude = 3;
    }
  }

  ObjectList& Objects() { return *dynamic_cast<ObjectList*>(project.Objects.get()); }

  void Start(bool weather = false) {
    engine.SetProject(project, &Objects());
    engine.Prepare();
    engine.SetWeather(weather);
  }

  static std::vector<Color32> Pixels(const Bitmap32& b) {
    return {b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height())};
  }
};

int NoLayer(int32_t, int32_t) { return -1; }
int TopAndBottom(int32_t x, int32_t y) { return y < 10 ? (x > 1 ? 1 : -1) : 0; }

TEST(Engine, WithNothingDrawnOverTheWavesTheWaveSurfaceShowsTheUnchangedPicture) {
  EngineRig rig(12, 9, NoLayer);
  rig.Start();
  EXPECT_EQ(&rig.engine.OutputSurface(), &rig.engine.WaveSurface);
  EXPECT_TRUE(rig.engine.FrameSurface.Empty());
  for (int frame = 0; frame < 4; ++frame) {
    rig.clock.Advance(40);
    rig.engine.Step();
    EXPECT_EQ(EngineRig::Pixels(rig.engine.OutputSurface()), EngineRig::Pixels(rig.project.Background));
  }
  EXPECT_EQ(rig.engine.Water.Phases[1], 4 * 12);  // the phases still advance (15 x 40 / 50 per frame)
}

TEST(Engine, OutputIsTheFrameSurfaceWhenAnythingIsDrawnOverTheWaves) {
  struct Case { const char* name; int32_t kind; bool weatherOn; bool object; bool clockOn; bool frame; };
  const Case cases[] = {
      {"nothing", 0, false, false, false, false},
      {"snow", 1, true, false, false, true},
      {"rain", 2, true, false, false, true},
      {"weather wanted but switched off", 2, false, false, false, false},
      {"an object", 0, false, true, false, true},
      {"the clock", 0, false, false, true, true},
  };
  for (const Case& c : cases) {
    EngineRig rig(24, 16, TopAndBottom);
    rig.project.Weather.Kind = c.kind;
    rig.project.Weather.Amount = 20;
    if (c.object) rig.Objects().Add(std::make_unique<ImageObject>());
    rig.engine.ClockOn = c.clockOn;
    rig.Start(c.weatherOn);
    EXPECT_EQ(&rig.engine.OutputSurface(), c.frame ? &rig.engine.FrameSurface : &rig.engine.WaveSurface) << c.name;
    // Prepare sizes the frame surface whenever the project could draw over the waves.
    EXPECT_EQ(rig.engine.FrameSurface.Empty(), !(c.kind > 0 || c.object || c.clockOn)) << c.name;
    rig.clock.Advance(50);
    rig.engine.Step();
    EXPECT_EQ(rig.engine.OutputSurface().Width(), 24) << c.name;
    if (c.object) {  // nothing shown yet: the frame is a fresh copy of the waves
      EXPECT_EQ(EngineRig::Pixels(rig.engine.FrameSurface), EngineRig::Pixels(rig.engine.WaveSurface));
    }
  }
}

TEST(Engine, PrepareStartsFromTheUndisturbedPicture) {
  EngineRig rig(20, 20, TopAndBottom);
  rig.project.WaveLayers[0].Amplitude = 6;
  rig.project.WaveLayers[0].Reflection = true;
  rig.Start();
  EXPECT_EQ(EngineRig::Pixels(rig.engine.WaveSurface), EngineRig::Pixels(rig.project.Background));
  EXPECT_TRUE(rig.engine.AnyReflection);
  EXPECT_EQ(rig.engine.ReflectionImage.Width(), 20);
  EXPECT_EQ(rig.engine.Water.Phases, (std::array<int32_t, 8>{}));
  EXPECT_EQ(rig.engine.Width, 20);
  EXPECT_EQ(rig.engine.Height, 20);
  EXPECT_EQ(rig.engine.LastTick, 1000u);
}

TEST(Engine, PhasesFollowTheElapsedTime) {
  struct Case { const char* name; uint32_t start; int32_t percent; bool timeBased; uint32_t steps[3]; int32_t phase; };
  const Case cases[] = {
      {"nominal frames", 1000, 100, true, {50, 50, 50}, 45},
      {"a long pause is not clamped", 1000, 100, true, {50, 10000, 50}, 3030},
      {"double speed", 1000, 200, true, {50, 25, 0}, 45},
      {"frame-based", 1000, 100, false, {5, 500, 0}, 45},
      {"the tick count wraps", 0xFFFFFFC0u, 100, true, {50, 50, 50}, 45},
  };
  for (const Case& c : cases) {
    EngineRig rig(8, 20, TopAndBottom);
    rig.clock.Set(c.start);
    rig.project.SpeedPercent = c.percent;
    rig.project.WaveLayers[1].Speed = 15;
    rig.project.WaveLayers[1].Direction = 2;
    rig.engine.TimeBased = c.timeBased;
    rig.Start();
    EXPECT_EQ(rig.engine.Water.Phases[1], c.timeBased ? 0 : 15) << c.name;  // the step inside Prepare
    const int32_t base = rig.engine.Water.Phases[1];
    for (uint32_t ms : c.steps) {
      rig.clock.Advance(ms);
      rig.engine.Step();
    }
    EXPECT_EQ(rig.engine.Water.Phases[1] - base, c.phase) << c.name;
  }
}

TEST(Engine, ALayerWithoutPeriodDoesNotStopTheFrame) {
  EngineRig rig(16, 20, TopAndBottom);
  rig.project.WaveLayers[0].Period = 0;
  rig.project.WaveLayers[0].Amplitude = 9;
  rig.project.WaveLayers[1].Speed = 15;
  rig.project.WaveLayers[1].WaveCount = 17;
  rig.Start();
  bool moved = false;
  for (int frame = 0; frame < 5; ++frame) {
    rig.clock.Advance(50);
    ASSERT_NO_THROW(rig.engine.Step());
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        if (y >= 10)
          ASSERT_EQ(rig.engine.WaveSurface.GetPixel(x, y), PixelAt(x, y));
        else
          moved = moved || rig.engine.WaveSurface.GetPixel(x, y) != PixelAt(x, y);
      }
  }
  EXPECT_TRUE(moved);
}

TEST(Engine, StepWithoutPreparationIsRefused) {
  EngineRig rig(4, 4, NoLayer);
  EXPECT_THROW(rig.engine.Step(), std::logic_error);
  rig.Start();
  rig.engine.Step();
  EngineRig other(6, 6, NoLayer);
  rig.engine.SetProject(other.project, &other.Objects());  // rebound: the old wave state is gone until Prepare
  EXPECT_THROW(rig.engine.Step(), std::logic_error);
  rig.engine.Prepare();
  rig.engine.Step();
  EXPECT_EQ(rig.engine.OutputSurface().Width(), 6);
}

TEST(Engine, SetWeatherCreatesWhatTheKindAsksForAndFreesItWhenOff) {
  EngineRig rig(30, 20, NoLayer);
  rig.project.Weather = WeatherParams{1, 40, 3, 12, 15, 7};
  rig.Start(true);
  ASSERT_TRUE(rig.engine.SnowFall);
  EXPECT_FALSE(rig.engine.RainFall);
  EXPECT_EQ(rig.engine.SnowFall->Surface, &rig.engine.FrameSurface);
  EXPECT_EQ(rig.engine.SnowFall->Amount, 40);
  EXPECT_EQ(rig.engine.SnowFall->Flakes.size(), 40u);

  rig.clock.Advance(30);
  rig.engine.Step();
  EXPECT_EQ(rig.engine.SnowFall->Elapsed, 30);
  EXPECT_EQ(rig.engine.SnowFall->SpeedIndex, 3);
  EXPECT_EQ(rig.engine.SnowFall->MaxSize, 8);  // 12, at most 8
  EXPECT_EQ(rig.engine.SnowFall->Opacity, 7);
  rig.project.Weather.SizeOrSlant = 5;  // taken afresh every frame
  rig.project.Weather.Opacity = 3;
  rig.engine.Step();
  EXPECT_EQ(rig.engine.SnowFall->MaxSize, 5);
  EXPECT_EQ(rig.engine.SnowFall->Opacity, 3);

  rig.engine.SetWeather(false);
  EXPECT_FALSE(rig.engine.SnowFall);
  EXPECT_FALSE(rig.engine.WeatherOn);

  rig.project.Weather = WeatherParams{2, 70, 4, 30, 15, 9};
  rig.engine.SetWeather(true);
  ASSERT_TRUE(rig.engine.RainFall);
  EXPECT_EQ(rig.engine.RainFall->Amount, 70);
  EXPECT_EQ(rig.engine.RainFall->Surface, &rig.engine.FrameSurface);
  rig.clock.Advance(20);
  rig.engine.Step();
  EXPECT_EQ(rig.engine.RainFall->Angle, 150);
  EXPECT_EQ(rig.engine.RainFall->DropLength, 15);
  EXPECT_EQ(rig.engine.RainFall->Elapsed, 20);
  EXPECT_EQ(rig.engine.RainFall->SpeedIndex, 4);

  rig.project.Weather.Kind = 3;
  rig.engine.SetWeather(true);
  EXPECT_FALSE(rig.engine.RainFall);
  EXPECT_FALSE(rig.engine.SnowFall);
  rig.engine.Step();  // an unknown kind draws nothing and fails nothing
}

// Makes the object a 2 x 2 picture: red left column, blue right column, opaque.
void PaintPicture(ImageObject& object) {
  object.Image.SetSize(2, 2);
  for (int32_t y = 0; y < 2; ++y) {
    object.Image.SetPixel(0, y, Rgba(255, 0, 0));
    object.Image.SetPixel(1, y, Rgba(0, 0, 255));
  }
  object.ImgWidth = 2;
  object.ImgHeight = 2;
  object.ScaleX = 1.0;
  object.ScaleY = 1.0;
  object.WidthSize = 100;
  object.HeightSize = 100;
  object.Visible = true;
  object.Displayed = true;
  // Full opacity, whatever alpha a step taken before the case stopped it left.
  object.Opacity = 10;
  object.SetAlpha(255);
}

TEST(Engine, DrawsShownPictureObjectsOntoTheFrame) {
  const Color32 red = Rgba(255, 0, 0), blue = Rgba(0, 0, 255);
  struct Case {
    const char* name;
    bool scaled, flipped, displayed, objectsOn;
    int32_t widthSize;
    // Expected colours of columns 3..7 in row 4 (0: the picture shows through).
    Color32 row[5];
  };
  const Case cases[] = {
      {"as it is", false, false, true, true, 100, {red, blue, 0, 0, 0}},
      {"flipped", false, true, true, true, 100, {blue, red, 0, 0, 0}},
      {"twice as wide", true, false, true, true, 200, {red, red, blue, blue, 0}},
      {"not displayed", false, false, false, true, 100, {0, 0, 0, 0, 0}},
      {"objects off", false, false, true, false, 100, {0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    EngineRig rig(12, 10, NoLayer);
    rig.project.Width = 48;  // the size recorded at load, before fitting
    rig.project.Height = 40;
    auto& object = static_cast<ImageObject&>(rig.Objects().Add(std::make_unique<ImageObject>()));
    rig.engine.ObjectsOn = c.objectsOn;
    rig.Start();
    // Start prepared the object from its keys (no picture file); stopped, it
    // keeps the state each case gives it.
    object.Stop();
    PaintPicture(object);
    object.Scaled = c.scaled;
    object.Flipped = c.flipped;
    object.Displayed = c.displayed;
    object.WidthSize = c.widthSize;
    object.PosX = 4.0;  // left edge 3 either way: 4 - half of 2
    object.PosY = 4.0;  // top edge 3
    EXPECT_EQ(object.ScreenRect, (Rect{0, 0, 12, 10})) << c.name;
    EXPECT_EQ(object.BackWidth, 48);
    EXPECT_EQ(object.BackHeight, 40);
    rig.clock.Advance(50);
    rig.engine.Step();
    for (int32_t x = 3; x < 8; ++x) {
      const Color32 want = c.row[x - 3] ? c.row[x - 3] : PixelAt(x, 4);
      EXPECT_EQ(rig.engine.FrameSurface.GetPixel(x, 4), want) << c.name << " column " << x;
    }
    EXPECT_EQ(rig.engine.FrameSurface.GetPixel(3, 2), PixelAt(3, 2)) << c.name;
  }
}

TEST(Engine, TheClockIsDrawnInItsCornerOverTheFrame) {
  EngineRig rig(240, 160, TopAndBottom);
  rig.engine.ClockOn = true;
  rig.engine.Clock.Corner = 3;
  rig.engine.Clock.SetTimeSource([] { return ClockTime{3, 0, 0, 0}; });
  rig.Start();
  EXPECT_EQ(rig.engine.Clock.ClockWidth, 30);  // Round(240 / 8)
  EXPECT_EQ(rig.engine.Clock.Color, 0xFFFFFFu);
  EXPECT_EQ(rig.engine.Clock.Alpha, 180);
  rig.clock.Advance(50);
  rig.engine.Step();
  const Bitmap32& out = rig.engine.OutputSurface();
  ASSERT_EQ(&out, &rig.engine.FrameSurface);
  // The clock covers (200, 120) .. (229, 149): 10 pixels in from the bottom-right corner.
  int changedInside = 0;
  for (int32_t y = 0; y < 160; ++y)
    for (int32_t x = 0; x < 240; ++x) {
      const bool inside = x >= 200 && x < 230 && y >= 120 && y < 150;
      const bool same = out.GetPixel(x, y) == rig.engine.WaveSurface.GetPixel(x, y);
      if (inside)
        changedInside += same ? 0 : 1;
      else
        ASSERT_TRUE(same) << x << "," << y;
    }
  EXPECT_GT(changedInside, 20);
}

// A frame is layered: objects over the waves, the weather over the
// objects, the clock over everything. An opaque green picture covers the
// whole frame, dense snow falls and the clock sits at (10, 10); swapping any
// two of the three layers breaks one of the two checks.
TEST(Engine, ObjectsThenWeatherThenClock) {
  EngineRig rig(240, 60, NoLayer);
  rig.project.Weather = WeatherParams{1, 1000, 10, 8, 0, 10};
  rig.engine.ClockOn = true;
  rig.engine.Clock.Corner = 0;
  rig.engine.Clock.SetTimeSource([] { return ClockTime{3, 0, 0, 0}; });
  auto& object = static_cast<ImageObject&>(rig.Objects().Add(std::make_unique<ImageObject>()));
  SetFixedSeed(21);
  rig.Start(true);
  object.Stop();
  PaintPicture(object);
  const Color32 green = Rgba(0, 200, 0);
  object.Image.SetSize(240, 60);
  object.Image.Clear(green);
  object.ImgWidth = 240;
  object.ImgHeight = 60;
  object.PosX = 120.0;
  object.PosY = 30.0;
  rig.clock.Advance(50);
  rig.engine.Step();
  SetFixedSeed(std::nullopt);

  const Bitmap32& out = rig.engine.OutputSurface();
  const int32_t side = rig.engine.Clock.ClockWidth;
  ASSERT_EQ(side, 30);
  auto inClock = [&](int32_t x, int32_t y) { return x >= 10 && x < 10 + side && y >= 10 && y < 10 + side; };
  // The clock last: its rectangle is exactly the face it rendered, with no
  // flake and no picture drawn over it.
  for (int32_t y = 10; y < 10 + side; ++y)
    for (int32_t x = 10; x < 10 + side; ++x)
      ASSERT_EQ(out.GetPixel(x, y), rig.engine.Clock.Face.GetPixel(x - 10, y - 10)) << x << "," << y;
  // The weather after the objects: flakes show over the green picture.
  int flakePixels = 0, otherPixels = 0;
  for (int32_t y = 0; y < 60; ++y)
    for (int32_t x = 0; x < 240; ++x) {
      if (inClock(x, y)) continue;
      const Color32 c = out.GetPixel(x, y);
      if (c == green) continue;
      // White blended over green: red and blue rise together, green only up.
      if (RedOf(c) == BlueOf(c) && RedOf(c) > 0 && GreenOf(c) >= 200)
        ++flakePixels;
      else
        ++otherPixels;
    }
  EXPECT_GT(flakePixels, 1000);
  EXPECT_EQ(otherPixels, 0);  // the picture covers the waves everywhere
}

TEST(Engine, ClockFaceSizeIsAnEighthOfTheWidthRoundedHalfToEven) {
  const int32_t widths[][2] = {{20, 2}, {28, 4}, {100, 12}, {1024, 128}};
  for (const auto& w : widths) {
    EngineRig rig(w[0], 4, NoLayer);
    rig.engine.ClockOn = true;
    rig.Start();
    EXPECT_EQ(rig.engine.Clock.ClockWidth, w[1]) << w[0];
    EXPECT_EQ(rig.engine.Clock.ClockHeight, w[1]) << w[0];
  }
}

TEST(Engine, AClockSwitchedOnAfterPrepareStillGetsAFrame) {
  EngineRig rig(160, 40, NoLayer);
  rig.Start();
  ASSERT_TRUE(rig.engine.FrameSurface.Empty());
  rig.engine.ClockOn = true;
  rig.clock.Advance(50);
  rig.engine.Step();
  EXPECT_EQ(rig.engine.OutputSurface().Width(), 160);
  EXPECT_EQ(rig.engine.OutputSurface().GetPixel(0, 0), PixelAt(0, 0));
}

// A picture large enough for the water pass and the copy onto the frame
// surface to be cut into bands: every thread count steps the frames the
// column-by-column reference gives. Weather is on with no kind, so the frame
// surface is in use with nothing drawn over the copy.
TEST(Engine, EveryThreadCountStepsTheSameFrames) {
  for (const int32_t threads : {1, 2, 3, 8}) {
    EngineRig rig(512, 256, [](int32_t x, int32_t y) { return ((x / 37) + (y / 23)) % 7 - 1; });
    for (size_t i = 0; i < 8; ++i) {
      WaveParams& p = rig.project.WaveLayers[i];
      p.Direction = int32_t(i % 6);
      p.Jitter = i < 2 || i == 4 ? 4 : 0;
      p.Perspective = i % 2 == 0;
      p.HorzSway = i % 3 == 1;
      p.Reflection = i == 3;
      p.Amplitude = 3 + int32_t(i);
    }
    rig.engine.SetThreads(threads);
    ASSERT_EQ(rig.engine.Threads(), threads);
    rig.Start(true);
    for (int frame = 0; frame < 3; ++frame) {
      Bitmap32 expected;
      expected.Assign(rig.engine.WaveSurface);
      rig.engine.Water.FrameReference(expected);
      rig.clock.Advance(40);
      rig.engine.Step();
      ASSERT_EQ(EngineRig::Pixels(rig.engine.WaveSurface), EngineRig::Pixels(expected))
          << threads << " threads, frame " << frame;
      ASSERT_EQ(EngineRig::Pixels(rig.engine.FrameSurface), EngineRig::Pixels(expected))
          << threads << " threads, frame " << frame;
    }
  }
}

// Clock sizes where Round meets a half: a 976-wide frame gives a 122 face
// (centre 61) and an hour hand of Round(61 x 5 / 10) = Round(30.5) = 30, so
// at three o'clock the bar covers columns 61 .. 90 and not 91.
TEST(ClockRounding, TheHourHandOfA122FaceIs30Long) {
  EngineRig rig(976, 4, NoLayer);
  rig.engine.ClockOn = true;
  rig.Start();
  ClockOverlay& clock = rig.engine.Clock;
  ASSERT_EQ(clock.ClockWidth, 122);
  clock.Color = 0xFFFFFF;
  clock.Alpha = 255;
  clock.Face.Clear(Rgba(0, 0, 0));
  clock.SetTimeSource([] { return ClockTime{3, 0, 0, 0}; });
  const Bitmap32& face = clock.Render();
  for (int32_t row : {60, 61}) {
    EXPECT_EQ(RedOf(face.GetPixel(61 + 29, row)), 255) << row;
    EXPECT_EQ(RedOf(face.GetPixel(61 + 30, row)), 0) << row;
  }
}

// A 640-wide frame gives an 80 face: tick radius 30, minute marks reaching
// in to Round(30 x 19 / 20) = Round(28.5) = 28 and hour marks to
// Round(30 x 8.5 / 10) = Round(25.5) = 26.
TEST(ClockRounding, TheMinuteMarksOfAn80FaceRunFrom30To28) {
  EngineRig rig(640, 4, NoLayer);
  rig.engine.ClockOn = true;
  rig.Start();
  const ClockOverlay& clock = rig.engine.Clock;
  ASSERT_EQ(clock.ClockWidth, 80);
  for (int32_t i = 1; i <= 60; ++i) {
    const double a = 6.0 * i * std::numbers::pi / 180;
    const double r = i % 5 == 0 ? 26 : 28;
    EXPECT_EQ(clock.OuterPoints[i].x, 40 + std::lround(std::sin(a) * 30)) << i;
    EXPECT_EQ(clock.OuterPoints[i].y, 40 - std::lround(std::cos(a) * 30)) << i;
    EXPECT_EQ(clock.InnerPoints[i].x, 40 + std::lround(std::sin(a) * r)) << i;
    EXPECT_EQ(clock.InnerPoints[i].y, 40 - std::lround(std::cos(a) * r)) << i;
  }
  EXPECT_EQ(clock.InnerPoints[1].y, 40 - 28);  // cos 6 degrees x 28 = 27.85; with 29 it would be 28.84
}

}  // namespace
}  // namespace lumevra
