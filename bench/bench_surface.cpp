// Frame-sized surface drawing against a plain copy of the same bytes: the
// ratios show what blending and resampling cost beyond moving the memory.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "graphics/Bitmap32.h"

namespace {

using lumevra::Bitmap32;
using lumevra::DrawMode;
using lumevra::Rect;
using lumevra::StretchFilter;

constexpr int32_t kW = 1920;
constexpr int32_t kH = 1080;

// A source with every kind of alpha an object picture has: transparent,
// opaque and partly transparent pixels.
void FillSource(Bitmap32& bmp, int32_t w, int32_t h) {
  bmp.SetSize(w, h);
  for (int32_t i = 0; i < w * h; ++i) {
    const auto v = static_cast<uint32_t>(i) * 2654435761u;
    const uint32_t alpha = (i % 3 == 0) ? 0 : (i % 3 == 1) ? 255 : (v >> 24);
    bmp.Bits()[i] = (alpha << 24) | (v & 0x00FFFFFFu);
  }
}

template <class F>
double Seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One run times the blend and the copy side by side and reports their ratio.
void BM_BlendVsMemcpy(benchmark::State& state) {
  Bitmap32 src, dst;
  FillSource(src, kW, kH);
  src.Mode = DrawMode::dmBlend;
  src.SetMasterAlpha(static_cast<uint8_t>(state.range(0)));
  dst.SetSize(kW, kH);
  std::vector<uint32_t> copy(static_cast<size_t>(kW) * kH);
  double blend = 0, plain = 0;
  for (auto _ : state) {
    blend += Seconds([&] { dst.Draw(0, 0, src); });
    plain += Seconds([&] { std::memcpy(copy.data(), src.Bits(), copy.size() * sizeof(uint32_t)); });
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::DoNotOptimize(copy.data());
  }
  state.counters["blend_per_memcpy"] = blend / plain;
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}

void BM_DrawOpaque(benchmark::State& state) {
  Bitmap32 src, dst;
  FillSource(src, kW, kH);
  dst.SetSize(kW, kH);
  for (auto _ : state) {
    dst.Draw(0, 0, src);
    benchmark::DoNotOptimize(dst.Bits());
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}

// A preview-sized output stretched to the full frame, as a windowed saver does.
void BM_DrawStretched(benchmark::State& state) {
  Bitmap32 src, dst;
  FillSource(src, 1280, 720);
  src.Filter = static_cast<StretchFilter>(state.range(0));
  dst.SetSize(kW, kH);
  for (auto _ : state) {
    dst.DrawStretched(Rect{0, 0, kW, kH}, Rect{0, 0, 1280, 720}, src);
    benchmark::DoNotOptimize(dst.Bits());
  }
}

BENCHMARK(BM_BlendVsMemcpy)->Arg(255)->Arg(128)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawOpaque)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawStretched)
    ->Arg(static_cast<int>(StretchFilter::sfNearest))
    ->Arg(static_cast<int>(StretchFilter::sfDraft))
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
