// StandAloneScr: picks its mode from the screensaver command line and runs
// it on this build's desktop backend.
//
// LUMEVRA_BACKEND=headless runs the same modes without any display or sound
// device (for tests and servers): the saver shows LUMEVRA_HEADLESS_FRAMES
// frames (default 100) in memory and closes, the dialog closes at once.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "base/Ini.h"
#include "platform/fonts/FreeTypeFontRaster.h"
#include "platform/headless/HeadlessDialogHost.h"
#include "platform/headless/HeadlessPreviewTarget.h"
#include "platform/headless/HeadlessSaverHost.h"
#include "platform/linux/LinuxSystem.h"
#include "ui/RunModes.h"
#include "ui/Startup.h"
#include "ui/uConfig.h"

namespace {

bool HeadlessRequested() {
  const char* backend = std::getenv("LUMEVRA_BACKEND");
  return backend && std::string(backend) == "headless";
}

int HeadlessFrames() {
  const char* text = std::getenv("LUMEVRA_HEADLESS_FRAMES");
  const auto frames = text ? lumevra::ParseInteger(text) : std::nullopt;
  return frames && *frames >= 0 ? static_cast<int>(*frames) : 100;
}

}  // namespace

int main(int argc, char** argv) {
  lumevra::LinuxSystem system(argc, argv);
  // The studio settings live as long as the process.
  lumevra::TLVConfig studioConfig(system);
  lumevra::FreeTypeFontRaster fonts;
  try {
    lumevra::Platform platform;
    platform.system = &system;
    platform.fonts = &fonts;
    if (HeadlessRequested()) {
      lumevra::HeadlessSaverHost saver;
      saver.maxFrames = HeadlessFrames();
      lumevra::HeadlessDialogHost dialog;
      platform.saver = &saver;
      platform.dialog = &dialog;
      platform.openPreview = [](intptr_t) { return std::make_unique<lumevra::HeadlessPreviewTarget>(152, 112); };
      return lumevra::RunStartup(system, lumevra::MakeStartupHandlers(platform), std::cout);
    }
    // Modes without a desktop host report themselves.
    return lumevra::RunStartup(system, lumevra::MakeStartupHandlers(platform), std::cout);
  } catch (const std::exception& e) {
    std::cerr << "StandAloneScr: " << e.what() << "\n";
    return 1;
  }
}
