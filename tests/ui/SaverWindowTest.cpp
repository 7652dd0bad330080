// The saver window driven through the headless host: start-up with and
// without settings, presentation, closing rules and cleanup.
#include <gtest/gtest.h>

#include "SaverSupport.h"
#include "engine/Engine.h"
#include "engine/ScenePlayer.h"
#include "package/Project.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;
using test::SaverRig;
using test::SceneSpec;

TEST(SaverWindow, StartsFromTheDefaultsWithoutASettingsFile) {
  SceneSpec scene;
  scene.music = true;
  scene.musicVolume = 50;
  SaverRig rig(scene);
  SaverWindow form(rig.system, rig.host, nullptr);
  test::ShowAndRun(form, rig, 3);

  ASSERT_FALSE(rig.host.placements.empty());
  const auto& p = rig.host.placements.back();
  EXPECT_EQ(std::vector<int32_t>({p.left, p.top, p.width, p.height}), std::vector<int32_t>({0, 0, 1024, 768}));
  // Stretched, not proportionally: the frame fills the screen from (0, 0).
  EXPECT_EQ(rig.host.lastFrame.Width(), 1024);
  EXPECT_EQ(rig.host.lastFrame.Height(), 768);
  EXPECT_EQ(rig.host.lastLeft, 0);
  EXPECT_EQ(rig.host.lastTop, 0);
  EXPECT_EQ(rig.host.presentCount, 3);
  EXPECT_FALSE(form.Scene->GetEngine().ClockOn);
  EXPECT_EQ(form.Scene->GetProject().SpeedPercent, 100);
  EXPECT_TRUE(rig.host.topmost);
  EXPECT_TRUE(rig.host.applicationWindowHidden);
  EXPECT_FALSE(rig.host.CursorVisible());
  EXPECT_TRUE(rig.host.screenSaverRunningCalls.empty());  // only 95/98/ME are told
  EXPECT_EQ(rig.host.caption, u"Harbour Lights");
  // The header asks for music: it plays at MusicVolume x 10.
  const auto music = rig.host.music.Lines();
  ASSERT_EQ(music.size(), 4u);
  EXPECT_EQ(music[0], "open " + (form.Scene->Resources().TempDir / "music.mp3").string());
  EXPECT_EQ(music[1], "volume 500");
  EXPECT_EQ(music[2], "loop");
  EXPECT_EQ(music[3], "play");

  form.Close();
  EXPECT_TRUE(rig.host.closed);
  EXPECT_TRUE(rig.host.CursorVisible());
  EXPECT_FALSE(rig.host.idleInstalled);
  EXPECT_FALSE(rig.host.music.IsOpen());
  // After closing, idle calls draw nothing.
  EXPECT_TRUE(form.OnIdle());
  EXPECT_EQ(rig.host.presentCount, 3);
  form.RemoveExtractedFiles();
}

// Sleeping wakes a little late on a real system. Frames keep a 32 ms beat
// from frame start to frame start all the same (31 frames a second, not
// 30), and a frame that comes late is followed at once.
TEST(SaverWindow, FramesKeepTheirBeatWhenSleepWakesLate) {
  struct LateWakingClock final : Clock {
    explicit LateWakingClock(uint32_t start) : now(start) {}
    uint32_t TickCount() override { return now; }
    void Sleep(uint32_t ms) override { now += ms + 1; }
    uint32_t now;
  };
  SaverRig rig(SceneSpec{});
  LateWakingClock late(rig.clock.TickCount());
  ScopedClock use(late);
  SaverWindow form(rig.system, rig.host, nullptr);
  test::ShowAndRun(form, rig, 2);
  const uint32_t start = late.now;
  for (int i = 0; i < 31; ++i) form.OnIdle();
  EXPECT_EQ(late.now - start, 31u * 32u);
  // A slow frame (100 ms of work): no sleep after it, then the beat again.
  late.now += 100;
  form.OnIdle();
  const uint32_t afterSlow = late.now;
  EXPECT_EQ(afterSlow - start, 31u * 32u + 100u);
  for (int i = 0; i < 10; ++i) form.OnIdle();
  EXPECT_LE(late.now - afterSlow, 10u * 32u + 1u);
  form.Close();
  form.RemoveExtractedFiles();
}

