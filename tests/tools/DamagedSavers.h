// Damaged screensavers for the robustness tests: a small but complete
// scene (water, snow, music, two sounds, a picture object of every format,
// an animated GIF and a text object), packed the way scrtool does it, and
// hundreds of copies of its package with one thing wrong in each.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace lumevra::test {

// What a damaged saver must still come to.
struct DamagedExpectation {
  // A part of what `scrtool info` prints (empty: only the common checks).
  std::string info;
  // The caption of the scene the saver shows: "Harbour Lights" when the
  // damage leaves the project whole, "" when the saver falls back to an
  // empty scene; nullptr when either may be right (a cut package).
  const char* caption = nullptr;
};

struct DamagedSaver {
  std::string name;     // what is wrong, for the failure message
  std::string package;  // from the marker on, appended to the runtime
  DamagedExpectation expect;
};

// The scene's title, shown as the caption while the project loads.
inline constexpr const char* kDamagedSceneTitle = "Harbour Lights";

// Writes the scene's media into `mediaDir` and returns every damaged copy
// of one family. `outside` is an absolute folder that names in a header
// point into; no saver may write there.
std::vector<DamagedSaver> DamagedPackages(const std::filesystem::path& mediaDir);
std::vector<DamagedSaver> DamagedHeaders(const std::filesystem::path& mediaDir, const std::filesystem::path& outside);
std::vector<DamagedSaver> DamagedProjects(const std::filesystem::path& mediaDir);
std::vector<DamagedSaver> DamagedMedia(const std::filesystem::path& mediaDir);

// The undamaged package, for the baseline.
std::string WholePackage(const std::filesystem::path& mediaDir);

}  // namespace lumevra::test
