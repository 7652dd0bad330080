// The configuration dialog driven through the headless dialog host.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Clock.h"
#include "engine/ScenePlayer.h"
#include "package/Project.h"
#include "platform/headless/HeadlessDialogHost.h"
#include "support/SaverFixture.h"
#include "ui/ConfigDialog.h"
#include "ui/SaverSettings.h"
#include "SaverSupport.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

struct DialogRig {
  explicit DialogRig(const std::string& settings = "") : clock(5000), use(clock) {
    saver = test::BuildSaver(dir.path(), test::SceneSpec{});
    ini = fs::path(saver).replace_extension(".ini");
    if (!settings.empty()) test::WriteFile(ini, settings);
    system = test::SaverSystem(saver, {"/c"}, dir.path());
    host.Attach(&form);
  }
  // Shows the dialog as the host would.
  void Show() { form.OnShow(); }
  void Finish() {
    host.closed = true;
    form.OnClose();
  }

  test::TempFolder dir;
  ManualClock clock;
  ScopedClock use;
  fs::path saver;
  fs::path ini;
  HeadlessSystem system;
  HeadlessDialogHost host;
  ConfigDialog form{system, host, nullptr};
};

TEST(ConfigDialog, ShowsDefaultsTitleAndPictureWithoutASettingsFile) {
  DialogRig rig;
  rig.Show();
  auto& c = rig.host;
  EXPECT_TRUE(c.At("stretch").checked);
  EXPECT_FALSE(c.At("proportional").checked);
  EXPECT_TRUE(c.At("proportional").enabled);
  EXPECT_TRUE(c.At("sound").checked);
  EXPECT_TRUE(c.At("music").checked);
  EXPECT_FALSE(c.At("showClock").checked);
  EXPECT_EQ(c.At("clockCorner").position, 1);  // "Top Right"
  EXPECT_EQ(c.At("speed").position, 10);
  EXPECT_EQ(c.At("title").text, u"Harbour Lights");
  EXPECT_EQ(c.At("description").text, u"Boats at night.");
  // The still picture, stretched into the preview.
  EXPECT_EQ(c.previewCount, 1);
  EXPECT_EQ(c.lastPreview.Width(), 243);
  EXPECT_EQ(c.lastPreview.Height(), 180);
  EXPECT_FALSE(c.timerEnabled);
  rig.Finish();
  EXPECT_FALSE(fs::exists(rig.system.tempFolder / rig.saver.filename()));
}

// Whether `shown` is `source` stretched over a picture of `size`, as the
// preview should show it.
bool ShowsStretched(const Bitmap32& shown, const Bitmap32& source, PixelSize size) {
  if (shown.Width() != size.cx || shown.Height() != size.cy) return false;
  Bitmap32 expected;
  expected.SetSize(size.cx, size.cy);
  expected.DrawStretched(Rect{0, 0, size.cx, size.cy}, Rect{0, 0, source.Width(), source.Height()}, source);
  for (int32_t y = 0; y < size.cy; ++y)
    if (!std::equal(shown.ScanLine(y), shown.ScanLine(y) + size.cx, expected.ScanLine(y))) return false;
  return true;
}

TEST(ConfigDialog, ThePreviewIsMadeAtTheHostsSizeAndAgainWhenItChanges) {
  DialogRig rig;
  auto& host = rig.host;
  host.previewSize = {486, 360};  // 192 DPI
  rig.Show();
  const Bitmap32& background = rig.form.Scene->GetProject().Background;
  // Drawn from the picture itself at the larger size, not an enlarged small one.
  ASSERT_EQ(host.previewCount, 1);
  EXPECT_TRUE(ShowsStretched(host.lastPreview, background, {486, 360}));

  // Another screen: the still picture again, at once.
  host.ResizePreview({364, 270});  // 144 DPI
  EXPECT_EQ(host.previewCount, 2);
  EXPECT_TRUE(ShowsStretched(host.lastPreview, background, {364, 270}));

  // A running preview: the scene's current frame at the new size, and the
  // next frames keep it.
  host.UserClick("autoPreview");
  ASSERT_EQ(host.Tick(1), 1);
  EXPECT_EQ(host.lastPreview.Width(), 364);
  host.ResizePreview({243, 180});
  EXPECT_EQ(host.previewCount, 4);
  EXPECT_TRUE(ShowsStretched(host.lastPreview, rig.form.Scene->Frame(), {243, 180}));
  host.Tick(1);
  EXPECT_EQ(host.lastPreview.Width(), 243);
  EXPECT_EQ(host.lastPreview.Height(), 180);

  // A host that reports no size gets the 96-DPI picture; after the end nothing is drawn.
  host.ResizePreview({0, 0});
  EXPECT_EQ(host.lastPreview.Width(), 243);
  rig.Finish();
  const int shown = host.previewCount;
  host.ResizePreview({486, 360});
  EXPECT_EQ(host.previewCount, shown);
}

