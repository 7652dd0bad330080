#include "base/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <unistd.h>
#endif

#include "base/FileAccess.h"

namespace lumevra {

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

[[noreturn]] void Fail(const fs::path& file, std::error_code error) {
  throw std::runtime_error("cannot write " + Utf8(file) + ": " + error.message());
}

std::error_code LastError() { return std::error_code(errno, std::generic_category()); }

// Unguessable enough that two writers (or two processes) never pick the same
// name; the exclusive create catches the rare clash anyway.
std::string RandomTag() {
  static std::atomic<uint64_t> counter{0};
  uint64_t bits = (counter.fetch_add(1) + 1) * 0x9E3779B97F4A7C15ull;
  bits ^= static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    bits ^= (static_cast<uint64_t>(device()) << 32) ^ device();
  } catch (const std::exception&) {
    // The counter and the clock still keep names apart within this process.
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
  return hex;
}

// Replacing a symbolic link by a plain file would cut the link; the file it
// points to is the one the user means. A link another user made is not the
// user's to follow: it is replaced itself (a rename never follows links).
fs::path FollowLinks(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_symlink(fs::symlink_status(file, ec))) return file;
  if (IsForeignLink(file)) return file;
  fs::path target = fs::canonical(file, ec);
  if (!ec) return target;
  // A dangling link: write the file it names, as opening it for writing would.
  target = fs::read_symlink(file, ec);
  if (ec) return file;
  return target.is_absolute() ? target : file.parent_path() / target;
}

// The temporary file until it has been moved over the target: whatever
// leaves early closes and removes it.
class TempFile {
public:
  explicit TempFile(const fs::path& target) : target_(target) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      fs::path name(".");
      name += target.filename().native();
      name += "." + RandomTag() + ".tmp";
      path_ = target.parent_path() / name;
#ifdef _WIN32
      const errno_t error = _wsopen_s(&fd_, path_.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                                      _SH_DENYNO, _S_IREAD | _S_IWRITE);
      if (error == 0) return;
      fd_ = -1;
      if (error != EEXIST) Fail(target_, std::error_code(error, std::generic_category()));
#else
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0) return;
      if (errno != EEXIST && errno != EINTR) Fail(target_, LastError());
#endif
    }
    path_.clear();
    Fail(target_, std::make_error_code(std::errc::file_exists));
  }

  ~TempFile() {
    if (fd_ >= 0) CloseFd();
    std::error_code ignored;
    if (!path_.empty()) fs::remove(path_, ignored);
  }

  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

#ifndef _WIN32
  // The owner and permission bits of the file being replaced, so that a save
  // does not widen (or narrow) who may read the settings.
  void CopyAttributesFrom(const struct stat& old) {
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
      // Only possible for root, and only worth trying then; a failure keeps
      // this process's ownership, which is still a correct file.
      if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
      }
    }
    if (::fchmod(fd_, old.st_mode & 07777) != 0) Fail(target_, LastError());
  }
#endif

  void Write(std::string_view bytes) {
    while (!bytes.empty()) {
      // Chunks stay far below every platform's limit on one write.
      const size_t chunk = bytes.size() < (size_t{1} << 30) ? bytes.size() : (size_t{1} << 30);
#ifdef _WIN32
      const int n = _write(fd_, bytes.data(), static_cast<unsigned>(chunk));
#else
      const ssize_t n = ::write(fd_, bytes.data(), chunk);
#endif
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) Fail(target_, LastError());
      if (n == 0) Fail(target_, std::make_error_code(std::errc::no_space_on_device));
      bytes.remove_prefix(static_cast<size_t>(n));
    }
  }

  // The bytes reach the disk before the name moves: otherwise a crash right
  // after the move could leave an empty file in place of the old one.
  void FlushAndClose() {
#ifdef _WIN32
    const bool flushed = _commit(fd_) == 0;
#else
    const bool flushed = ::fsync(fd_) == 0;
#endif
    const std::error_code flushError = LastError();
    const int closeResult = CloseFd();
    if (!flushed) Fail(target_, flushError);
    if (closeResult != 0) Fail(target_, LastError());
  }

  void MoveOverTarget() {
#ifdef _WIN32
    // MoveFileExW with MOVEFILE_REPLACE_EXISTING underneath.
    std::error_code ec;
    fs::rename(path_, target_, ec);
    if (ec) Fail(target_, ec);
#else
    if (::rename(path_.c_str(), target_.c_str()) != 0) Fail(target_, LastError());
#endif
    path_.clear();
  }

private:
  int CloseFd() {
#ifdef _WIN32
    const int result = _close(fd_);
#else
    const int result = ::close(fd_);
#endif
    fd_ = -1;
    return result;
  }

  fs::path target_;
  fs::path path_;
  int fd_ = -1;
};

#ifndef _WIN32
// Makes the rename itself survive a crash. The new contents are already in
// place by now, so a failure here is not reported: the old file is gone either
// way and the caller's data was written.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  if (::fsync(fd) != 0) {
  }
  ::close(fd);
}
#endif

}  // namespace

void ReplaceFileContents(const fs::path& file, std::string_view bytes) {
  const fs::path target = FollowLinks(file);
  TempFile temp(target);
#ifndef _WIN32
  struct stat old;
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) temp.CopyAttributesFrom(old);
#endif
  temp.Write(bytes);
  temp.FlushAndClose();
  temp.MoveOverTarget();
#ifndef _WIN32
  SyncFolder(target.parent_path());
#endif
}

}  // namespace lumevra
