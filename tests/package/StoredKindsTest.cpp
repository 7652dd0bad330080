// Stored integers that name a kind: each documented value maps to its kind,
// and values outside the documented range keep the effect they always had.
#include <gtest/gtest.h>

#include "graphics/GifDecoder.h"
#include "objects/AnimObject.h"
#include "package/ProjectRecords.h"

namespace lumevra {
namespace {

TEST(StoredKinds, WeatherAndPlayModes) {
  WeatherParams w;
  const struct { int32_t stored; WeatherKind kind; bool on; } weather[] = {
      {0, WeatherKind::None, false}, {1, WeatherKind::Snow, true}, {2, WeatherKind::Rain, true},
      {3, WeatherKind::None, true},  // switched on, draws nothing
      {-1, WeatherKind::None, false},
  };
  for (const auto& c : weather) {
    w.Kind = c.stored;
    EXPECT_EQ(w.KindOf(), c.kind) << c.stored;
    EXPECT_EQ(w.SwitchedOn(), c.on) << c.stored;
  }
  SoundSlot slot;
  const struct { int32_t stored; SoundPlayMode mode; } modes[] = {
      {0, SoundPlayMode::Loop}, {1, SoundPlayMode::RandomPause}, {2, SoundPlayMode::FixedPause},
      {3, SoundPlayMode::Never}, {-1, SoundPlayMode::Never},
  };
  for (const auto& c : modes) {
    slot.PlayMode = c.stored;
    EXPECT_EQ(slot.ModeOf(), c.mode) << c.stored;
  }
}

TEST(StoredKinds, WaveDirections) {
  // jitterLifts, slanted, fromRight, backward
  const struct { int32_t stored; bool lifts, slanted, fromRight, backward; } cases[] = {
      {0, true, false, false, true},   {1, true, false, false, false},  {2, false, true, true, false},
      {3, false, true, false, false},  {4, false, true, false, true},    {5, false, true, true, true},
      {-3, true, false, false, false},  // below the range: straight, forward
      {6, false, false, false, false},  // above: straight, forward, the rows not lifted
  };
  for (const auto& c : cases) {
    const WaveDirectionTraits t = TraitsOfDirection(c.stored);
    EXPECT_EQ(t.jitterLifts, c.lifts) << c.stored;
    EXPECT_EQ(t.slanted, c.slanted) << c.stored;
    EXPECT_EQ(t.fromRight, c.fromRight) << c.stored;
    EXPECT_EQ(t.backward, c.backward) << c.stored;
  }
}

TEST(StoredKinds, ObjectKeysAndGifDisposal) {
  EXPECT_EQ(MotionOf(7), ObjectMotion::Ellipse);
  EXPECT_EQ(MotionOf(8), ObjectMotion::None);
  EXPECT_EQ(MotionOf(9), ObjectMotion::Jitter);
  EXPECT_EQ(MotionOf(10), ObjectMotion::None);
  EXPECT_EQ(StartDirectionOf(8), StartDirection::DownRight);
  EXPECT_EQ(StartDirectionOf(9), StartDirection::Random);
  EXPECT_EQ(StartPlaceOf(5), StartPlace::RandomOutside);
  EXPECT_EQ(StartPlaceOf(6), StartPlace::KeyValue);
  EXPECT_EQ(GifDisposalOf(2), GifDisposal::RestoreBackground);
  EXPECT_EQ(GifDisposalOf(3), GifDisposal::RestorePrevious);
  EXPECT_EQ(GifDisposalOf(4), GifDisposal::Unspecified);
  EXPECT_EQ(GifDisposalOf(-1), GifDisposal::Unspecified);
}

}  // namespace
}  // namespace lumevra