TEST(ConfigDialog, SpeedSliderMapping) {
  struct Case {
    const char* speed;
    int32_t position;
    int32_t projectSpeed;
    const char* written;
  };
  const Case cases[] = {
      {"75", 7, 75, "75"},
      {"110", 0, 10, "10"},  // not a slider value: position 0
      {"10", 0, 10, "10"},
      {"500", 20, 500, "500"},
      {"fast", 10, 100, "100"},  // unreadable: the default 100
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.speed);
    DialogRig rig(std::string("[Config]\nSpeed=") + c.speed + "\n");
    rig.Show();
    EXPECT_EQ(rig.host.At("speed").position, c.position);
    EXPECT_EQ(rig.form.Scene->GetProject().SpeedPercent, c.projectSpeed);
    rig.host.UserClick("ok");
    EXPECT_TRUE(rig.host.closed);
    EXPECT_NE(test::ReadFile(rig.ini).find(std::string("Speed=") + c.written + "\n"), std::string::npos);
    rig.Finish();
  }
}

// A corner the dialogs cannot show (a desktop list selects nothing) is
// shown and written as the default corner, never as -1.
TEST(ConfigDialog, ACornerOutsideTheListShowsAndWritesTheDefault) {
  for (const char* stored : {"7", "-1", "255"}) {
    DialogRig rig(std::string("[Config]\r\nClockPos=") + stored + "\r\n");
    rig.Show();
    EXPECT_EQ(rig.host.At("clockCorner").position, 1) << stored;  // "Top Right"
    rig.host.SetPosition("clockCorner", 9);  // the list takes no such item
    EXPECT_EQ(rig.host.Position("clockCorner"), -1);
    rig.host.UserClick("ok");
    EXPECT_NE(test::ReadFile(rig.ini).find("ClockPos=1\r\n"), std::string::npos) << stored;
    rig.Finish();
  }
}

TEST(ConfigDialog, OkWritesAllEightKeysInOrder) {
  DialogRig rig("[Config]\nMusic=0\nExtra=kept\n");
  rig.Show();
  rig.host.UserClick("stretch");  // unticked: Proportional disabled, its tick kept
  EXPECT_FALSE(rig.host.At("proportional").enabled);
  EXPECT_EQ(rig.host.focus, "pictureGroup");
  rig.host.UserClick("showClock");
  rig.host.UserChoose("clockCorner", 3);
  rig.host.UserMoveSlider(13);
  EXPECT_TRUE(rig.host.Checked("allMonitors"));  // on without a key
  rig.host.UserClick("allMonitors");
  rig.host.UserClick("ok");
  EXPECT_TRUE(rig.host.closed);
  // The file's own lines and line ends stay; the new keys follow its last key.
  EXPECT_EQ(test::ReadFile(rig.ini),
            "[Config]\nMusic=0\nExtra=kept\nSpeed=160\nStretch=0\nProportional=0\nSound=1\n"
            "ClockPos=3\nShowClock=1\nAllMonitors=0\n");
  rig.Finish();
}

TEST(ConfigDialog, CancelLeavesTheFileUntouched) {
  for (const std::string& settings : {std::string(), std::string("[Config]\nSpeed=75\n")}) {
    DialogRig rig(settings);
    rig.Show();
    rig.host.UserMoveSlider(3);
    rig.host.UserClick("sound");
    rig.host.UserClick("cancel");
    EXPECT_TRUE(rig.host.closed);
    rig.Finish();
    if (settings.empty()) EXPECT_FALSE(fs::exists(rig.ini));
    else EXPECT_EQ(test::ReadFile(rig.ini), settings);
  }
}

TEST(ConfigDialog, AWriteFailureKeepsTheDialogOpen) {
  DialogRig rig;
  fs::create_directory(rig.ini);  // a folder where the file should go
  rig.Show();
  rig.host.UserClick("ok");
  ASSERT_EQ(rig.host.errors.size(), 1u);
  EXPECT_EQ(rig.host.errors[0], u"Unable to write to " + rig.ini.u16string());
  EXPECT_FALSE(rig.host.closed);
  rig.host.UserClick("cancel");
  EXPECT_TRUE(rig.host.closed);
  rig.Finish();
}

