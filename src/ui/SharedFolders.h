// Where the maker's shared files live: the common folder with its shared
// object pictures ("images" inside it), and the studio settings file
// "LVStudio.ini". None of these functions creates a folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "base/Ini.h"
#include "ui/System.h"

namespace lumevra {

// The version code of the folder rules: 1, 2, 3, 5 for the 95/98/ME family
// (4.0, 4.10, 4.10 "A", 4.90), 4, 6, 7, 8, 9 for the NT family (4 or lower,
// 5.0, 5.1, major 6, major 7), 0 for anything else or an unreadable version.
uint8_t VersionCodeOf(const std::optional<OsVersionInfo>& version);
uint8_t GetWindowsVersionCode(const System& system);

// The system's program-files folder with a trailing separator; when the
// system does not record one, the program's own folder with the first
// "LumevraStudio" folder cut out of it.
std::filesystem::path GetProgramFilesFolder(const System& system);
// The user's documents folder, without a trailing separator (empty when unknown).
std::filesystem::path GetDocumentsFolder(const System& system);
// Codes 8 and 9: documents + "Brandel"; otherwise the program's own folder.
std::filesystem::path GetStudioDataFolder(const System& system);
// Codes 8 and 9: documents + "Brandel"; otherwise program files + "Brandel/Common".
std::filesystem::path GetCommonFolder(const System& system);
// The shared object pictures: the common folder's "images".
std::filesystem::path GetSharedImagesFolder(const System& system);

// The studio settings, alive for the whole process. Creating it touches no
// file; the INI is read the first time it is asked for.
class StudioSettings {
public:
  explicit StudioSettings(const System& system);
  const std::filesystem::path& FileName() const { return file_; }
  Ini& Settings();

private:
  std::filesystem::path file_;
  std::optional<Ini> ini_;
};

}  // namespace lumevra
