// The frame cycle at 2560 x 1600 against one full-frame copy: the water
// pass over a mask of all six layers (mixed directions, perspective, a
// reflecting layer, jitter), the same over a mask covering a third of the
// picture, a whole engine step with snow and clock, and rain alone. Each
// water benchmark also times a frame copy in the same run and reports the
// ratio, since the machines are shared.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

#include "base/Clock.h"
#include "engine/ScenePlayer.h"
#include "objects/ObjectList.h"
#include "package/Project.h"
#include "weather/Rain.h"

#include "BenchSupport.h"

namespace {

using namespace lumevra;

using bench::kH;
using bench::kW;
using bench::Seconds;

// A water scene built in code. The mask starts at row `firstRow` and is cut
// into six bands with wavy shores, one per layer, with a few dry islands.
struct Scene {
  ManualClock clock{5000};
  ScopedClock scoped{clock};
  ScenePlayer scene;
  Project& project = scene.GetProject();
  Engine& engine = scene.GetEngine();

  explicit Scene(int32_t firstRow, int32_t weatherKind = 0, bool clockOn = false) {
    project.Background.SetSize(kW, kH);
    project.Mask.SetSize(kW, kH);
    project.Width = kW;
    project.Height = kH;
    const int32_t depth = kH - firstRow;
    for (int32_t y = 0; y < kH; ++y) {
      Color32* bg = project.Background.ScanLine(y);
      Color32* m = project.Mask.ScanLine(y);
      for (int32_t x = 0; x < kW; ++x) {
        bg[x] = Rgba(uint8_t(x * 7 + y), uint8_t(y * 3), uint8_t(x ^ y));
        m[x] = 0x00FFFFFF;
        if (y < firstRow) continue;
        const int32_t wobble = int32_t(30 * std::sin(x / 80.0) + 8 * std::sin(x / 13.0));
        const int32_t band = std::clamp((y - firstRow + wobble) * 6 / depth, 0, 5);
        const bool island = ((x / 97) + (y / 53)) % 11 == 0;
        if (!island) m[x] = LayerColors[size_t(band + 1)];
      }
    }
    for (size_t i = 0; i < 8; ++i) {
      WaveParams& p = project.WaveLayers[i];
      p.SetLoaderDefaults();
      p.Direction = int32_t(i % 6);
      p.Perspective = i % 2 == 0;
      p.HorzSway = i % 3 == 1;
      p.Jitter = (i == 0 || i == 4) ? 4 : 0;
      p.Reflection = i == 2;
      p.Amplitude = 4 + int32_t(i);
    }
    project.Weather.Kind = weatherKind;
    project.Weather.Amount = 400;
    project.Weather.SpeedIndex = 10;
    project.Weather.SizeOrSlant = weatherKind == 2 ? 20 : 6;
    project.Weather.DropLength = 10;
    project.Weather.Opacity = 8;
    SceneOptions options;
    options.showClock = clockOn;
    scene.Prepare(options);
  }

  void Step() {
    clock.Advance(32);
    engine.Step();
  }
};

void BM_FrameCopy(benchmark::State& state) {
  Bitmap32 src, dst;
  src.SetSize(kW, kH);
  dst.SetSize(kW, kH);
  for (auto _ : state) {
    dst.Draw(0, 0, src);
    benchmark::DoNotOptimize(dst.Bits());
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}

void WaterStep(benchmark::State& state, int32_t firstRow) {
  Scene scene(firstRow);
  Bitmap32 copy;
  copy.SetSize(kW, kH);
  double water = 0, plain = 0;
  for (auto _ : state) {
    water += Seconds([&] { scene.Step(); });
    plain += Seconds([&] { copy.Draw(0, 0, scene.engine.WaveSurface); });
    benchmark::DoNotOptimize(scene.engine.WaveSurface.Bits());
    benchmark::DoNotOptimize(copy.Bits());
  }
  state.counters["per_frame_copy"] = water / plain;
}

void BM_WaterStep(benchmark::State& state) { WaterStep(state, 0); }
void BM_WaterStepThird(benchmark::State& state) { WaterStep(state, kH - kH / 3); }

// A whole step as the saver shows it: water over the lower half, snow, clock.
void BM_FrameStep(benchmark::State& state) {
  Scene scene(kH / 2, 1, true);
  for (auto _ : state) {
    scene.Step();
    benchmark::DoNotOptimize(scene.engine.FrameSurface.Bits());
  }
}

// Rain alone: 1000 drops moved and drawn on a frame-sized surface.
void BM_RainStep(benchmark::State& state) {
  ManualClock clock;
  ScopedClock scoped(clock);
  Bitmap32 surface;
  surface.SetSize(kW, kH);
  Rain rain;
  rain.Surface = &surface;
  rain.SetAmount(1000);
  rain.Populate();
  rain.Elapsed = 32;
  for (auto _ : state) {
    rain.Advance();
    benchmark::DoNotOptimize(surface.Bits());
  }
}

}  // namespace

BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaterStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaterStepThird)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RainStep)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