TEST(SaverWindow, SettingsShapeTheFrame) {
  struct Case {
    std::string settings;
    int32_t width, height, left, top;
    bool clock;
    int corner;
    int32_t speed;
  };
  // A 64 x 32 picture on a 1024 x 768 screen.
  const Case cases[] = {
      {"Stretch=1\n", 1024, 768, 0, 0, false, 1, 100},
      {"Proportional=1\n", 1024, 512, 0, 128, false, 1, 100},
      {"Stretch=0\n", 64, 32, 480, 368, false, 1, 100},
      {"Stretch=0\nProportional=1\n", 64, 32, 480, 368, false, 1, 100},
      {"ShowClock=1\nClockPos=2\nSpeed=75\n", 1024, 768, 0, 0, true, 2, 75},
      {"Stretch=junk\nSpeed=abc\nShowClock=7\n", 1024, 768, 0, 0, true, 1, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    SaverRig rig(SceneSpec{}, {"/s"}, c.settings);
    SaverWindow form(rig.system, rig.host, nullptr);
    test::ShowAndRun(form, rig, 1);
    EXPECT_EQ(rig.host.lastFrame.Width(), c.width);
    EXPECT_EQ(rig.host.lastFrame.Height(), c.height);
    EXPECT_EQ(rig.host.lastLeft, c.left);
    EXPECT_EQ(rig.host.lastTop, c.top);
    EXPECT_EQ(form.Scene->GetEngine().ClockOn, c.clock);
    EXPECT_EQ(form.Scene->GetEngine().Clock.Corner, c.corner);
    EXPECT_EQ(form.Scene->GetProject().SpeedPercent, c.speed);
    if (c.top > 0) {
      // Black bars around a centred frame.
      Bitmap32 screen;
      rig.host.Client(screen);
      EXPECT_EQ(screen.GetPixel(500, c.top - 1) & 0xFFFFFF, 0u);
      EXPECT_NE(screen.GetPixel(500, c.top + 1) & 0xFFFFFF, 0u);
    }
    form.Close();
    form.RemoveExtractedFiles();
  }
}

TEST(SaverWindow, MusicFollowsTheSettingOverTheHeader) {
  SceneSpec scene;
  scene.music = true;
  SaverRig rig(scene, {"/s"}, "Music=0\n");
  SaverWindow form(rig.system, rig.host, nullptr);
  test::ShowAndRun(form, rig, 1);
  form.Close();
  form.RemoveExtractedFiles();
  EXPECT_TRUE(rig.host.music.log.empty());
}

// Which input closes the saver, delivered by the host's loop.
TEST(SaverWindow, ClosingRules) {
  using In = HeadlessInput;
  struct Case {
    const char* name;
    std::vector<In> script;
    int idleCalls;  // 10 when nothing closed the window before the end
  };
  const Case cases[] = {
      {"2 pixels per move keep it", {{1, In::MouseMove, 100, 100}, {2, In::MouseMove, 102, 102}, {3, In::MouseMove, 104, 100}}, 10},
      {"3 pixels close", {{1, In::MouseMove, 100, 100}, {2, In::MouseMove, 103, 100}}, 2},
      {"3 pixels upwards close", {{1, In::MouseMove, 100, 100}, {4, In::MouseMove, 100, 97}}, 4},
      {"the first move only records", {{1, In::MouseMove, 900, 700}}, 10},
      {"a click closes", {{3, In::MouseDown}}, 3},
      {"a key closes", {{4, In::KeyDown}}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SaverRig rig(SceneSpec{});
    rig.host.maxFrames = 10;
    rig.host.script = c.script;
    SaverWindow form(rig.system, rig.host, nullptr);
    form.ChooseWindowStyle();
    rig.host.Run(form);
    form.RemoveExtractedFiles();
    EXPECT_EQ(rig.host.idleCalls, c.idleCalls);
    EXPECT_TRUE(rig.host.CursorVisible());
  }
}

TEST(SaverWindow, WindowedTestRunIgnoresInputAndShowsNoClock) {
  using In = HeadlessInput;
  // The bare runtime under its own name shows the screensaver named by
  // parameter 1, in an ordinary window the size of the picture.
  SaverRig rig(SceneSpec{}, {}, "", "Harbour.scr");
  fs::copy_file(rig.dir / "runtime.bin", rig.dir / "StandAloneScr.exe");
  test::WriteFile(rig.dir / "StandAloneScr.ini", "[Config]\nShowClock=1\n");
  rig.system.programFile = rig.dir / "StandAloneScr.exe";
  rig.system.arguments = {rig.saver.string()};
  rig.host.maxFrames = 10;
  rig.host.script = {{1, In::MouseMove, 10, 10}, {2, In::MouseMove, 300, 300}, {3, In::MouseDown}, {4, In::KeyDown}};
  SaverWindow form(rig.system, rig.host, nullptr);
  form.ChooseWindowStyle();
  EXPECT_TRUE(form.Windowed);
  EXPECT_TRUE(rig.host.windowed);
  rig.host.Run(form);
  EXPECT_EQ(rig.host.idleCalls, 10);
  EXPECT_TRUE(rig.host.cursorCalls.empty());
  EXPECT_FALSE(rig.host.topmost);
  EXPECT_EQ(rig.host.caption, u"Harbour Lights");
  const auto& p = rig.host.placements.back();
  EXPECT_EQ(std::vector<int32_t>({p.left, p.top, p.width, p.height}), std::vector<int32_t>({480, 368, 64, 32}));
  // Frames are scaled into the client-sized window surface.
  EXPECT_EQ(rig.host.lastFrame.Width(), 64);
  EXPECT_EQ(rig.host.lastFrame.Height(), 32);
  EXPECT_EQ(rig.host.lastLeft, 0);
  form.RemoveExtractedFiles();

  // The window's frame does close it.
  SaverRig again(SceneSpec{}, {}, "", "Harbour.scr");
  fs::copy_file(again.dir / "runtime.bin", again.dir / "StandAloneScr.exe");
  again.system.programFile = again.dir / "StandAloneScr.exe";
  again.system.arguments = {again.saver.string()};
  again.host.maxFrames = 10;
  again.host.script = {{2, In::CloseBox}};
  SaverWindow second(again.system, again.host, nullptr);
  second.ChooseWindowStyle();
  again.host.Run(second);
  second.RemoveExtractedFiles();
  EXPECT_EQ(again.host.idleCalls, 2);
}

TEST(SaverWindow, OnlyTheExactRuntimeNameReadsParameterOne) {
  SaverRig rig(SceneSpec{});
  for (const char* name : {"StandAloneScr.exe", "standalonescr.exe", "Harbour.scr"}) {
    rig.system.programFile = rig.dir / name;
    rig.system.arguments = {"/s"};
    SaverWindow form(rig.system, rig.host, nullptr);
    EXPECT_EQ(form.PackageFile(), std::string(name) == "StandAloneScr.exe" ? fs::path("/s") : rig.dir / name)
        << name;
  }
}

TEST(SaverWindow, OldSystemsAskForThePasswordBeforeClosing) {
  using In = HeadlessInput;
  SaverRig rig(SceneSpec{});
  rig.system.osVersion = OsVersionInfo{OsVersionInfo::Win9x, 4, 10, ""};
  rig.host.passwordAllows = false;
  rig.host.maxFrames = 10;
  // Refused at frame 2; the next five moves are ignored however far they go.
  rig.host.script = {{2, In::KeyDown}, {3, In::MouseMove, 0, 0}, {4, In::MouseMove, 500, 500}};
  SaverWindow form(rig.system, rig.host, nullptr);
  form.ChooseWindowStyle();
  rig.host.Run(form);
  form.RemoveExtractedFiles();
  EXPECT_GE(rig.host.passwordChecks, 2);  // the key, then the system's close at the end
  EXPECT_EQ(rig.host.idleCalls, 20);      // refused to the end: the host gave up after twice maxFrames
  EXPECT_EQ(form.MouseSkip, 5);  // set again by the refused close at the end
  ASSERT_FALSE(rig.host.screenSaverRunningCalls.empty());
  EXPECT_TRUE(rig.host.screenSaverRunningCalls.front());
}

TEST(SaverWindow, ClosingDeletesEveryExtractedFile) {
  SceneSpec scene;
  scene.music = true;
  scene.sounds = {{0, 0, 0}, {2, 1, 1}};
  SaverRig rig(scene);
  SaverWindow form(rig.system, rig.host, nullptr);
  test::ShowAndRun(form, rig, 2);
  const fs::path folder = rig.ExtractionFolder();
  const auto extracted = test::FilesBelow(folder);
  EXPECT_EQ(extracted.size(), 5u);  // header, project, music, two sounds
  form.Close();
  // Closing removes the sounds and the project; the rest goes at the end.
  EXPECT_FALSE(fs::exists(folder / "sound0.wav"));
  EXPECT_FALSE(fs::exists(form.Scene->Resources().ProjectFile));
  form.RemoveExtractedFiles();
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(test::FilesBelow(rig.system.tempFolder).empty());
}

TEST(SaverWindow, AnUnreadablePackageStillOpensAndCloses) {
  SaverRig rig(SceneSpec{});
  test::WriteFile(rig.saver, "no package here");
  rig.host.maxFrames = 5;
  SaverWindow form(rig.system, rig.host, nullptr);
  form.ChooseWindowStyle();
  rig.host.Run(form);
  form.RemoveExtractedFiles();
  EXPECT_EQ(rig.host.idleCalls, 5);
  EXPECT_FALSE(fs::exists(rig.ExtractionFolder()));
}

}  // namespace
}  // namespace lumevra

