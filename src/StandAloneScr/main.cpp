// StandAloneScr: picks its mode from the screensaver command line and runs
// it on this build's desktop backend (SDL2 window and sound, GTK 3 dialog,
// X11 preview).
//
// Also a hack for X screensaver daemons: "-root", "-window-id ID" or the
// XSCREENSAVER_WINDOW variable (with no other parameter) run the saver
// inside that window, unguarded, since the daemon may run its preview and
// its saver at the same time (every run extracts into a folder of its own).
//
// LUMEVRA_STATS=1 prints the saver's frame count and rate, the process's
// processor time per frame, the time the display slept, and how frames
// reach the window with the time that takes per frame, on stderr at the
// end. LUMEVRA_PRESENT=renderer or surface chooses that way instead of the
// automatic choice.
//
// LUMEVRA_BACKEND=headless runs the same modes without any display or sound
// device (for tests and servers): the saver shows LUMEVRA_HEADLESS_FRAMES
// frames (default 100) in memory on a screen of LUMEVRA_HEADLESS_SIZE (e.g.
// 1920x1080, default 1024x768) and closes, the dialog closes at once.
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/fonts/FreeTypeFontRaster.h"
#include "platform/headless/HeadlessRun.h"
#include "platform/linux/GtkDialogHost.h"
#include "platform/linux/LinuxSystem.h"
#include "platform/linux/SdlSaverHost.h"
#include "platform/linux/X11PreviewTarget.h"
#include "ui/RunModes.h"
#include "ui/SharedFolders.h"
#include "ui/Startup.h"

namespace {

std::optional<unsigned long> ParseWindowId(const char* text) {
  if (!text || !*text) return std::nullopt;
  char* end = nullptr;
  const unsigned long id = std::strtoul(text, &end, 0);  // decimal or 0x hexadecimal
  if (*end != '\0') return std::nullopt;
  return id;
}

// The daemon's window, when the program runs as a screensaver hack.
std::optional<unsigned long> DaemonWindow(const std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-root") return 0ul;
    if (args[i] == "-window-id" && i + 1 < args.size()) {
      if (auto id = ParseWindowId(args[i + 1].c_str())) return id;
      if (args[i + 1] == "-root") return 0ul;
    }
  }
  if (args.empty()) return ParseWindowId(std::getenv("XSCREENSAVER_WINDOW"));
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const std::optional<unsigned long> daemonWindow = lumevra::HeadlessRequested() ? std::nullopt : DaemonWindow(args);

  lumevra::LinuxSystem system(argc, argv);
  // The studio settings live as long as the process.
  lumevra::StudioSettings studioConfig(system);
  lumevra::FreeTypeFontRaster fonts;
  try {
    lumevra::Platform platform;
    platform.system = &system;
    platform.fonts = &fonts;
    if (lumevra::HeadlessRequested()) return lumevra::RunHeadlessStartup(platform);

    lumevra::SdlSaverHost saver;
    lumevra::GtkDialogHost dialog;
    const auto started = std::chrono::steady_clock::now();
    struct Stats {
      lumevra::SdlSaverHost& saver;
      std::chrono::steady_clock::time_point started;
      ~Stats() {
        const char* on = std::getenv("LUMEVRA_STATS");
        if (!on || !*on || saver.PresentedFrames() == 0) return;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        // The whole process's processor time (every thread, user and system).
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const double cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
                             (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
        // The rate from the first frame to the last, without the start-up.
        const double framing = saver.SecondsOfFrames();
        const double rate = framing > 0 ? static_cast<double>(saver.PresentedFrames() - 1) / framing : 0;
        std::cerr << "frames: " << saver.PresentedFrames() << " in " << seconds << " s (" << rate
                  << " per second), cpu " << cpuMs / saver.PresentedFrames()
                  << " ms per frame, asleep " << saver.AsleepMs() / 1000.0 << " s, cpu " << cpuMs / seconds / 10.0
                  << " % of one core, present " << saver.PresentPathName() << " "
                  << saver.PresentSeconds() * 1000.0 / saver.PresentedFrames() << " ms per frame\n";
      }
    } stats{saver, started};
    platform.saver = &saver;
    platform.dialog = &dialog;
    platform.openPreview = lumevra::OpenX11Preview;
    if (daemonWindow) {
      saver.SetForeignWindow(*daemonWindow);
      system.SetApplicationTitle(lumevra::kApplicationTitle);
      lumevra::RunSaverMode(platform);
      return 0;
    }
    return lumevra::RunStartup(system, lumevra::MakeStartupHandlers(platform), std::cout);
  } catch (const std::exception& e) {
    std::cerr << "StandAloneScr: " << e.what() << "\n";
    return 1;
  }
}
