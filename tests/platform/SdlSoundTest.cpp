#include "platform/linux/SdlSound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <string>

#include "support/TestFiles.h"

namespace lumevra {
namespace {

// A WAVEFORMATEX of 16-bit PCM.
std::vector<uint8_t> PcmFormat(uint16_t channels, uint32_t rate) {
  const uint16_t block = static_cast<uint16_t>(channels * 2);
  const uint32_t bytesPerSecond = rate * block;
  std::vector<uint8_t> f;
  auto u16 = [&f](uint16_t v) {
    f.push_back(uint8_t(v));
    f.push_back(uint8_t(v >> 8));
  };
  auto u32 = [&](uint32_t v) {
    u16(uint16_t(v));
    u16(uint16_t(v >> 16));
  };
  u16(1);  // PCM
  u16(channels);
  u32(rate);
  u32(bytesPerSecond);
  u16(block);
  u16(16);
  u16(0);  // cbSize
  return f;
}

TEST(SdlSoundVolume, FollowsTheDecibelLaw) {
  const struct {
    int32_t level;
    int expected;
  } cases[] = {{0, 128}, {500, 128}, {-800, 51}, {-1800, 16}, {-4000, 1}, {-6000, 0}, {-10000, 0}, {INT32_MIN, 0}};
  for (const auto& c : cases) EXPECT_EQ(MixVolumeFromHundredthsOfDecibel(c.level), c.expected) << c.level;
}

TEST(SdlSoundWave, WrapsRecordAndSamplesAsARiffFile) {
  const std::vector<uint8_t> format = {1, 2, 3};  // odd: padded
  const uint8_t samples[] = {9, 8, 7, 6, 5};       // odd: padded
  const std::vector<uint8_t> file = BuildWaveFile(format, samples, sizeof samples);
  const std::vector<uint8_t> expected = {'R', 'I', 'F', 'F', 30, 0, 0, 0, 'W', 'A', 'V', 'E',  //
                                         'f', 'm', 't', ' ', 3,  0, 0, 0, 1,   2,   3,   0,    //
                                         'd', 'a', 't', 'a', 5,  0, 0, 0, 9,   8,   7,   6, 5, 0};
  EXPECT_EQ(file, expected);
  EXPECT_TRUE(BuildWaveFile({}, samples, sizeof samples).empty());
  EXPECT_TRUE(BuildWaveFile(format, nullptr, 4).empty());
}

class SdlSoundTest : public ::testing::Test {
protected:
  std::shared_ptr<SdlMixer> mixer = std::make_shared<SdlMixer>();
  SdlSound sound{mixer};
};

TEST_F(SdlSoundTest, HandsOutEightPlayersAndReusesAFreedOne) {
  std::vector<std::unique_ptr<SoundPlayer>> players;
  for (int i = 0; i < 8; ++i) {
    players.push_back(sound.CreatePlayer());
    ASSERT_NE(players.back(), nullptr) << "player " << i << " (" << SDL_GetError() << ")";
  }
  EXPECT_EQ(sound.CreatePlayer(), nullptr);
  players[3].reset();
  EXPECT_NE(sound.CreatePlayer(), nullptr);
}

TEST_F(SdlSoundTest, LoadsPcmAndRejectsABogusFormat) {
  auto player = sound.CreatePlayer();
  ASSERT_NE(player, nullptr);
  const std::vector<uint8_t> samples(4410 * 2, 0);
  EXPECT_TRUE(player->Load(PcmFormat(1, 22050), samples.data(), samples.size()));

  std::vector<uint8_t> bogus = PcmFormat(1, 22050);
  bogus[0] = 0x77;  // no such encoding
  EXPECT_FALSE(player->Load(bogus, samples.data(), samples.size()));
  EXPECT_FALSE(player->Load({1, 0}, samples.data(), samples.size()));  // truncated record
  // The failed load left no sound: playing does nothing.
  player->Play(false);
  EXPECT_FALSE(Mix_Playing(0));
}

TEST_F(SdlSoundTest, StopKeepsThePlaceAndPlayResumes) {
  auto player = sound.CreatePlayer();
  ASSERT_NE(player, nullptr);
  const std::vector<uint8_t> samples(22050 * 2, 0);  // one second
  ASSERT_TRUE(player->Load(PcmFormat(1, 22050), samples.data(), samples.size()));
  player->SetVolume(-800);
  EXPECT_EQ(Mix_Volume(0, -1), 51);
  player->Play(true);
  EXPECT_TRUE(Mix_Playing(0));
  player->Stop();
  EXPECT_TRUE(Mix_Paused(0));
  player->Play(true);
  EXPECT_FALSE(Mix_Paused(0));
  EXPECT_TRUE(Mix_Playing(0));
  // A new sound after a stop starts playing, not paused.
  player->Stop();
  ASSERT_TRUE(player->Load(PcmFormat(1, 22050), samples.data(), samples.size()));
  player->Play(false);
  EXPECT_TRUE(Mix_Playing(0));
  EXPECT_FALSE(Mix_Paused(0));
}

TEST_F(SdlSoundTest, SimpleCallPlaysLoopsAndStops) {
  test::TempFolder dir;
  const std::vector<uint8_t> samples(22050, 0);
  const std::vector<uint8_t> wave = BuildWaveFile(PcmFormat(1, 22050), samples.data(), samples.size());
  test::WriteFile(dir / "s.wav", std::string(wave.begin(), wave.end()));
  sound.PlaySimple(dir / "s.wav", kSndAsync | kSndNoDefault | kSndLoop);
  EXPECT_TRUE(Mix_Playing(SdlMixer::kSimpleChannel));
  sound.PlaySimple({}, kSndAsync | kSndNoDefault);
  EXPECT_FALSE(Mix_Playing(SdlMixer::kSimpleChannel));
  sound.PlaySimple(dir / "missing.wav", kSndAsync | kSndNoDefault);
  EXPECT_FALSE(Mix_Playing(SdlMixer::kSimpleChannel));
}

}  // namespace
}  // namespace lumevra
