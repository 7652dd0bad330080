#include "ui/Preview.h"

#include <gtest/gtest.h>

#include <sstream>

#include "authoring/PackageWriter.h"
#include "platform/headless/HeadlessPreviewTarget.h"
#include "platform/headless/HeadlessSystem.h"
#include "support/ProjectFixture.h"
#include "support/TestFiles.h"
#include "ui/Startup.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

class PreviewTest : public ::testing::Test {
protected:
  void SetUp() override {
    system.tempFolder = dir / "tmp";
    fs::create_directories(system.tempFolder);
    system.programFile = dir / "MySaver.scr";
    system.arguments = {"/p", "4242"};
  }
  void WriteSaver(const std::string& project) {
    test::WriteFile(system.programFile, "runtime image");
    PackageWriter w;
    w.AddBytes("[Header]\r\nResCount=2\r\nRes0=KAHeader.dat\r\nRes1=KATemp.kap\r\n");
    w.AddBytes(project);
    w.WriteFile(system.programFile, system.programFile);
  }
  int RunPreviewMode(HeadlessPreviewTarget& target) {
    StartupHandlers handlers;
    handlers.preview = [&](intptr_t window) {
      EXPECT_EQ(window, 4242);
      RunPreview(system, target);
    };
    std::ostringstream out;
    return RunStartup(system, handlers, out);
  }

  test::TempFolder dir;
  HeadlessSystem system;
};

TEST_F(PreviewTest, DrawsTheBackgroundStretchedOnce) {
  ProjectData d = test::SmallProject();
  d.BackgroundJpeg = test::SolidJpeg(8, 6, 0xFF2060C0);
  WriteSaver(ProjectBytes(d));
  HeadlessPreviewTarget target(152, 112);
  EXPECT_EQ(RunPreviewMode(target), 0);
  EXPECT_EQ(target.drawCount, 1);
  for (auto [x, y] : {std::pair{0, 0}, {151, 111}, {76, 56}}) {
    const Color32 c = target.surface.GetPixel(x, y);
    EXPECT_NEAR(RedOf(c), 0x20, 4);
    EXPECT_NEAR(GreenOf(c), 0x60, 4);
    EXPECT_NEAR(BlueOf(c), 0xC0, 4);
  }
  EXPECT_TRUE(fs::is_empty(system.tempFolder));
}

TEST_F(PreviewTest, UnreadablePackageDrawsNothing) {
  WriteSaver("not a project");
  HeadlessPreviewTarget target(40, 30);
  EXPECT_EQ(RunPreviewMode(target), 0);
  EXPECT_EQ(target.drawCount, 0);
  EXPECT_EQ(target.surface.GetPixel(10, 10), 0u);
  EXPECT_TRUE(fs::is_empty(system.tempFolder));

  test::WriteFile(system.programFile, "no package at all");
  EXPECT_EQ(RunPreviewMode(target), 0);
  EXPECT_EQ(target.drawCount, 0);

  WriteSaver(ProjectBytes(test::SmallProject()));
  HeadlessPreviewTarget hidden(40, 30, /*visible=*/false);
  EXPECT_EQ(RunPreviewMode(hidden), 0);
  EXPECT_EQ(hidden.drawCount, 0);
}

}  // namespace
}  // namespace lumevra
