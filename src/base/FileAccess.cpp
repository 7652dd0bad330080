#include "base/FileAccess.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <random>
#include <string>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lumevra {

namespace fs = std::filesystem;

bool IsForeignLink(const fs::path& file) {
#ifdef _WIN32
  (void)file;
  return false;
#else
  struct stat st {};
  return lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && st.st_uid != geteuid();
#endif
}

bool CanReplaceFile(const fs::path& file) {
  if (IsForeignLink(file)) return false;
  std::error_code ec;
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, ec)) return false;
  const bool exists = fs::exists(fs::symlink_status(file, ec));
#ifdef _WIN32
  // Access lists decide on Windows, and only an attempt tells: make and
  // delete a probe file, and open the file for writing without changing it.
  std::random_device random;
  const fs::path probe = folder / (L".probe-" + std::to_wstring(random()) + L".tmp");
  int fd = -1;
  if (_wsopen_s(&fd, probe.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0)
    return false;
  _close(fd);
  fs::remove(probe, ec);
  if (!exists) return true;
  // A read-only file cannot be moved over, whoever may open it.
  struct _stat64 st {};
  if (_wstat64(file.c_str(), &st) == 0 && (st.st_mode & _S_IWRITE) == 0) return false;
  if (_wsopen_s(&fd, file.c_str(), _O_WRONLY | _O_BINARY, _SH_DENYNO, 0) != 0) return false;
  _close(fd);
  return true;
#else
  // The effective ids decide, as they do for the write itself.
  if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return false;
  if (!exists) return true;
  if (faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0) return false;
  // In a sticky folder only the file's or the folder's owner may move
  // another file over it.
  struct stat dir {}, old {};
  const uid_t me = geteuid();
  if (me != 0 && stat(folder.c_str(), &dir) == 0 && (dir.st_mode & S_ISVTX) != 0 && dir.st_uid != me &&
      lstat(file.c_str(), &old) == 0 && old.st_uid != me)
    return false;
  return true;
#endif
}

}  // namespace lumevra
