// What every fuzz target shares: a private scratch folder for the inputs
// that must be files, and a check that fails the run with a message.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace lumevra::fuzz {

// A folder of this process's own, made once and removed at exit.
inline const std::filesystem::path& Scratch() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumevra-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) abort();
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(Scratch(), ec);
    });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An invariant that does not hold is a finding, as a crash is.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  abort();
}

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace lumevra::fuzz
