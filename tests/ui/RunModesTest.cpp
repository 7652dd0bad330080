// Whole runs from the command line on the headless backend: the start-up
// picks the mode, the mode runs its form on the host and cleans up.
#include <gtest/gtest.h>

#include <sstream>

#include "base/Clock.h"
#include "platform/headless/HeadlessDialogHost.h"
#include "platform/headless/HeadlessPreviewTarget.h"
#include "platform/headless/HeadlessSaverHost.h"
#include "support/SaverFixture.h"
#include "ui/Platform.h"
#include "ui/RunModes.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

struct Backend {
  explicit Backend(const std::vector<std::string>& args) : clock(1000), use(clock) {
    test::SceneSpec scene;
    scene.music = true;
    scene.sounds = {{0, 0, 0}};
    saver = test::BuildSaver(dir.path(), scene);
    system = test::SaverSystem(saver, args, dir.path());
    platform.system = &system;
    platform.saver = &saverHost;
    platform.dialog = &dialogHost;
    platform.openPreview = [this](intptr_t handle) {
      previewHandle = handle;
      return std::make_unique<HeadlessPreviewTarget>(40, 30);
    };
  }
  int Run() {
    std::ostringstream out;
    const int code = RunStartup(system, MakeStartupHandlers(platform), out);
    report = out.str();
    return code;
  }

  test::TempFolder dir;
  ManualClock clock;
  ScopedClock use;
  fs::path saver;
  HeadlessSystem system;
  HeadlessSaverHost saverHost;
  HeadlessDialogHost dialogHost;
  Platform platform;
  intptr_t previewHandle = 0;
  std::string report;
};

TEST(RunModes, SaverRunsUntilClosedAndLeavesNothingBehind) {
  Backend b({"/s"});
  b.saverHost.maxFrames = 20;
  b.saverHost.script = {{12, HeadlessInput::KeyDown}};
  EXPECT_EQ(b.Run(), 0);
  EXPECT_EQ(b.report, "");
  EXPECT_EQ(b.saverHost.idleCalls, 12);
  EXPECT_EQ(b.saverHost.presentCount, 12);
  EXPECT_FALSE(b.saverHost.music.IsOpen());
  EXPECT_FALSE(b.saverHost.sound.Lines(SoundCall::Play).empty());
  EXPECT_TRUE(fs::is_empty(b.system.tempFolder));
}

TEST(RunModes, ConfigurationPreviewsAndSaves) {
  Backend b({"/c"});
  b.dialogHost.script = {
      [](HeadlessDialogHost& d) { d.UserClick("autoPreview"); },
      [](HeadlessDialogHost& d) { d.Tick(5); },
      [](HeadlessDialogHost& d) { d.UserClick("music"); },
      [](HeadlessDialogHost& d) { d.UserClick("ok"); },
      [](HeadlessDialogHost&) { ADD_FAILURE() << "the dialog should have closed"; },
  };
  EXPECT_EQ(b.Run(), 0);
  EXPECT_EQ(b.dialogHost.previewCount, 1 + 5);
  EXPECT_EQ(b.dialogHost.formCloseCount, 1);
  const std::string ini = test::ReadFile(fs::path(b.saver).replace_extension(".ini"));
  EXPECT_NE(ini.find("Music=0"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(b.system.tempFolder));
  EXPECT_EQ(b.saverHost.presentCount, 0);
}

TEST(RunModes, PreviewDrawsIntoTheDesktopsWindow) {
  Backend b({"/p", "4711"});
  EXPECT_EQ(b.Run(), 0);
  EXPECT_EQ(b.previewHandle, 4711);
  EXPECT_EQ(b.saverHost.presentCount, 0);
}

TEST(RunModes, ASecondStartIsBlockedByTheGuard) {
  Backend b({"/s"});
  const auto first = b.system.CreateInstanceGuard(kInstanceGuardName);
  ASSERT_FALSE(first->AlreadyExists());
  EXPECT_EQ(b.Run(), 0);
  EXPECT_FALSE(b.saverHost.running);
  EXPECT_EQ(b.saverHost.presentCount, 0);
  EXPECT_FALSE(fs::exists(b.system.tempFolder / b.saver.filename()));
}

}  // namespace
}  // namespace lumevra
