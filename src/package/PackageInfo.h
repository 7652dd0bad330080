// A read-only look at a package for tools: where it starts, its entry sizes
// and its header text, without extracting anything.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lumevra {

struct PackageInfo {
  int64_t offset = 0;  // absolute position of EntryCount
  int32_t count = 0;   // EntryCount as stored
  // EntrySize of each entry whose size field lies inside the file, in order;
  // the last one's data may run past the end of a cut-short file.
  std::vector<int32_t> entrySizes;
  std::string headerText;  // entry 0, up to kMaxHeaderBytes
};

inline constexpr int64_t kMaxHeaderBytes = 1 << 20;

// nullopt when the file holds no package. Throws std::runtime_error when the
// file cannot be opened.
std::optional<PackageInfo> ReadPackageInfo(const std::filesystem::path& file);

}  // namespace lumevra
