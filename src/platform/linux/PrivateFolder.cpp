#include "platform/linux/PrivateFolder.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "package/PackageExtractor.h"

namespace lumevra {

namespace fs = std::filesystem;

namespace {

const char* AbsoluteEnv(const char* name) {
  const char* v = std::getenv(name);
  return (v && v[0] == '/') ? v : nullptr;
}

// The process id of a run folder's name, or 0 when the name is not one.
pid_t RunFolderProcess(std::string_view name) {
  const size_t last = name.rfind('-');
  if (last == std::string_view::npos || name.size() - last - 1 != 6 || last == 0) return 0;
  const size_t before = name.rfind('-', last - 1);
  if (before == std::string_view::npos) return 0;
  const std::string_view digits = name.substr(before + 1, last - before - 1);
  if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string_view::npos)
    return 0;
  return static_cast<pid_t>(std::stol(std::string(digits)));
}

// A runtime folder is the user's own: theirs and closed to others. One
// inherited from another user (su, sudo -E) is not.
bool IsOwnRuntimeFolder(const char* folder) {
  struct stat st {};
  return lstat(folder, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

}  // namespace

fs::path PrivateFolderPath() {
  if (const char* run = AbsoluteEnv("XDG_RUNTIME_DIR"); run && IsOwnRuntimeFolder(run))
    return fs::path(run) / "lumevra";
  const char* tmp = AbsoluteEnv("TMPDIR");
  return fs::path(tmp ? tmp : "/tmp") / ("lumevra-" + std::to_string(geteuid()));
}

fs::path OpenPrivateFolder(const fs::path& folder) {
  auto refuse = [&folder](const std::string& why) {
    return IoError("Unable to use the folder " + folder.string() + ": " + why);
  };
  // Where others may write and nothing stops them renaming what is not
  // theirs, no check of ours would hold: such a parent is refused.
  struct stat parent {};
  const uid_t me = geteuid();
  if (stat(folder.parent_path().c_str(), &parent) == 0 && (parent.st_mode & 0002) != 0 &&
      (parent.st_mode & S_ISVTX) == 0 && parent.st_uid != me && parent.st_uid != 0)
    throw refuse("its parent folder is open to everyone without the sticky bit");
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw IoError("Unable to create the folder " + folder.string() + ": " + std::strerror(errno));
  // What stands there decides the message; the checks below decide its use.
  struct stat seen {};
  if (lstat(folder.c_str(), &seen) == 0) {
    if (!S_ISDIR(seen.st_mode)) throw refuse("it is a link or a file, not a folder");
    if (seen.st_uid != me) throw refuse("it belongs to another user");
  }
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    throw IoError("Unable to use the folder " + folder.string() + ": " +
                  (error == ELOOP || error == ENOTDIR ? std::string("it is a link or a file, not a folder")
                                                      : std::string(std::strerror(error))));
  }
  struct stat st {};
  const int statError = fstat(fd, &st) == 0 ? 0 : errno;
  close(fd);
  if (statError) throw IoError("Unable to use the folder " + folder.string() + ": " + std::strerror(statError));
  if (st.st_uid != me) throw refuse("it belongs to another user");
  if ((st.st_mode & 077) != 0) throw refuse("other users have access to it");
  return folder;
}

fs::path CreateRunFolder(const fs::path& privateFolder, const std::string& programName) {
  // Long program names are cut so the folder name stays within the limit.
  std::string pattern = (privateFolder / (programName.substr(0, 200) + "-" + std::to_string(getpid()) + "-XXXXXX"))
                            .string();
  if (!mkdtemp(pattern.data()))
    throw IoError("Unable to create a folder in " + privateFolder.string() + ": " + std::strerror(errno));
  return fs::path(pattern) / "";
}

void RemoveLeftoverRunFolders(const fs::path& privateFolder) {
  std::error_code ec;
  for (fs::directory_iterator it(privateFolder, ec), end; !ec && it != end; it.increment(ec)) {
    const pid_t pid = RunFolderProcess(it->path().filename().native());
    if (pid <= 0 || pid == getpid()) continue;
    // A process that exists, even one we may not signal, may still use it.
    if (kill(pid, 0) == 0 || errno != ESRCH) continue;
    std::error_code ignored;
    if (it->is_symlink(ignored)) fs::remove(it->path(), ignored);
    else if (it->is_directory(ignored)) fs::remove_all(it->path(), ignored);
  }
}

}  // namespace lumevra