TEST(ConfigDialog, AutoPreviewAnimatesUntilTheSliderMoves) {
  DialogRig rig;
  rig.Show();
  rig.host.UserClick("autoPreview");
  EXPECT_TRUE(rig.host.timerEnabled);
  EXPECT_EQ(rig.host.timerInterval, 1u);
  const uint32_t start = TickCount();
  EXPECT_EQ(rig.host.Tick(4), 4);
  EXPECT_EQ(rig.host.previewCount, 1 + 4);
  // The frames are paced about 32 ms apart.
  EXPECT_GE(TickCount() - start, 3u * 32u);
  rig.host.UserMoveSlider(4);
  EXPECT_FALSE(rig.host.At("autoPreview").checked);
  EXPECT_FALSE(rig.host.timerEnabled);
  EXPECT_EQ(rig.form.Scene->GetProject().SpeedPercent, 50);
  // Reset goes back to 100 percent.
  rig.host.UserClick("reset");
  EXPECT_EQ(rig.host.At("speed").position, 10);
  EXPECT_EQ(rig.form.Scene->GetProject().SpeedPercent, 100);
  rig.Finish();
}

TEST(ConfigDialog, ABadPreviewFrameIsAbsorbed) {
  DialogRig rig;
  rig.Show();
  // A timer tick before any preview was prepared: the engine refuses to step.
  rig.host.timerEnabled = true;
  EXPECT_NO_THROW(rig.host.Tick(3));
  EXPECT_EQ(rig.host.previewCount, 1);
  EXPECT_FALSE(rig.host.closed);
  rig.Finish();
}

TEST(ConfigDialog, AnUnreadablePackageLeavesLabelsAndPictureEmpty) {
  DialogRig rig;
  test::WriteFile(rig.saver, "no package");
  rig.Show();
  EXPECT_EQ(rig.host.At("title").text, u"");
  EXPECT_EQ(rig.host.previewCount, 0);
  rig.host.ResizePreview({486, 360});  // still no picture to show
  EXPECT_EQ(rig.host.previewCount, 0);
  rig.host.UserClick("autoPreview");
  rig.host.Tick(2);  // an empty preview, and no crash
  rig.host.UserClick("ok");
  EXPECT_TRUE(rig.host.closed);
  rig.Finish();
}

}  // namespace
}  // namespace lumevra

namespace lumevra {
namespace {

// Installed where the user cannot write, with a read-only settings file
// beside it: OK writes the user's own file, starting from what was shown
// (hand-written lines kept), and the saver's next start reads that file.
TEST(ConfigDialog, AnUnwritableProgramFolderKeepsTheSettingsInTheUsersFile) {
  DialogRig rig("; set by the administrator\n[Config]\nSpeed=75\nCustom=1\n");
  rig.system.userSettingsFolder = rig.dir / "home" / "config";
  rig.system.readOnlyFolders = {rig.saver.parent_path()};
  const std::string shipped = test::ReadFile(rig.ini);
  rig.Show();
  EXPECT_EQ(rig.host.Position("speed"), 7);  // 75 % from the file beside the program
  rig.host.UserClick("showClock");
  rig.host.UserClick("ok");
  EXPECT_TRUE(rig.host.errors.empty());
  rig.Finish();

  EXPECT_EQ(test::ReadFile(rig.ini), shipped);
  const fs::path userFile = rig.dir / "home" / "config" / "Harbour.ini";
  const std::string written = test::ReadFile(userFile);
  EXPECT_EQ(written.rfind("; set by the administrator\n", 0), 0u) << written;
  EXPECT_NE(written.find("Custom=1"), std::string::npos) << written;
  EXPECT_NE(written.find("ShowClock=1"), std::string::npos) << written;
  EXPECT_EQ(SettingsFileToRead(rig.system), userFile);

  test::SaverRig saver(test::SceneSpec{});
  saver.system.programFile = rig.saver;
  saver.system.userSettingsFolder = rig.system.userSettingsFolder;
  saver.system.readOnlyFolders = rig.system.readOnlyFolders;
  SaverWindow form(saver.system, saver.host, nullptr);
  test::ShowAndRun(form, saver, 1);
  EXPECT_TRUE(form.ShowClock);
  EXPECT_EQ(form.Speed, 75);
}

}  // namespace
}  // namespace lumevra
