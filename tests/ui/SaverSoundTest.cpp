// The saver window's sound schedule and players, on the manual clock.
#include <gtest/gtest.h>

#include <set>

#include "SaverSupport.h"
#include "engine/ScenePlayer.h"
#include "package/Project.h"
#include "sound/SoundEffects.h"

namespace lumevra {
namespace {

using test::SaverRig;
using test::SceneSound;
using test::SceneSpec;

SceneSpec WithSounds(std::vector<SceneSound> sounds) {
  SceneSpec scene;
  scene.sounds = std::move(sounds);
  return scene;
}

TEST(SaverSound, EachPlayModeKeepsItsSchedule) {
  // Slot 0 loops, slot 1 plays on every frame (fixed pause 0), slot 2 waits
  // 2 seconds between plays.
  SaverRig rig(WithSounds({{0, 0, 0}, {2, 0, 0}, {2, 2, 2}}));
  SaverWindow form(rig.system, rig.host, nullptr);
  const uint32_t start = TickCount();
  test::ShowAndRun(form, rig, 99);  // the first frame does not wait: 98 x 32 ms

  ASSERT_EQ(form.Sounds->Mode(), SoundEffects::ModeDirect);
  const auto loop = rig.Plays(0);
  ASSERT_EQ(loop.size(), 1u);
  EXPECT_TRUE(loop[0].loop);
  // Once at the start, then once per frame.
  EXPECT_EQ(rig.Plays(1).size(), 100u);
  EXPECT_FALSE(rig.Plays(1)[0].loop);
  // A fixed pause comes before the first play too: once, at 2 s.
  EXPECT_EQ(rig.Plays(2).size(), 1u);
  EXPECT_EQ(TickCount() - start, 98u * 32u);
  form.Close();
  form.RemoveExtractedFiles();
}

TEST(SaverSound, RandomPauseFirstPlaysAfterFiveToNineSeconds) {
  std::set<int64_t> delays;
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    SaverRig rig(WithSounds({{1, 5, 10}}));
    SetFixedSeed(seed);
    SaverWindow form(rig.system, rig.host, nullptr);
    rig.host.Attach(&form);
    form.ChooseWindowStyle();
    form.OnShow();
    const uint32_t start = TickCount();
    const int64_t delay = form.SoundStates[0].NextDelay;
    delays.insert(delay);
    EXPECT_GE(delay, 5);
    EXPECT_LE(delay, 9);
    while (rig.Plays(0).empty() && TickCount() - start < 20000) form.OnIdle();
    const uint32_t waited = TickCount() - start;
    EXPECT_GE(waited, delay * 1000);
    EXPECT_LT(waited, delay * 1000 + 64);
    form.Close();
    form.RemoveExtractedFiles();
  }
  EXPECT_GT(delays.size(), 1u);
}

TEST(SaverSound, VolumeAndBrokenFiles) {
  // Slot 1 holds no wave: it stays silent and the others still play.
  SceneSpec scene = WithSounds({{2, 0, 0}, {2, 0, 0, false}, {2, 0, 0}});
  scene.soundVolume = 55;
  SaverRig rig(scene);
  SaverWindow form(rig.system, rig.host, nullptr);
  test::ShowAndRun(form, rig, 1);
  EXPECT_TRUE(form.SoundStates[0].Active);
  EXPECT_FALSE(form.SoundStates[1].Active);
  EXPECT_TRUE(form.SoundStates[2].Active);
  EXPECT_EQ(rig.Plays(0).size(), 2u);
  EXPECT_TRUE(rig.Plays(1).empty());
  EXPECT_EQ(rig.Plays(2).size(), 2u);
  bool sawVolume = false;
  for (const SoundCall& c : rig.host.sound.log)
    if (c.kind == SoundCall::SetVolume) {
      EXPECT_EQ(c.volume, -1800);
      sawVolume = true;
    }
  EXPECT_TRUE(sawVolume);
  form.Close();
  form.RemoveExtractedFiles();
}

TEST(SaverSound, WithoutAllEightPlayersOnlySlotZeroPlays) {
  struct Case {
    const char* name;
    int failPlayerAt;
    bool noDevice;
  };
  for (const Case& c : {Case{"sixth player fails", 5, false}, Case{"no device", -1, true}}) {
    SCOPED_TRACE(c.name);
    SaverRig rig(WithSounds({{0, 0, 0}, {2, 0, 0}}));
    rig.host.sound.failPlayerAt = c.failPlayerAt;
    rig.host.sound.noDevice = c.noDevice;
    SaverWindow form(rig.system, rig.host, nullptr);
    test::ShowAndRun(form, rig, 5);
    EXPECT_EQ(form.Sounds->Mode(), SoundEffects::ModeFallback);
    const auto simple = rig.host.sound.Lines(SoundCall::PlaySimple);
    // Slot 0 loops through the simple call (flags 11); slot 1 is silent.
    ASSERT_EQ(simple.size(), 1u);
    EXPECT_EQ(simple[0], "simple " + (form.Scene->Resources().TempDir / "sound0.wav").string() + " 11");
    form.Close();
    // Closing stops it with the simple call and no file (flags 3), once
    // for the window and once as the player is freed.
    const auto after = rig.host.sound.Lines(SoundCall::PlaySimple);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[1], "simple 3");
    form.RemoveExtractedFiles();
  }
}

