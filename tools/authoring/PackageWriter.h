// The writing side of the resource package: the marker, the entry count and
// the entries, appended to a copy of an executable (or of any file).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <variant>
#include <vector>

namespace lumevra {

class PackageWriter {
public:
  // Entries are written in the order they are added: the header INI text
  // first, then the project file, then the media the header names.
  void AddBytes(std::string bytes);
  void AddFile(const std::filesystem::path& file);

  // The stored marker: each byte of the plain literal increased by one.
  // Built at run time so that no binary of ours holds it as data.
  static std::string StoredMarker();

  // Writes marker, count and entries to `out`. Throws std::runtime_error when
  // an entry file cannot be read or is 2 GiB or larger.
  void Write(std::ostream& out) const;
  // Creates `target` as a copy of `base` (when not empty) followed by the
  // package. `target` may be `base` itself: the package is then appended.
  void WriteFile(const std::filesystem::path& target, const std::filesystem::path& base = {}) const;

private:
  std::vector<std::variant<std::string, std::filesystem::path>> entries_;
};

}  // namespace lumevra
