// A bare object for the motion, timing and fade tests: no picture, no
// thread, a manual clock and a fixed seed, so every step is repeatable and
// the random draws of a step can be replayed to compute what it must give.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Clock.h"
#include "base/Random.h"
#include "objects/AnimObject.h"

namespace lumevra::test {

// Records what the fades hand to the kind.
class ProbeObject final : public AnimObject {
public:
  std::string_view ObjType() const override { return "TST"; }
  void LoadObjectFromText(std::string_view text) override { LoadFromText(text); }
  void DrawOnto(Bitmap32&, const Rect&, FontRaster*) override {}
  void ApplyAlpha(uint8_t alpha) override { Applied.push_back(alpha); }

  std::vector<uint8_t> Applied;
};

// Runs draws(), which makes the same draws from the shared generator as the
// step under test, from a fixed state; then restores that state so the step
// itself sees the same numbers. Returns what draws() returns.
template <typename F>
auto Replay(uint64_t seed, F&& draws) {
  SetFixedSeed(seed);
  auto result = draws();
  SetFixedSeed(seed);
  return result;
}

// Prepare's own draws before the start position: it reseeds at the current
// tick, then picks the wanderer's limit and ranges.
inline void SkipPrepareDraws() {
  Randomize();
  Random(300);
  Random(1000);
  Random(1000);
}

// A 100 x 80 picture on a 1024 x 768 background drawn on a 2048 x 1536 frame.
class ObjectTest : public ::testing::Test {
protected:
  static constexpr uint32_t kStart = 100000;
  static constexpr uint64_t kSeed = 7;

  void SetUp() override { SetFixedSeed(kSeed); }
  void TearDown() override { SetFixedSeed(std::nullopt); }

  // An object with every key at its default but those given ("Key=value"
  // lines), not yet prepared.
  std::unique_ptr<ProbeObject> Make(const std::string& keys) {
    auto o = std::make_unique<ProbeObject>();
    o->LoadFromText("[Obj0]\n" + keys);
    o->BackWidth = 1024;
    o->BackHeight = 768;
    o->ScreenRect = {0, 0, 2048, 1536};
    o->ImgWidth = 100;
    o->ImgHeight = 80;
    return o;
  }

  std::unique_ptr<ProbeObject> Prepared(const std::string& keys) {
    auto o = Make(keys);
    o->Prepare();
    return o;
  }

  // Advances the clock by ms, then takes one step.
  void TickAfter(AnimObject& o, uint32_t ms) {
    clock.Advance(ms);
    o.Tick();
  }

  uint32_t Now() const { return TickCount(); }

  ManualClock clock{kStart};
  ScopedClock scoped{clock};
};

}  // namespace lumevra::test
