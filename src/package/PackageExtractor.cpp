#include "package/PackageExtractor.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <system_error>

#include "base/AnsiText.h"
#include "base/Ini.h"
#include "package/Project.h"

namespace lumevra {

namespace fs = std::filesystem;

namespace {

// Reads a little-endian 32-bit integer; a read cut short by the end of the
// file gives 0, so a truncated package reads as empty from there on.
int32_t ReadInt32(std::ifstream& in) {
  unsigned char b[4] = {0, 0, 0, 0};
  in.read(reinterpret_cast<char*>(b), 4);
  if (in.gcount() != 4) {
    in.clear(std::ios::eofbit);
    return 0;
  }
  uint32_t v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return static_cast<int32_t>(v);
}

// Opens a file for writing in place of whatever stands there. A link is
// removed first rather than followed, so the bytes land inside the folder.
std::ofstream CreateOutput(const fs::path& name) {
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(name, ec))) fs::remove(name, ec);
  return std::ofstream(name, std::ios::binary | std::ios::trunc);
}

}  // namespace

std::optional<PackageLocation> FindPackage(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  char buffer[kCopyChunk];
  int64_t position = 0;
  size_t match = 0;
  const size_t markerLength = kMarkerLiteral.size();
  for (;;) {
    in.read(buffer, kCopyChunk);
    const std::streamsize got = in.gcount();
    if (got <= 0) break;
    const unsigned char first = static_cast<unsigned char>(kMarkerLiteral[0]) + 1;
    for (std::streamsize i = 0; i < got; ++i) {
      if (match == 0) {
        // Outside a match only the marker's first byte matters: skip to it.
        const void* hit = std::memchr(buffer + i, first, static_cast<size_t>(got - i));
        if (!hit) {
          position += got - i;
          break;
        }
        const auto skip = static_cast<const char*>(hit) - (buffer + i);
        position += skip;
        i += skip;
      }
      ++position;
      // The stored marker byte is the literal's byte plus one (mod 256).
      const auto plain = static_cast<char>(static_cast<unsigned char>(buffer[i]) - 1);
      if (plain == kMarkerLiteral[match]) {
        if (++match == markerLength) {
          in.clear();
          in.seekg(position);
          PackageLocation found;
          found.offset = position;
          found.count = ReadInt32(in);
          return found;
        }
      } else {
        // A partial match may hide the start of the real marker; the first
        // byte does not recur inside the marker, so retesting it is enough.
        match = plain == kMarkerLiteral[0] ? 1 : 0;
      }
    }
  }
  return std::nullopt;
}

std::vector<fs::path> ExtractPackage(const fs::path& file, const std::vector<fs::path>& names) {
  std::vector<fs::path> created;
  const auto location = FindPackage(file);
  if (!location) return created;
  std::ifstream in(file, std::ios::binary);
  if (!in) return created;
  in.seekg(location->offset);
  const int32_t count = ReadInt32(in);
  char buffer[kCopyChunk];
  for (size_t k = 0; k < names.size() && static_cast<int64_t>(k) < count; ++k) {
    // A negative size is as good as none: the entry is empty.
    const int64_t size = std::max<int32_t>(ReadInt32(in), 0);
    std::ofstream out;
    if (!names[k].empty()) {
      out = CreateOutput(names[k]);
      if (out) created.push_back(names[k]);
    }
    int64_t copied = 0;
    while (copied < size) {
      const auto chunk = static_cast<std::streamsize>(std::min<int64_t>(kCopyChunk, size - copied));
      in.read(buffer, chunk);
      const std::streamsize got = in.gcount();
      if (got <= 0) break;
      if (out) out.write(buffer, got);
      copied += got;
    }
    if (!in) in.clear(std::ios::eofbit);
  }
  return created;
}

int64_t EntriesInPackage(const fs::path& file) {
  const auto location = FindPackage(file);
  if (!location || location->count <= 0) return 0;
  std::error_code ec;
  const uintmax_t size = fs::file_size(file, ec);
  if (ec) return 0;
  // Every entry starts with its 4-byte size, so the rest of the file bounds
  // how many there can be, whatever the count says.
  const int64_t rest = static_cast<int64_t>(size) - location->offset - 4;
  return std::min<int64_t>(location->count, rest > 0 ? rest / 4 : 0);
}

namespace {

// Names Windows takes for a device in every folder, whatever extension
// follows ("NUL.wav" is the null device, "COM1.gif" a serial port).
bool IsWindowsDeviceName(std::string_view name) {
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$")
    return true;
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '0' && stem[3] <= '9';
}

}  // namespace

bool IsBareFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  if (name.find_first_of(std::string_view("/\\:\0", 4)) != std::string_view::npos) return false;
  // Windows drops a trailing dot or blank ("a.wav." is "a.wav"), so such a
  // name would not be the file it says.
  if (name.back() == '.' || name.back() == ' ') return false;
  return !IsWindowsDeviceName(name);
}

