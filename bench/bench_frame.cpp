// The frame cycle at 2560 x 1600 against one full-frame copy: the water
// pass over a mask of all six layers (mixed directions, perspective, a
// reflecting layer, jitter), the same over a mask covering a third of the
// picture, a whole engine step with snow and clock, and rain alone. Each
// water benchmark also times a frame copy in the same run and reports the
// ratio, since the machines are shared. The whole step runs on the
// hardware's threads and on one, at 2560 x 1600 and at 3840 x 2160, all in
// wall time; a copy whose buffers stream from memory (more of them than
// the last-level cache holds) shows what a frame costs in memory passes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "base/Clock.h"
#include "base/WorkerPool.h"
#include "engine/ScenePlayer.h"
#include "engine/SlantColumns.h"
#include "objects/ObjectList.h"
#include "package/Project.h"
#include "weather/Rain.h"

#include "BenchSupport.h"

namespace {

using namespace lumevra;

using bench::kH;
using bench::kW;
using bench::Seconds;

constexpr int32_t k4KW = 3840;
constexpr int32_t k4KH = 2160;

struct SceneSetup {
  int32_t width = kW;
  int32_t height = kH;
  int32_t firstRow = 0;
  int32_t weatherKind = 0;
  bool clockOn = false;
  int32_t threads = WorkerPool::HardwareThreads();
};

// A water scene built in code. The mask starts at row `firstRow` and is cut
// into six bands with wavy shores, one per layer, with a few dry islands.
struct Scene {
  ManualClock clock{5000};
  ScopedClock scoped{clock};
  ScenePlayer scene;
  Project& project = scene.GetProject();
  Engine& engine = scene.GetEngine();

  explicit Scene(const SceneSetup& s) {
    const int32_t W = s.width, H = s.height;
    project.Background.SetSize(W, H);
    project.Mask.SetSize(W, H);
    project.Width = W;
    project.Height = H;
    const int32_t depth = H - s.firstRow;
    for (int32_t y = 0; y < H; ++y) {
      Color32* bg = project.Background.ScanLine(y);
      Color32* m = project.Mask.ScanLine(y);
      for (int32_t x = 0; x < W; ++x) {
        bg[x] = Rgba(uint8_t(x * 7 + y), uint8_t(y * 3), uint8_t(x ^ y));
        m[x] = 0x00FFFFFF;
        if (y < s.firstRow) continue;
        const int32_t wobble = int32_t(30 * std::sin(x / 80.0) + 8 * std::sin(x / 13.0));
        const int32_t band = std::clamp((y - s.firstRow + wobble) * 6 / depth, 0, 5);
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
    project.Weather.Kind = s.weatherKind;
    project.Weather.Amount = 400;
    project.Weather.SpeedIndex = 10;
    project.Weather.SizeOrSlant = s.weatherKind == 2 ? 20 : 6;
    project.Weather.DropLength = 10;
    project.Weather.Opacity = 8;
    engine.SetThreads(s.threads);
    SceneOptions options;
    options.showClock = s.clockOn;
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

// Source and target pairs of a ring of frame buffers, 256 MB in all: a
// pair is copied again only after the others have pushed it out of the
// last-level cache, so every copy reads and writes memory.
void BM_FrameCopyCold(benchmark::State& state) {
  constexpr int64_t kRingBytes = int64_t{256} << 20;
  constexpr int64_t kFrameBytes = int64_t{kW} * kH * 4;
  const auto count = static_cast<size_t>((kRingBytes / kFrameBytes + 1) / 2 * 2);
  std::vector<Bitmap32> ring(count);
  for (Bitmap32& b : ring) {
    b.SetSize(kW, kH);
    b.Clear(Rgba(1, 2, 3));
  }
  size_t pair = 0;
  for (auto _ : state) {
    ring[pair + 1].Draw(0, 0, ring[pair]);
    benchmark::DoNotOptimize(ring[pair + 1].Bits());
    pair = (pair + 2) % count;
  }
  state.SetBytesProcessed(state.iterations() * kFrameBytes);
  state.counters["ring_MB"] = double(count) * double(kFrameBytes) / double(1 << 20);
}

void WaterStep(benchmark::State& state, int32_t firstRow) {
  Scene scene({.firstRow = firstRow});
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
void FrameStep(benchmark::State& state, int32_t width, int32_t height, int32_t threads) {
  Scene scene({.width = width, .height = height, .firstRow = height / 2, .weatherKind = 1, .clockOn = true,
               .threads = threads});
  for (auto _ : state) {
    scene.Step();
    benchmark::DoNotOptimize(scene.engine.FrameSurface.Bits());
  }
  state.counters["threads"] = scene.engine.Threads();
}

void BM_FrameStep(benchmark::State& state) { FrameStep(state, kW, kH, WorkerPool::HardwareThreads()); }
void BM_FrameStepOneThread(benchmark::State& state) { FrameStep(state, kW, kH, 1); }
void BM_FrameStep4K(benchmark::State& state) { FrameStep(state, k4KW, k4KH, WorkerPool::HardwareThreads()); }
void BM_FrameStep4KOneThread(benchmark::State& state) { FrameStep(state, k4KW, k4KH, 1); }

// The one-thread step with each build of the slanted layers' column loops
// ("plain", "avx2", "avx512"), where this processor has it.
void BM_FrameStepOneThreadBuild(benchmark::State& state) {
  const char* names[] = {"plain", "avx2", "avx512"};
  const std::string chosen = SlantBuildInUse();
  const std::string name = names[state.range(0)];
  if (!UseSlantBuild(name)) {
    state.SkipWithError(("no " + name + " build on this processor").c_str());
    return;
  }
  state.SetLabel(name);
  FrameStep(state, kW, kH, 1);
  UseSlantBuild(chosen);
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

// Wall time where the pool's threads work beside the timed one.
BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameCopyCold)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WaterStep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WaterStepThird)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameStep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameStepOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameStepOneThreadBuild)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameStep4K)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameStep4KOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RainStep)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
