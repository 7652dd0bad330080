// Whether the program may replace a file, asked before choosing where to
// keep it.
#pragma once

#include <filesystem>

namespace lumevra {

// True when `file` could be replaced by a new version: a new file can be
// made in its folder (a replacement is written beside it first) and the
// file, when it exists, is writable. Answers for this process's user,
// including the system's access lists and read-only file systems.
bool CanReplaceFile(const std::filesystem::path& file);

}  // namespace lumevra
