// Replacing a file's contents so that a crash, a full disk or a failed write
// never leaves it truncated: the old file stays whole until the new one is
// complete on the disk.
#pragma once

#include <filesystem>
#include <string_view>

namespace lumevra {

// Writes `bytes` to a new temporary file beside `file` (".<name>.<random>.tmp",
// created exclusively), flushes it to the disk, closes it and then moves it
// over `file` in one step. On POSIX the new file keeps the old file's
// permission bits (a new file gets 0666 less the umask). A symbolic link is
// followed: the file it points to is replaced, the link stays.
//
// Any failure before the move removes the temporary file, leaves `file` as it
// was and throws std::runtime_error.
void ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes);

}  // namespace lumevra
