#include "sound/MusicLoop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/Clock.h"
#include "platform/headless/HeadlessSound.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

using namespace test;
using Lines = std::vector<std::string>;

class MusicTest : public ::testing::Test {
protected:
  MusicTest() {
    WriteFile(music, "not decoded by the headless device");
    player.MusicFile = music;
    player.MusicVolume = 50;
  }
  std::string Open() const { return "open " + music.string(); }

  ManualClock clock{5000};
  ScopedClock scoped{clock};
  TempFolder folder;
  std::filesystem::path music = folder / "music.mp3";
  HeadlessMusicDevice device;
  MusicLoop player{&device};
};

TEST_F(MusicTest, PlayMusicOpensSetsTheVolumeAndPlays) {
  EXPECT_TRUE(player.PlayMusic(music));
  EXPECT_TRUE(player.IsOpen());
  EXPECT_EQ(device.Lines(), (Lines{Open(), "volume 500", "loop", "play"}));
}

// A device that loops by itself plays on from the start with no gap: no
// notification, no close, no second open, however many times it goes round.
TEST_F(MusicTest, LoopsOnTheDeviceWithoutReopeningWhereItCan) {
  device.lengthMs = 300;
  ASSERT_TRUE(player.PlayMusic(music));
  device.log.clear();
  for (int frame = 0; frame < 40; ++frame) {  // four times round
    clock.Advance(32);
    EXPECT_FALSE(device.DeliverNotifications());
  }
  EXPECT_EQ(device.Lines(), Lines{});
  EXPECT_TRUE(device.IsPlaying());
  EXPECT_EQ(device.Position(), 40u * 32 % 300) << "round again from the start";
}

TEST_F(MusicTest, VolumeIsTenTimesTheMusicVolume) {
  struct Case {
    int32_t musicVolume;
    int32_t deviceVolume;
  };
  for (const Case c : {Case{0, 0}, Case{1, 10}, Case{50, 500}, Case{100, 1000}, Case{250, 1000}, Case{-3, 0},
                       Case{INT32_MAX, 1000}}) {
    SCOPED_TRACE(c.musicVolume);
    player.MusicVolume = c.musicVolume;
    EXPECT_TRUE(player.PlayMusic(music));
    EXPECT_EQ(device.Volume(), c.deviceVolume);
    EXPECT_TRUE(device.IsPlaying()) << "silent but playing";
  }
}

TEST_F(MusicTest, RestartsAtTheEndThroughTheNotification) {
  device.canLoop = false;
  device.lengthMs = 3000;
  ASSERT_TRUE(player.PlayMusic(music));
  device.log.clear();

  clock.Advance(2999);
  EXPECT_FALSE(device.DeliverNotifications());
  EXPECT_EQ(device.Position(), 2999u);
  clock.Advance(1);
  EXPECT_TRUE(device.DeliverNotifications());
  EXPECT_EQ(device.Lines(), (Lines{"close", Open(), "volume 500", "loop failed", "play"}));
  EXPECT_EQ(device.Position(), 0u) << "from the beginning";

  // And again, one loop per end.
  device.log.clear();
  clock.Advance(1500);
  EXPECT_FALSE(device.DeliverNotifications());
  clock.Advance(1600);
  EXPECT_TRUE(device.DeliverNotifications());
  EXPECT_FALSE(device.DeliverNotifications()) << "delivered once";
  EXPECT_EQ(device.Lines(), (Lines{"close", Open(), "volume 500", "loop failed", "play"}));
}

TEST_F(MusicTest, RestartPlaysMusicFileAndSurvivesItsLoss) {
  device.canLoop = false;
  device.lengthMs = 100;
  ASSERT_TRUE(player.PlayMusic(music));
  std::filesystem::remove(music);
  device.log.clear();
  clock.Advance(100);
  EXPECT_TRUE(device.DeliverNotifications());
  EXPECT_EQ(device.Lines(), (Lines{"close", Open() + " failed"}));
  EXPECT_FALSE(player.IsOpen());
  clock.Advance(1000);
  EXPECT_FALSE(device.DeliverNotifications()) << "the music stays stopped";
}

