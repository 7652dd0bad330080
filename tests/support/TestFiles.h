// Small file helpers for tests: a private folder that cleans up after
// itself, and whole-file reads and writes.
#pragma once

#include <filesystem>
#include <cstdint>
#include <string>

namespace lumevra::test {

class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
  std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& file, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& file);

// A little-endian 32-bit integer as 4 bytes, as the package stores it.
std::string Int32Le(int32_t value);

// Runs a shell command; returns its exit code and fills `output` with stdout.
int RunCommand(const std::string& command, std::string& output);

}  // namespace lumevra::test