// Music loops for as long as the saver runs: on the device's own loop (one
// open, one play, no gap), or, on a device that only tells the end, by
// opening and playing the file again at each end.
TEST(SaverSound, MusicLoopsUntilTheSaverCloses) {
  for (const bool canLoop : {true, false}) {
    SCOPED_TRACE(canLoop ? "the device loops" : "the device tells the end");
    SceneSpec scene;
    scene.music = true;
    SaverRig rig(scene);
    rig.host.music.lengthMs = 500;
    rig.host.music.canLoop = canLoop;
    rig.host.maxFrames = 50;  // 1.6 s of frames
    SaverWindow form(rig.system, rig.host, nullptr);
    form.ChooseWindowStyle();
    rig.host.Run(form);
    form.RemoveExtractedFiles();
    int opens = 0, plays = 0, closes = 0;
    for (const std::string& line : rig.host.music.Lines()) {
      opens += line.rfind("open ", 0) == 0;
      plays += line == "play";
      closes += line == "close";
    }
    EXPECT_EQ(opens, canLoop ? 1 : 4);  // restarts at 0.5, 1.0 and 1.5 s
    EXPECT_EQ(plays, canLoop ? 1 : 4);
    EXPECT_EQ(closes, canLoop ? 1 : 4);  // the restarts and the window's close
  }
}

}  // namespace
}  // namespace lumevra

namespace lumevra {
namespace {

// While the display sleeps: no frame, no sound, no music, and the scene's
// time stands still however long the sleep; on waking the loop plays again,
// the music goes on where it stopped and a pause between sounds goes on where it was.
TEST(SaverSound, ASleepingDisplayStopsTheSceneAndItsTimeUntilItWakes) {
  test::SceneSpec scene;
  scene.sounds = {{0, 0, 0}, {2, 3, 3}};  // a loop, and a sound every 3 s
  scene.music = true;
  SaverRig rig(scene);
  SaverWindow form(rig.system, rig.host, nullptr);
  test::ShowAndRun(form, rig, 40);  // 1.25 s of scene time
  const int presented = rig.host.presentCount;
  const uint32_t sceneTime = TickCount();
  const uint32_t waveTick = form.Scene->GetEngine().LastTick;
  ASSERT_EQ(rig.Plays(0).size(), 1u);
  EXPECT_TRUE(rig.host.music.IsOpen());

  const uint32_t musicAt = rig.host.music.Position();
  const size_t musicCalls = rig.host.music.log.size();
  form.OnDisplayPower(false);
  EXPECT_FALSE(rig.host.idleInstalled);  // the loop waits for events now
  EXPECT_TRUE(rig.host.music.IsOpen());   // held where it was, not closed
  EXPECT_FALSE(rig.host.music.IsPlaying());
  EXPECT_EQ(rig.host.sound.log.back().kind, SoundCall::Stop);
  rig.clock.Advance(3600 * 1000);  // an hour asleep
  EXPECT_TRUE(form.OnIdle());      // a stray idle call draws nothing
  EXPECT_EQ(rig.host.presentCount, presented);
  EXPECT_EQ(TickCount(), sceneTime);
  EXPECT_TRUE(rig.Plays(1).empty());

  form.OnDisplayPower(true);
  EXPECT_TRUE(rig.host.idleInstalled);
  // The music goes on from where it stood: paused and played again, never
  // closed or opened anew.
  EXPECT_TRUE(rig.host.music.IsPlaying());
  EXPECT_EQ(rig.host.music.Position(), musicAt);
  const std::vector<std::string> music = rig.host.music.Lines();
  EXPECT_EQ(std::vector<std::string>(music.begin() + static_cast<long>(musicCalls), music.end()),
            (std::vector<std::string>{"pause", "play"}));
  EXPECT_EQ(TickCount(), sceneTime);  // the hour counts for nobody
  form.OnIdle();
  EXPECT_EQ(rig.host.presentCount, presented + 1);
  // The water moved on by one frame's time, not by the hour.
  EXPECT_LE(form.Scene->GetEngine().LastTick - waveTick, 64u);
  EXPECT_EQ(rig.Plays(0).size(), 2u);  // the loop again
  // The 3 s pause had 1.25 s behind it: 1.75 s more of scene time.
  while (rig.Plays(1).empty() && TickCount() - sceneTime < 5000) form.OnIdle();
  EXPECT_NEAR(static_cast<double>(TickCount() - sceneTime), 1750.0, 100.0);
  form.Close();
  form.RemoveExtractedFiles();
}

}  // namespace
}  // namespace lumevra