namespace lumevra {
namespace {

// Three monitors, the primary not first: one left of it and lower (a
// negative origin), one right of it and higher. The window covers them all;
// the primary shows the frame as made, the others stretch it to their size.
struct ThreeMonitors {
  static std::vector<Monitor> List() {
    return {{{-800, 100, 800, 600}, false}, {{0, 0, 1024, 768}, true}, {{1024, -200, 1280, 1024}, false}};
  }
};

TEST(SaverWindow, CoversEveryMonitorWithTheSceneOnEach) {
  using In = HeadlessInput;
  const struct {
    const char* settings;
    size_t places;  // monitors showing the scene
  } cases[] = {{"", 3}, {"AllMonitors=0\n", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings);
    test::SaverRig rig(test::SceneSpec{}, {"/s"}, c.settings);
    rig.host.monitors = ThreeMonitors::List();
    rig.host.maxFrames = 3;
    SaverWindow form(rig.system, rig.host, nullptr);
    rig.host.Run(form);
    // Over the bounding box of the desktop: x -800..2304, y -200..824.
    const auto& p = rig.host.placements.back();
    EXPECT_EQ(std::vector<int32_t>({p.left, p.top, p.width, p.height}), std::vector<int32_t>({-800, -200, 3104, 1024}));
    // Made for the primary monitor (stretched to it), shown there first.
    EXPECT_EQ(rig.host.lastFrame.Width(), 1024);
    EXPECT_EQ(rig.host.lastFrame.Height(), 768);
    ASSERT_EQ(rig.host.lastPlaces.size(), c.places);
    EXPECT_EQ(rig.host.lastPlaces[0], (PixelRect{800, 200, 1024, 768}));
    Bitmap32 client;
    rig.host.Client(client);
    const Color32 centre = rig.host.lastFrame.GetPixel(512, 384);
    EXPECT_EQ(client.GetPixel(800 + 512, 200 + 384), centre);
    if (c.places == 3) {
      EXPECT_EQ(rig.host.lastPlaces[1], (PixelRect{0, 300, 800, 600}));
      EXPECT_EQ(rig.host.lastPlaces[2], (PixelRect{1824, 0, 1280, 1024}));
      EXPECT_EQ(client.GetPixel(400, 600), centre);        // the left monitor's centre
      EXPECT_EQ(client.GetPixel(1824 + 640, 512), centre);  // the right monitor's
    } else {
      EXPECT_EQ(client.GetPixel(400, 600), Color32{0xFF000000});
      EXPECT_EQ(client.GetPixel(1824 + 640, 512), Color32{0xFF000000});
    }
    EXPECT_EQ(client.GetPixel(100, 100), Color32{0xFF000000});  // above the left monitor: no monitor at all
  }

  // A move on the left monitor ends the saver as on the primary.
  test::SaverRig rig(test::SceneSpec{});
  rig.host.monitors = ThreeMonitors::List();
  rig.host.maxFrames = 50;
  rig.host.script = {{2, In::MouseMove, 100, 400}, {3, In::MouseMove, 110, 400}};
  SaverWindow form(rig.system, rig.host, nullptr);
  rig.host.Run(form);
  EXPECT_EQ(rig.host.idleCalls, 3);
  // Hidden over the one window that covers every monitor, shown at the end.
  EXPECT_EQ(rig.host.cursorCalls, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace lumevra
