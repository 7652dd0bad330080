// One frame of snow and of rain (1000 flakes or drops on a 2560 x 1600
// frame) against one full copy of that frame, which every frame with weather
// pays anyway: step_per_copy says what the weather adds on top.
#include <benchmark/benchmark.h>

#include <chrono>

#include "base/Random.h"
#include "graphics/Bitmap32.h"
#include "weather/Rain.h"
#include "weather/Snow.h"

namespace {

using lumevra::Bitmap32;
using lumevra::Rain;
using lumevra::Snow;

constexpr int32_t kW = 2560;
constexpr int32_t kH = 1600;
constexpr int32_t kCount = 1000;
constexpr int32_t kFrameMs = 32;  // the saver window's pace

void FillFrame(Bitmap32& bmp) {
  bmp.SetSize(kW, kH);
  for (int32_t i = 0; i < kW * kH; ++i) bmp.Bits()[i] = 0xFF000000u | (static_cast<uint32_t>(i) * 2654435761u >> 8);
}

template <class F>
double Seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times step() as the benchmark's own time and a frame copy beside it for the ratio.
template <class Step>
void RunAgainstCopy(benchmark::State& state, Bitmap32& frame, Step&& step) {
  Bitmap32 wave;
  FillFrame(wave);
  double stepping = 0, copying = 0;
  for (auto _ : state) {
    const double s = Seconds(step);
    state.SetIterationTime(s);
    stepping += s;
    copying += Seconds([&] { frame.Draw(0, 0, wave); });
    benchmark::DoNotOptimize(frame.Bits());
  }
  state.counters["step_per_copy"] = stepping / copying;
}

void BM_SnowStep(benchmark::State& state) {
  lumevra::SetFixedSeed(1);
  Bitmap32 frame;
  FillFrame(frame);
  Snow snow;
  snow.Surface = &frame;
  snow.SetAmount(kCount);
  snow.Populate();
  snow.SpeedIndex = 10;
  snow.MaxSize = 8;  // the largest flakes: two discs each
  RunAgainstCopy(state, frame, [&] {
    snow.Elapsed = kFrameMs;
    snow.Advance();
  });
}
BENCHMARK(BM_SnowStep)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_RainStep(benchmark::State& state) {
  lumevra::SetFixedSeed(1);
  Bitmap32 frame;
  FillFrame(frame);
  Rain rain;
  rain.Surface = &frame;
  rain.SetAmount(kCount);
  rain.Populate();
  rain.SpeedIndex = 10;
  rain.Angle = 100;  // slanted: the anti-aliased path
  RunAgainstCopy(state, frame, [&] {
    rain.Elapsed = kFrameMs;
    rain.Advance();
  });
}
BENCHMARK(BM_RainStep)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_FrameCopy(benchmark::State& state) {
  Bitmap32 wave, frame;
  FillFrame(wave);
  frame.SetSize(kW, kH);
  for (auto _ : state) {
    frame.Draw(0, 0, wave);
    benchmark::DoNotOptimize(frame.Bits());
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}
BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
