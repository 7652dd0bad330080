// Whether the program may replace a file, asked before choosing where to
// keep it.
#pragma once

#include <filesystem>

namespace lumevra {

// True when `file` could be replaced by a new version: a new file can be
// made in its folder (a replacement is written beside it first) and the
// file, when it exists, is writable. Answers for this process's user,
// including the system's access lists and read-only file systems.
// A link another user made is never written through: it gives false.
bool CanReplaceFile(const std::filesystem::path& file);

// True for a symbolic link that belongs to another user (POSIX; never on
// Windows): someone else chose where it points, so it is neither read as
// ours nor written through.
bool IsForeignLink(const std::filesystem::path& file);

}  // namespace lumevra
