// One 1920 x 1080 frame to an X window, by each way SdlPresenter knows
// (SDL's renderer, the window's framebuffer), beside one copy of the frame.
// Under Xvfb the renderer is a software GL whose threads work beside this
// one: the "cpu_ms" counter is the whole process's processor time per
// frame, the figure a saver's user pays. Needs an X display
// (xvfb-run -a -s "-screen 0 1920x1080x24" build-release/bin/bench_present).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstring>
#include <exception>
#include <vector>

#include "platform/linux/SdlPresenter.h"

namespace {

using namespace lumevra;

constexpr int32_t kWidth = 1920, kHeight = 1080;

double ProcessCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

std::vector<uint32_t> MakeFrame() {
  std::vector<uint32_t> frame(size_t{kWidth} * kHeight);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint32_t>(i * 2654435761u) | 0xFF000000u;
  return frame;
}

void Present(benchmark::State& state, PresentPath path) {
  std::unique_ptr<SdlPresenterWindow> window;
  try {
    window = std::make_unique<SdlPresenterWindow>(kWidth, kHeight, path);
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  SdlPresenter& presenter = window->Presenter();
  state.SetLabel(presenter.Name());
  const std::vector<uint32_t> frame = MakeFrame();
  const PixelView view{frame.data(), kWidth, kHeight, kWidth};
  const PixelRect place{0, 0, kWidth, kHeight};
  const double cpuBefore = ProcessCpuMs();
  for (auto _ : state) {
    presenter.Present(view, std::span<const PixelRect>(&place, 1));
    window->PumpEvents();
  }
  state.counters["cpu_ms"] = (ProcessCpuMs() - cpuBefore) / static_cast<double>(state.iterations());
}

void BM_PresentRenderer(benchmark::State& state) { Present(state, PresentPath::Renderer); }
void BM_PresentSurface(benchmark::State& state) { Present(state, PresentPath::Surface); }

void BM_FrameCopy1080(benchmark::State& state) {
  const std::vector<uint32_t> frame = MakeFrame();
  std::vector<uint32_t> target(frame.size());
  for (auto _ : state) {
    std::memcpy(target.data(), frame.data(), frame.size() * 4);
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(BM_FrameCopy1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresentRenderer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PresentSurface)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
