// The user's private folder on a POSIX system: where runs extract their
// packages and where the single-instance lock lives, out of other users'
// reach. $XDG_RUNTIME_DIR/lumevra when the session has a runtime folder,
// else lumevra-<uid> in the temporary folder ($TMPDIR, else /tmp).
//
// A shared temporary folder lets another user plant a folder, a file or a
// link where ours will go, so the folder is made 0700 and then checked
// through a descriptor opened without following links: a folder, owned by
// this user, with no access for group or others. Anything else is refused.
#pragma once

#include <filesystem>
#include <string>

namespace lumevra {

// Where the private folder goes, from the environment.
std::filesystem::path PrivateFolderPath();

// Creates `folder` (0700) when missing and checks it as above; returns it.
// IoError saying what is wrong otherwise.
std::filesystem::path OpenPrivateFolder(const std::filesystem::path& folder);

// A new run folder "<program>-<pid>-XXXXXX" (0700) in the private folder,
// with a trailing separator. IoError when it cannot be made.
std::filesystem::path CreateRunFolder(const std::filesystem::path& privateFolder, const std::string& programName);

// Removes the run folders in `privateFolder` whose process has ended (a
// crashed or killed run); the others, and anything not named like a run
// folder, stay. Best effort: what cannot be removed is left.
void RemoveLeftoverRunFolders(const std::filesystem::path& privateFolder);

}  // namespace lumevra
