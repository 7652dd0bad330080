// Start-up to the first frame of the demo saver (extract the package, load
// the project, decode its pictures, fit them to a 1920 x 1080 screen,
// prepare the engine and objects, one step), beside decoding the demo's
// background JPEG alone: that decode is the floor a start-up is measured
// against. Text objects are left out (no font raster here).
#include <benchmark/benchmark.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/ScenePlayer.h"
#include "graphics/PictureLoader.h"
#include "package/PackageExtractor.h"

namespace {

namespace fs = std::filesystem;
using namespace lumevra;

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void BM_DecodeBackgroundJpeg(benchmark::State& state) {
  const std::string jpeg = ReadAll(fs::path(LUMEVRA_DEMO_DIR) / "lakeside.jpg");
  if (jpeg.empty()) {
    state.SkipWithError("the demo is not built (target demo)");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(DecodeJpeg(jpeg));
}

void BM_StartUp(benchmark::State& state) {
  const fs::path saver = LUMEVRA_DEMO_SAVER;
  if (!fs::exists(saver)) {
    state.SkipWithError("the demo is not built (target demo)");
    return;
  }
  static std::atomic<int> run{0};
  for (auto _ : state) {
    const fs::path folder =
        CreateFreshFolder(fs::temp_directory_path() / ("lumevra-bench-startup-" + std::to_string(run++)));
    ScenePlayer scene;
    scene.Extract(saver, folder);
    SceneOptions options;
    options.stretch = true;
    options.screen = {1920, 1080};
    scene.Prepare(options);
    scene.Step();
    benchmark::DoNotOptimize(scene.Frame().Bits());
  }
}

}  // namespace

BENCHMARK(BM_DecodeBackgroundJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
