#include "platform/linux/LinuxSystem.h"

#include <fcntl.h>
#include <glib.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/FileAccess.h"
#include "package/PackageExtractor.h"
#include "platform/linux/PrivateFolder.h"

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

fs::path LinuxSystem::CreateExtractionFolder() {
  const fs::path folder = OpenPrivateFolder(PrivateFolderPath());
  RemoveLeftoverRunFolders(folder);
  return CreateRunFolder(folder, programFile_.filename().string());
}

fs::path LinuxSystem::UserSettingsFolder() const {
  if (const char* config = NonEmptyEnv("XDG_CONFIG_HOME"); config && config[0] == '/')
    return fs::path(config) / "lumevra";
  if (const char* home = NonEmptyEnv("HOME"); home && home[0] == '/') return fs::path(home) / ".config" / "lumevra";
  if (const passwd* user = getpwuid(geteuid()); user && user->pw_dir && user->pw_dir[0] == '/')
    return fs::path(user->pw_dir) / ".config" / "lumevra";
  return {};
}

void LinuxSystem::SetApplicationTitle(const std::string& title) {
  setenv("SDL_VIDEO_X11_WMCLASS", title.c_str(), 0);  // read when SDL opens the display; a user's choice stays
  g_set_application_name(title.c_str());
  // GDK takes the window class from the program name (its first letter
  // raised) when GTK starts.
  if (g_get_prgname() == nullptr) g_set_prgname(title.c_str());
}

bool LinuxSystem::CanReplaceFile(const fs::path& file) const { return lumevra::CanReplaceFile(file); }

std::optional<fs::path> LinuxSystem::DocumentsFolder() const {
  if (const char* d = NonEmptyEnv("XDG_DOCUMENTS_DIR")) return fs::path(d);
  if (const char* h = NonEmptyEnv("HOME")) return fs::path(h) / "Documents";
  return std::nullopt;
}

fs::path LinuxSystem::GuardFile(const std::string& name) const {
  return OpenPrivateFolder(PrivateFolderPath()) / (name + ".lock");
}

std::unique_ptr<InstanceGuard> LinuxSystem::CreateInstanceGuard(const std::string& name) {
  fs::path file;
  try {
    file = GuardFile(name);
  } catch (const IoError&) {
    return nullptr;  // the extraction says what is wrong with the folder
  }
  // A link in the lock's place is refused, never followed.
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return std::make_unique<FileLockGuard>(fd, false);
  if (errno == EWOULDBLOCK) return std::make_unique<FileLockGuard>(fd, true);
  close(fd);
  return nullptr;
}

}  // namespace lumevra
