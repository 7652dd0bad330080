#include "base/Random.h"

#include <atomic>

#include "base/Clock.h"

namespace lumevra {

namespace {

constexpr uint64_t kGolden = 0x9E3779B97F4A7C15ull;

std::atomic<uint64_t> g_state{0x853C49E6748FEA9Bull};
std::atomic<bool> g_fixed{false};
std::atomic<uint64_t> g_fixedSeed{0};
// Reseeds so far (since the last fixed seed): objects prepared within the
// same millisecond must not restart the same sequence.
std::atomic<uint64_t> g_reseeds{0};

// Separates the sequences of reseeds at the same tick; odd, so every count
// gives another input to the mixer.
constexpr uint64_t kReseedStep = 0xD1B54A32D192ED03ull;

// SplitMix64 finaliser: turns consecutive counter values into independent bits.
uint64_t Mix(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint32_t Next32() {
  uint64_t s = g_state.fetch_add(kGolden, std::memory_order_relaxed) + kGolden;
  return static_cast<uint32_t>(Mix(s) >> 32);
}

}  // namespace

int32_t Random(int32_t n) {
  if (n <= 0) return 0;
  return static_cast<int32_t>((static_cast<uint64_t>(Next32()) * static_cast<uint64_t>(n)) >> 32);
}

int32_t RandomRange(int32_t a, int32_t b) {
  int64_t lo = a < b ? a : b;
  int64_t span = static_cast<int64_t>(b) - a;
  if (span < 0) span = -span;
  // A span beyond 31 bits cannot be drawn by Random(n); fold it into range.
  if (span > INT32_MAX) span = INT32_MAX;
  return static_cast<int32_t>(lo + Random(static_cast<int32_t>(span)));
}

int32_t Sign() { return Random(2) == 0 ? -1 : 1; }

void Randomize() {
  const uint64_t tick = TickCount();
  const uint64_t count = g_reseeds.fetch_add(1, std::memory_order_relaxed);
  const uint64_t base = g_fixed.load(std::memory_order_relaxed)
                            ? g_fixedSeed.load(std::memory_order_relaxed) ^ (tick * kGolden)
                            : tick;
  g_state.store(Mix(base + count * kReseedStep), std::memory_order_relaxed);
}

void SetFixedSeed(std::optional<uint64_t> seed) {
  g_fixed.store(seed.has_value(), std::memory_order_relaxed);
  if (seed) {
    g_reseeds.store(0, std::memory_order_relaxed);
    g_fixedSeed.store(*seed, std::memory_order_relaxed);
    g_state.store(Mix(*seed), std::memory_order_relaxed);
  }
}

}  // namespace lumevra
