#include "sound/SoundEffects.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "platform/headless/HeadlessSound.h"
#include "sound/Wave.h"
#include "sound/WaveBytes.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

using namespace test;
using Lines = std::vector<std::string>;

class SoundEffectTest : public ::testing::Test {
protected:
  SoundEffectTest() {
    WriteFile(folder / "a.wav", PcmWave(100));
    WriteFile(folder / "b.wav", PcmWave(40, 1));
  }
  std::string A() const { return (folder / "a.wav").string(); }
  std::string B() const { return (folder / "b.wav").string(); }

  TempFolder folder;
  HeadlessSoundOutput output;
};

TEST_F(SoundEffectTest, AllEightPlayersGiveDirectMode) {
  SoundEffects sound(&output);
  EXPECT_EQ(sound.Mode(), SoundEffects::ModeDirect);
  EXPECT_EQ(sound.Volume(), 80);
  EXPECT_EQ(output.Lines(SoundCall::CreatePlayer).size(), 8u);
  EXPECT_EQ(output.Lines(SoundCall::CreateFailed), Lines{});
}

TEST_F(SoundEffectTest, AnyMissingPlayerGivesFallbackAndDropsThoseMade) {
  for (int failAt : {0, 5, 7}) {
    SCOPED_TRACE(failAt);
    HeadlessSoundOutput out;
    out.failPlayerAt = failAt;
    {
      SoundEffects sound(&out);
      EXPECT_EQ(sound.Mode(), SoundEffects::ModeFallback);
      EXPECT_EQ(out.PlayersRequested(), failAt + 1) << "no attempt after the failure";
      // Made, failed, then dropped from the last to the first.
      std::vector<std::string> expected;
      for (int i = 0; i < failAt; ++i) expected.push_back("create " + std::to_string(i));
      expected.push_back("create-failed " + std::to_string(failAt));
      for (int i = failAt - 1; i >= 0; --i) expected.push_back("destroy " + std::to_string(i));
      EXPECT_EQ(out.Lines(), expected);
    }
  }
  HeadlessSoundOutput none;
  none.noDevice = true;
  SoundEffects sound(&none);
  EXPECT_EQ(sound.Mode(), SoundEffects::ModeFallback);
  EXPECT_EQ(none.PlayersRequested(), 1);
}

TEST_F(SoundEffectTest, PlayerThatThrowsOnCreationGivesFallback) {
  struct ThrowingOutput : SoundOutput {
    HeadlessSoundOutput inner;
    std::unique_ptr<SoundPlayer> CreatePlayer() override {
      if (inner.PlayersRequested() == 3) throw std::runtime_error("No DXSound");
      return inner.CreatePlayer();
    }
    void PlaySimple(const std::filesystem::path& file, uint32_t flags) override { inner.PlaySimple(file, flags); }
  } out;
  SoundEffects sound(&out);
  EXPECT_EQ(sound.Mode(), SoundEffects::ModeFallback);
  EXPECT_EQ(out.inner.Lines(SoundCall::DestroyPlayer), (std::vector<std::string>{"destroy 2", "destroy 1", "destroy 0"}));
}

TEST_F(SoundEffectTest, WithoutOutputNothingSounds) {
  SoundEffects sound(nullptr);
  EXPECT_EQ(sound.Mode(), SoundEffects::ModeFallback);
  sound.AddSound(0, A());
  sound.Play(0, true);
  sound.StopAll();
  EXPECT_EQ(sound.File(0), A());
}

TEST(SoundEffectVolume, BufferVolumeInHundredthsOfDecibel) {
  struct Case {
    int32_t volume;
    int32_t buffer;
  };
  for (const Case c : {Case{100, 0}, Case{80, -800}, Case{55, -1800}, Case{1, -3960}, Case{0, -4000},
                       // A damaged package: kept within the buffer's range.
                       Case{101, 0}, Case{INT32_MAX, 0}, Case{-150, -10000}, Case{INT32_MIN, -10000}}) {
    EXPECT_EQ(SoundEffects::BufferVolume(c.volume), c.buffer) << c.volume;
  }
}

