// A frame at 2560 x 1600 with twenty objects of every kind (animated GIFs,
// PNGs with alpha, BMPs with a key colour, text) over water on the lower
// half, against one full-frame copy timed in the same run. The objects'
// own steps run between frames, untimed: in the saver they run on their
// worker threads, not on the frame's.
#include <benchmark/benchmark.h>

#include <chrono>

#include "../tests/support/ObjectScene.h"
#include "platform/fonts/FreeTypeFontRaster.h"

#include "BenchSupport.h"

namespace {

using namespace lumevra;

using bench::kH;
using bench::kW;
using bench::Seconds;

// The pictures go to a private folder that is removed afterwards.
struct PictureFolder {
  std::filesystem::path path;
  PictureFolder() {
    path = std::filesystem::temp_directory_path() /
           ("bench-objects-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(path);
  }
  ~PictureFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
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

void BM_FrameStepObjects(benchmark::State& state) {
  PictureFolder folder;
  FreeTypeFontRaster fonts;
  test::ObjectSceneRig rig(kW, kH, test::WriteObjectScene(folder.path, true, false), &fonts, true);
  Bitmap32 copy;
  copy.SetSize(kW, kH);
  double frame = 0, plain = 0;
  for (auto _ : state) {
    rig.Objects().StepFor(rig.clock, 32);
    frame += Seconds([&] { rig.engine.Step(); });
    plain += Seconds([&] { copy.Draw(0, 0, rig.engine.OutputSurface()); });
    benchmark::DoNotOptimize(rig.engine.OutputSurface().Bits());
    benchmark::DoNotOptimize(copy.Bits());
  }
  state.counters["per_frame_copy"] = frame / plain;
}

}  // namespace

BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameStepObjects)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