std::string FileExtension(std::string_view name) {
  const size_t sep = name.find_last_of("/\\:");
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return {};
  return std::string(name.substr(dot));
}

fs::path CreateFreshFolder(const fs::path& dir) {
  fs::path folder = dir;
  if (!folder.has_filename()) folder = folder.parent_path();
  std::error_code ec;
  const auto status = fs::symlink_status(folder, ec);  // a missing folder is no error
  ec.clear();
  if (fs::is_symlink(status)) {
    fs::remove(folder, ec);
  } else if (fs::is_directory(status)) {
    fs::remove_all(folder, ec);
  } else if (fs::exists(status)) {
    throw IoError("Unable to create the folder " + folder.string() + ": another file is in the way");
  }
  if (ec) throw IoError("Unable to remove the folder " + folder.string() + ": " + ec.message());
  if (!fs::create_directories(folder, ec) || ec)
    throw IoError("Unable to create the folder " + folder.string() + (ec ? ": " + ec.message() : std::string()));
  return folder / "";
}

ResourceSet ExtractResourcesInto(const fs::path& packageFile, const fs::path& dir) {
  ResourceSet set;
  set.TempDir = dir;
  if (set.TempDir.has_filename()) set.TempDir /= "";

  auto remember = [&set](const std::vector<fs::path>& files) {
    for (const fs::path& f : files)
      if (std::find(set.Created.begin(), set.Created.end(), f) == set.Created.end())
        set.Created.push_back(f);
  };

  // The header first, on its own: it tells the names of the other entries.
  const fs::path headerFile = set.TempDir / "KAHeader.dat";
  remember(ExtractPackage(packageFile, {headerFile}));
  Ini header;
  header.LoadFromFile(headerFile);

  // Entries past the last "Res" key present have no name and would not be
  // written anyway, so the list stops there (but keeps the project's slot);
  // nor can it name more entries than the package holds: a header asking
  // for "Res2000000000" must not make a list of two billion names.
  const int64_t resCount =
      std::min<int64_t>(std::max(header.ReadInteger("Header", "ResCount", 0), 0), EntriesInPackage(packageFile));
  int64_t named = std::min<int64_t>(resCount, 2);
  for (const std::string& key : header.SectionKeys("Header")) {
    if (key.size() <= 3 || !SameText(key.substr(0, 3), "Res")) continue;
    const std::string digits = key.substr(3);
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 10) continue;
    if (digits.size() > 1 && digits[0] == '0') continue;
    const int64_t index = std::stoll(digits);
    if (index < resCount) named = std::max(named, index + 1);
  }
  for (int64_t i = 0; i < named; ++i) {
    const std::string value = header.ReadString("Header", "Res" + std::to_string(i));
    set.ResFiles.push_back(IsBareFileName(value) ? set.TempDir / AnsiToPath(value) : fs::path());
  }
  remember(ExtractPackage(packageFile, set.ResFiles));

  set.Music = header.ReadBool("Header", "Music", false);
  set.MusicFile =
      set.TempDir / AnsiToPath("music" + FileExtension(header.ReadString("Header", "MusicFile")));
  set.MusicVolume = header.ReadInteger("Header", "MusicVolume", 100);
  set.SoundVolume = header.ReadInteger("Header", "SoundVolume", 100);
  if (set.ResFiles.size() > 1) set.ProjectFile = set.ResFiles[1];
  return set;
}

void LoadExtractedProject(const ResourceSet& set, Project& project) {
  project.LoadProject(set.ProjectFile);  // a failure leaves an empty project
  const std::string dir = PathToAnsi(set.TempDir);
  for (int32_t i = 0; i < project.SoundCount(); ++i) {
    SoundSlot& slot = project.SoundSlots[static_cast<size_t>(i)];
    slot.SetSoundFile(dir + "sound" + std::to_string(i) + FileExtension(slot.SoundFile));
  }
  if (project.Objects)
    project.Objects->RepointPictures([&dir](size_t index, const std::string& fileName) {
      return dir + "obj" + std::to_string(index) + FileExtension(fileName);
    });
}

ResourceSet ExtractResources(const fs::path& packageFile, const fs::path& dir, Project& project) {
  ResourceSet set = ExtractResourcesInto(packageFile, dir);
  LoadExtractedProject(set, project);
  return set;
}

void DeleteResources(const ResourceSet& set) {
  std::error_code ec;
  for (const fs::path& f : set.Created) fs::remove(f, ec);  // a missing file is passed over
  const fs::path dir = set.TempDir.parent_path();
  if (dir.empty() || !fs::exists(fs::symlink_status(dir, ec))) return;
  if (!fs::remove(dir, ec) || ec)
    throw IoError("Unable to remove the folder " + dir.string() +
                      (ec ? ": " + ec.message() : std::string()));
}

}  // namespace lumevra
