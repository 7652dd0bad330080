#include "platform/headless/HeadlessRun.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "base/AnsiText.h"
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
  // The dialog's user clicks these controls in turn, e.g. "showClock,ok".
  if (const char* clicks = std::getenv("LUMEVRA_HEADLESS_CLICKS"))
    for (const std::string& control : SplitCommaText(clicks))
      dialog.script.push_back([control](HeadlessDialogHost& host) { host.UserClick(control); });
  platform.saver = &saver;
  platform.dialog = &dialog;
  platform.openPreview = [](intptr_t) { return std::make_unique<HeadlessPreviewTarget>(152, 112); };
  const int code = RunStartup(*platform.system, MakeStartupHandlers(platform), std::cout);
  for (const std::u16string& error : dialog.errors) std::cerr << Utf16ToUtf8(error) << "\n";
  if (const char* stats = std::getenv("LUMEVRA_STATS"); stats && *stats && saver.presentCount > 0)
    std::cerr << "frames: " << saver.presentCount << ", caption \"" << Utf16ToUtf8(saver.caption) << "\"\n";
  return code;
}

}  // namespace lumevra