TEST_F(SoundEffectTest, SlotsKeepTheirPlayersAcrossAnEmptySlot) {
  SoundEffects sound(&output);
  sound.AddSound(0, A());
  sound.AddSound(2, B());
  output.log.clear();
  sound.SetVolume(55);
  sound.Play(2, false);
  sound.Play(1, true);   // no file
  sound.Play(3, false);  // no file
  sound.Play(0, true);
  sound.Play(8, true);  // no such slot
  EXPECT_EQ(output.Lines(), (Lines{"volume 2 -1800", "play 2", "volume 0 -1800", "play 0 loop"}));

  output.log.clear();
  sound.StopAll();
  EXPECT_EQ(output.Lines(), (Lines{"stop 0", "stop 2"}));
}

TEST_F(SoundEffectTest, AddSoundLoadsTheWaveIntoItsPlayer) {
  SoundEffects sound(&output);
  output.log.clear();
  sound.AddSound(0, A());
  sound.AddSound(2, B());
  sound.AddSound(-1, A());
  sound.AddSound(8, A());
  EXPECT_EQ(output.Lines(), (Lines{"load 0 16 100", "load 2 16 40"}));
  EXPECT_EQ(sound.File(2).string(), B());
  EXPECT_TRUE(sound.File(1).empty());
}

TEST_F(SoundEffectTest, BadSoundRaisesKeepsTheNameAndLeavesTheSlotSilent) {
  WriteFile(folder / "bad.wav", Riff(Chunk("fmt ", PcmFormat()), "AVI "));
  WriteFile(folder / "short.wav", PcmWave(100).substr(0, 80));
  WriteFile(folder / "nofmt.wav", Riff(Chunk("data", Samples(10))));
  WriteFile(folder / "nodata.wav", Riff(Chunk("fmt ", PcmFormat())));
  struct Case {
    const char* file;
    bool loadFails;
    std::string message;
  };
  const std::string missing = "Cannot open file " + (folder / "missing.wav").string();
  for (const Case& c : {Case{"bad.wav", false, "Wave is invalid"}, Case{"short.wav", false, "Stream read error"},
                       Case{"missing.wav", false, missing}, Case{"a.wav", true, "Unable to create the sound buffer"},
                       Case{"nofmt.wav", false, "Unable to create the sound buffer"},
                       Case{"nodata.wav", false, "Unable to create the sound buffer"}}) {
    SCOPED_TRACE(c.file);
    HeadlessSoundOutput out;
    SoundEffects sound(&out);
    sound.AddSound(1, B());
    out.loadFails = c.loadFails;
    const auto file = folder / c.file;
    try {
      sound.AddSound(1, file);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_EQ(sound.File(1), file);
    out.log.clear();
    sound.Play(1, false);
    sound.StopAll();
    EXPECT_EQ(out.Lines(), Lines{}) << "the earlier sound of the slot is gone too";
  }
}

TEST_F(SoundEffectTest, FallbackPlaysOnlySlotZeroThroughTheSimpleCall) {
  output.failPlayerAt = 5;
  SoundEffects sound(&output);
  ASSERT_EQ(sound.Mode(), SoundEffects::ModeFallback);
  output.log.clear();
  sound.AddSound(0, A());
  sound.AddSound(1, B());
  EXPECT_EQ(output.Lines(), Lines{}) << "nothing is loaded in fallback mode";

  sound.Play(1, true);
  sound.Play(0, true);
  sound.Play(0, false);
  sound.StopAll();
  EXPECT_EQ(output.Lines(), (Lines{"simple " + A() + " 11", "simple " + A() + " 3", "simple 3"}));
  EXPECT_TRUE(output.log.back().file.empty());
}

TEST_F(SoundEffectTest, FallbackWithoutSlotZeroPlaysNothing) {
  output.noDevice = true;
  SoundEffects sound(&output);
  sound.AddSound(1, B());
  output.log.clear();
  sound.Play(0, true);
  sound.Play(1, true);
  EXPECT_EQ(output.Lines(), Lines{});
}

TEST_F(SoundEffectTest, DestroyStopsThenFreesPlayersLastToFirst) {
  {
    SoundEffects sound(&output);
    sound.AddSound(3, A());
    output.log.clear();
  }
  EXPECT_EQ(output.Lines(), (Lines{"stop 3", "destroy 7", "destroy 6", "destroy 5", "destroy 4", "destroy 3",
                                          "destroy 2", "destroy 1", "destroy 0"}));

  HeadlessSoundOutput fallback;
  fallback.failPlayerAt = 0;
  { SoundEffects sound(&fallback); }
  EXPECT_EQ(fallback.Lines().back(), "simple 3");
}

}  // namespace
}  // namespace lumevra
