// Running the saver window on the headless host: a scene built by scrtool,
// a manual clock, and helpers to read what the host recorded.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "base/Random.h"
#include "platform/headless/HeadlessSaverHost.h"
#include "support/SaverFixture.h"
#include "ui/SaverWindow.h"

namespace lumevra::test {

struct SaverRig {
  explicit SaverRig(const SceneSpec& scene, std::vector<std::string> args = {"/s"},
                    const std::string& settings = "", const std::string& programName = "Harbour.scr")
      : clock(100000), use(clock) {
    SetFixedSeed(7);
    saver = BuildSaver(dir.path(), scene, programName);
    if (!settings.empty()) {
      std::filesystem::path ini = saver;
      WriteFile(ini.replace_extension(".ini"), "[Config]\n" + settings);
    }
    system = SaverSystem(saver, std::move(args), dir.path());
  }
  ~SaverRig() { SetFixedSeed(std::nullopt); }

  // The plays of one player (DirectSound mode) as the sound log recorded them.
  std::vector<SoundCall> Plays(int player) const {
    std::vector<SoundCall> plays;
    for (const SoundCall& c : host.sound.log)
      if (c.kind == SoundCall::Play && c.player == player) plays.push_back(c);
    return plays;
  }
  std::filesystem::path ExtractionFolder() const { return system.tempFolder / saver.filename(); }

  TempFolder dir;
  ManualClock clock;
  ScopedClock use;
  std::filesystem::path saver;
  HeadlessSystem system;
  HeadlessSaverHost host{1024, 768};
};

// Shows the window and runs `frames` idle calls, as the host's loop would.
inline void ShowAndRun(SaverWindow& form, SaverRig& rig, int frames) {
  rig.host.Attach(&form);
  form.ChooseWindowStyle();
  form.OnShow();
  for (int i = 0; i < frames; ++i) form.OnIdle();
}

}  // namespace lumevra::test
