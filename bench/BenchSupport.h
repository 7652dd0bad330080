// Shared by the frame benchmarks: the frame size and a wall-clock timer
// for the in-run ratios.
#pragma once

#include <chrono>
#include <cstdint>

namespace lumevra::bench {

constexpr int32_t kW = 2560;
constexpr int32_t kH = 1600;

template <class F>
double Seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace lumevra::bench
