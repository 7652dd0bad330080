#include "platform/linux/LinuxSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace lumevra {

namespace fs = std::filesystem;

namespace {

const char* NonEmptyEnv(const char* name) {
  const char* v = std::getenv(name);
  return (v && *v) ? v : nullptr;
}

class FileLockGuard final : public InstanceGuard {
public:
  FileLockGuard(int fd, bool exists) : fd_(fd), exists_(exists) {}
  ~FileLockGuard() override { close(fd_); }
  bool AlreadyExists() const override { return exists_; }

private:
  int fd_;
  bool exists_;
};

}  // namespace

LinuxSystem::LinuxSystem(int argc, char** argv) {
  std::error_code ec;
  programFile_ = fs::read_symlink("/proc/self/exe", ec);
  if (ec && argc > 0) programFile_ = fs::absolute(argv[0], ec);
  for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i]);
}

fs::path LinuxSystem::TempFolder() const {
  if (const char* t = NonEmptyEnv("TMPDIR")) return fs::path(t) / "";
  return fs::path("/tmp/");
}

std::optional<fs::path> LinuxSystem::DocumentsFolder() const {
  if (const char* d = NonEmptyEnv("XDG_DOCUMENTS_DIR")) return fs::path(d);
  if (const char* h = NonEmptyEnv("HOME")) return fs::path(h) / "Documents";
  return std::nullopt;
}

fs::path LinuxSystem::GuardFile(const std::string& name) const {
  if (const char* run = NonEmptyEnv("XDG_RUNTIME_DIR")) return fs::path(run) / (name + ".lock");
  return TempFolder() / (name + "-" + std::to_string(getuid()) + ".lock");
}

std::unique_ptr<InstanceGuard> LinuxSystem::CreateInstanceGuard(const std::string& name) {
  const int fd = open(GuardFile(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return std::make_unique<FileLockGuard>(fd, false);
  if (errno == EWOULDBLOCK) return std::make_unique<FileLockGuard>(fd, true);
  close(fd);
  return nullptr;
}

}  // namespace lumevra
