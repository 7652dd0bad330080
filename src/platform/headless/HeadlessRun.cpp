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

// The screen the saver sees, "WIDTHxHEIGHT" in LUMEVRA_HEADLESS_SIZE (each
// 1 .. 16384); 1024 x 768 when unset or not such a size.
PixelSize HeadlessScreen() {
  constexpr PixelSize kDefault{1024, 768};
  const char* text = std::getenv("LUMEVRA_HEADLESS_SIZE");
  if (!text) return kDefault;
  const std::string_view size(text);
  const size_t x = size.find('x');
  if (x == std::string_view::npos) return kDefault;
  const auto w = ParseInteger(size.substr(0, x)), h = ParseInteger(size.substr(x + 1));
  if (!w || !h || *w < 1 || *h < 1 || *w > 16384 || *h > 16384) return kDefault;
  return {*w, *h};
}

}  // namespace

bool HeadlessRequested() {
  const char* backend = std::getenv("LUMEVRA_BACKEND");
  return backend && std::string(backend) == "headless";
}

int RunHeadlessStartup(Platform platform) {
  const PixelSize screen = HeadlessScreen();
  HeadlessSaverHost saver(screen.cx, screen.cy);
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
    std::cerr << "frames: " << saver.presentCount << ", caption \"" << Utf16ToUtf8(saver.caption) << "\", last "
              << saver.lastFrame.Width() << " x " << saver.lastFrame.Height() << "\n";
  return code;
}

}  // namespace lumevra
