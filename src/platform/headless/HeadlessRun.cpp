#include "platform/headless/HeadlessRun.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "base/Ini.h"
#include "platform/headless/HeadlessDialogHost.h"
#include "platform/headless/HeadlessPreviewTarget.h"
#include "platform/headless/HeadlessSaverHost.h"
#include "ui/RunModes.h"
#include "ui/Startup.h"

namespace lumevra {

namespace {

int HeadlessFrames() {
  const char* text = std::getenv("LUMEVRA_HEADLESS_FRAMES");
  const auto frames = text ? ParseInteger(text) : std::nullopt;
  return frames && *frames >= 0 ? static_cast<int>(*frames) : 100;
}

}  // namespace

bool HeadlessRequested() {
  const char* backend = std::getenv("LUMEVRA_BACKEND");
  return backend && std::string(backend) == "headless";
}

int RunHeadlessStartup(Platform platform) {
  HeadlessSaverHost saver;
  saver.maxFrames = HeadlessFrames();
  HeadlessDialogHost dialog;
  platform.saver = &saver;
  platform.dialog = &dialog;
  platform.openPreview = [](intptr_t) { return std::make_unique<HeadlessPreviewTarget>(152, 112); };
  return RunStartup(*platform.system, MakeStartupHandlers(platform), std::cout);
}

}  // namespace lumevra
