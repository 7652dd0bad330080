// Screensavers for window and dialog tests, built the way users build them:
// a scene INI with generated pictures, sounds and music, turned into a
// package by scrtool. The runtime part is a stand-in file; the package is
// found by its marker wherever it sits.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/HeadlessSystem.h"
#include "support/TestFiles.h"

namespace lumevra::test {

// A small valid wave: 8-bit mono PCM at 8000 Hz.
std::string SmallWave(size_t samples = 800);

struct SceneSound {
  int32_t playMode = 0;
  int32_t pauseMin = 0;
  int32_t pauseMax = 0;
  bool valid = true;  // false: the file is no wave at all
};

struct SceneSpec {
  int32_t width = 64;
  int32_t height = 32;
  std::string title = "Harbour Lights";
  std::string description = "Boats at night.";
  bool water = true;  // a mask whose lower half is wave layer 0
  std::vector<SceneSound> sounds;
  bool music = false;
  int32_t musicVolume = 100;
  int32_t soundVolume = 100;
  std::string weather = "none";  // none, snow or rain
  std::string extra;             // more INI text (objects, ...)
};

// Writes the scene and its media into `dir`, builds `dir/name` with scrtool
// and returns its path. Fails the test when the build fails.
std::filesystem::path BuildSaver(const std::filesystem::path& dir, const SceneSpec& scene,
                                 const std::string& name = "Harbour.scr");

// A real screensaver `folder`/Real.scr: the program `runtime` with the
// package of `scene` appended, readable and runnable by everyone.
std::filesystem::path BuildRealSaver(const std::filesystem::path& folder, const SceneSpec& scene,
                                     const std::filesystem::path& runtime);

// A headless system that runs `programFile` with `args`, extracting into
// `dir/tmp` (created).
HeadlessSystem SaverSystem(const std::filesystem::path& programFile, std::vector<std::string> args,
                           const std::filesystem::path& dir);

// The files below a folder, recursively (none when it does not exist).
std::vector<std::filesystem::path> FilesBelow(const std::filesystem::path& dir);

}  // namespace lumevra::test