TEST_F(MusicTest, MusicShorterThanAFrameLoopsOncePerNotification) {
  device.canLoop = false;
  device.lengthMs = 10;
  ASSERT_TRUE(player.PlayMusic(music));
  for (int frame = 0; frame < 3; ++frame) {
    clock.Advance(40);
    EXPECT_TRUE(device.DeliverNotifications());
  }
  std::vector<std::string> lines = device.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "play"), 4);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "close"), 3);
}

TEST_F(MusicTest, NotificationBeforeTheEndOnlyRearms) {
  ASSERT_TRUE(player.PlayMusic(music));
  device.log.clear();
  clock.Advance(1000);
  player.OnMusicEnded();
  EXPECT_EQ(device.Lines(), Lines{});
  EXPECT_TRUE(device.IsPlaying());
}

TEST_F(MusicTest, FailuresReturnFalse) {
  EXPECT_FALSE(player.PlayMusic(folder / "missing.mp3"));
  EXPECT_FALSE(player.IsOpen());

  device.openFails = true;
  EXPECT_FALSE(player.PlayMusic(music));
  EXPECT_FALSE(player.IsOpen());

  device.openFails = false;
  device.playFails = true;
  EXPECT_FALSE(player.PlayMusic(music));
  EXPECT_TRUE(player.IsOpen()) << "open, so closing releases it";
  device.log.clear();
  player.Close();
  EXPECT_EQ(device.Lines(), (Lines{"close"}));

  MusicLoop silent(nullptr);
  EXPECT_FALSE(silent.PlayMusic(music));
  silent.OnMusicEnded();
  silent.Close();
}

TEST_F(MusicTest, CloseWhenNeverOpenedDoesNothing) {
  {
    MusicLoop unused(&device);
    unused.Close();
  }
  EXPECT_EQ(device.Lines(), Lines{});
}

TEST_F(MusicTest, CloseStopsTheLoop) {
  device.lengthMs = 100;
  ASSERT_TRUE(player.PlayMusic(music));
  player.Close();
  player.Close();
  clock.Advance(500);
  EXPECT_FALSE(device.DeliverNotifications());
  EXPECT_EQ(device.Lines(), (Lines{Open(), "volume 500", "loop", "play", "close"}));
}

TEST_F(MusicTest, DestroyingThePlayerClosesTheDevice) {
  {
    MusicLoop scopedPlayer(&device);
    ASSERT_TRUE(scopedPlayer.PlayMusic(music));
  }
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.Lines().back(), "close");
}

TEST_F(MusicTest, HeadlessPositionStopsAtTheLengthAndRestsAtZeroWhenClosed) {
  device.lengthMs = 1000;
  EXPECT_FALSE(device.Play([] {})) << "nothing open";
  ASSERT_TRUE(device.Open(music));
  EXPECT_EQ(device.Position(), 0u);
  ASSERT_TRUE(device.Play([] {}));
  clock.Advance(400);
  EXPECT_EQ(device.Position(), 400u);
  clock.Advance(5000);
  EXPECT_EQ(device.Position(), 1000u);
  device.Close();
  EXPECT_EQ(device.Position(), 0u);
  EXPECT_FALSE(device.DeliverNotifications());
}

TEST_F(MusicTest, HeadlessPositionAcrossTheTickWrap) {
  clock.Set(0xFFFFFF00u);
  device.lengthMs = 1000;
  ASSERT_TRUE(device.Open(music));
  int calls = 0;
  ASSERT_TRUE(device.Play([&] { ++calls; }));
  clock.Advance(0x100 + 200);
  EXPECT_EQ(device.Position(), 0x100u + 200u);
  EXPECT_FALSE(device.DeliverNotifications());
  clock.Advance(1000);
  EXPECT_TRUE(device.DeliverNotifications());
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace lumevra
