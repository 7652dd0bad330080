#include "platform/linux/SdlMusic.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/linux/SdlSound.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

// A silent 16-bit mono wave file of `ms` milliseconds at 22050 Hz.
std::string SilentWave(uint32_t ms) {
  const std::vector<uint8_t> format = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0};
  const std::vector<uint8_t> samples(22050 * ms / 1000 * 2, 0);
  const std::vector<uint8_t> file = BuildWaveFile(format, samples.data(), samples.size());
  return std::string(file.begin(), file.end());
}

class SdlMusicTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::WriteFile(dir / "short.wav", SilentWave(150));
    test::WriteFile(dir / "junk.mp3", "not music at all");
  }

  // Hands SDL events to the device for up to `ms`, until `done` holds.
  template <typename Done>
  void Pump(uint32_t ms, Done done) {
    const uint32_t start = SDL_GetTicks();
    while (!done() && SDL_GetTicks() - start < ms) {
      SDL_Event event;
      if (SDL_WaitEventTimeout(&event, 20)) music.HandleEvent(event);
    }
  }

  test::TempFolder dir;
  std::shared_ptr<SdlMixer> mixer = std::make_shared<SdlMixer>();
  SdlMusic music{mixer};
};

TEST_F(SdlMusicTest, RejectsWhatItCannotPlay) {
  EXPECT_FALSE(music.Open(dir / "missing.ogg"));
  EXPECT_FALSE(music.Open(dir / "junk.mp3"));
  EXPECT_FALSE(music.Play([] {}));
  EXPECT_EQ(music.Position(), 0u);
  music.Close();  // nothing open: nothing happens
}

TEST_F(SdlMusicTest, ReportsTheEndOnThePumpingThreadAndRestarts) {
  ASSERT_TRUE(music.Open(dir / "short.wav")) << SDL_GetError();
  EXPECT_NEAR(static_cast<double>(music.Length()), 150.0, 2.0);
  music.SetVolume(500);
  int ends = 0;
  bool atEnd = false;
  std::function<void()> notify = [&] {
    ++ends;
    atEnd = music.Position() >= music.Length();
    // What the music's owner does at the end: reopen and play again.
    if (ends == 1 && music.Open(dir / "short.wav")) music.Play(notify);
  };
  ASSERT_TRUE(music.Play(notify));
  EXPECT_LT(music.Position(), music.Length());
  Pump(5000, [&] { return ends >= 2; });
  EXPECT_EQ(ends, 2);
  EXPECT_TRUE(atEnd);
}

TEST_F(SdlMusicTest, ClosingBeforeTheEndNotifiesNothing) {
  ASSERT_TRUE(music.Open(dir / "short.wav"));
  int ends = 0;
  ASSERT_TRUE(music.Play([&] { ++ends; }));
  music.Close();
  // A reopened file is not told about the earlier play's end either.
  ASSERT_TRUE(music.Open(dir / "short.wav"));
  Pump(400, [] { return false; });
  EXPECT_EQ(ends, 0);
}

// A pause (the display sleeps) holds the position for however long it lasts
// and reports no end; the next Play goes on from there to the end.
TEST_F(SdlMusicTest, APauseHoldsThePositionAndPlayGoesOnFromThere) {
  test::WriteFile(dir / "long.wav", SilentWave(600));
  ASSERT_TRUE(music.Open(dir / "long.wav")) << SDL_GetError();
  int ends = 0;
  ASSERT_TRUE(music.Play([&] { ++ends; }));
  Pump(150, [] { return false; });
  music.Pause();
  const uint32_t held = music.Position();
  EXPECT_GT(held, 0u);
  Pump(800, [] { return false; });  // longer than the whole piece
  EXPECT_EQ(ends, 0);
  EXPECT_EQ(music.Position(), held);
  ASSERT_TRUE(music.Play([&] { ++ends; }));
  EXPECT_GE(music.Position(), held);  // not from the start again
  Pump(3000, [&] { return ends > 0; });
  EXPECT_EQ(ends, 1);
}

// Looping, SDL_mixer plays the file again itself: no end reaches the owner
// (so nothing is closed and opened again between the rounds), and the
// music still plays after several times its length.
TEST_F(SdlMusicTest, LoopingPlaysOnWithoutReportingAnEnd) {
  ASSERT_TRUE(music.Open(dir / "short.wav")) << SDL_GetError();
  ASSERT_TRUE(music.SetLooping(true));
  int ends = 0;
  ASSERT_TRUE(music.Play([&] { ++ends; }));
  Pump(800, [] { return false; });  // over five times round
  EXPECT_EQ(ends, 0);
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  EXPECT_LT(music.Position(), music.Length());
  // A reopened file plays once again unless asked to loop.
  ASSERT_TRUE(music.Open(dir / "short.wav"));
  ASSERT_TRUE(music.Play([&] { ++ends; }));
  Pump(3000, [&] { return ends > 0; });
  EXPECT_EQ(ends, 1);
}

}  // namespace
}  // namespace lumevra
