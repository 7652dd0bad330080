// The resource package appended to a screensaver's program file: finding it
// by its marker and copying its entries into the extraction folder.
//
// Layout (little-endian 32-bit integers): the 13 marker bytes, EntryCount,
// then EntryCount times { EntrySize, EntrySize bytes }. Entry 0 is the header
// INI ("KAHeader.dat", section "Header"), entry 1 the project file, then the
// media in the order of the header's "Res" keys.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lumevra {

// The marker in its plain form. The stored form has every byte increased by
// one; it is never spelled out in our sources or binaries, or the search would
// stop on the runtime's own image.
inline constexpr std::string_view kMarkerLiteral = "{KARESROURCE}";
inline constexpr size_t kCopyChunk = 1001;

// Raised when the extraction folder cannot be created, made private or
// removed.
class IoError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

struct PackageLocation {
  int64_t offset = 0;  // absolute position of EntryCount, right after the marker
  int32_t count = 0;   // EntryCount (0 when the file ends before it)
};

// Searches the file for the first stored marker; nullopt when there is none
// or the file cannot be opened.
std::optional<PackageLocation> FindPackage(const std::filesystem::path& file);

// Writes entry k to names[k] for k < min(names.size(), EntryCount). An empty
// name consumes its entry without writing it. Returns the files created, in
// order. Does nothing when there is no package.
std::vector<std::filesystem::path> ExtractPackage(const std::filesystem::path& file,
                                                  const std::vector<std::filesystem::path>& names);

// One extraction.
struct ResourceSet {
  std::filesystem::path TempDir;  // ends with a separator
  // TempDir + header "Res" + i; empty where the header gives no usable name.
  std::vector<std::filesystem::path> ResFiles;
  std::filesystem::path ProjectFile;  // ResFiles item 1, or empty
  bool Music = false;
  std::filesystem::path MusicFile;  // TempDir + "music" + extension of header "MusicFile"
  int32_t MusicVolume = 100;
  int32_t SoundVolume = 100;
  // Every file this extraction created: the only ones DeleteResources removes.
  std::vector<std::filesystem::path> Created;
};

// How many entries the package can hold: its EntryCount, but no more than
// the rest of the file has room for (four bytes each at least); 0 without a
// package.
int64_t EntriesInPackage(const std::filesystem::path& file);

// True for a bare file name: not empty, no "/", "\" or ":", no NUL, not "."
// or "..", no trailing dot or blank, not a Windows device name ("NUL",
// "con.wav", "COM1.gif", ...). Header names that fail this would write
// outside the folder, or to a device.
bool IsBareFileName(std::string_view name);

// The extension of an 8-bit file name of either platform, with its dot;
// empty when the last path element has no dot.
std::string FileExtension(std::string_view name);

// Makes `dir` a fresh, empty folder for one extraction: whatever an earlier
// run that ended without cleaning up left there is removed first (a folder
// with everything in it, a link itself, never what it points to). Returns
// `dir` with a trailing separator. IoError when a file other than a folder
// or a link stands there, or the folder cannot be emptied or made.
std::filesystem::path CreateFreshFolder(const std::filesystem::path& dir);

// Extracts the header, then every entry the header names, into `dir` (which
// must exist), and reads the music settings of the header.
ResourceSet ExtractResourcesInto(const std::filesystem::path& packageFile,
                                 const std::filesystem::path& dir);

class Project;

// Loads the extracted project into `project` (a failed load leaves it
// empty) and points its sound slots and picture objects at the extracted
// "sound" + slot and "obj" + index files.
void LoadExtractedProject(const ResourceSet& set, Project& project);

// Extracts into `dir` (an existing folder, private to this run) and loads
// the project.
ResourceSet ExtractResources(const std::filesystem::path& packageFile, const std::filesystem::path& dir,
                             Project& project);

// Deletes the files the extraction created, then the folder itself
// (IoError when the folder remains).
void DeleteResources(const ResourceSet& set);

}  // namespace lumevra
