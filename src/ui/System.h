// Process, files and folders: what the start-up and the settings need of
// the operating system.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumevra {

// The operating system's version record, as far as the folder rules need it.
struct OsVersionInfo {
  enum Family : uint32_t { Win9x = 1, WinNT = 2 };
  uint32_t family = 0;  // Win9x, WinNT, or 0 for anything else
  uint32_t major = 0;
  uint32_t minor = 0;
  std::string servicePack;  // the service text ("A" marks 98 SE)
};

// A named single-instance guard, held for as long as the object lives.
class InstanceGuard {
public:
  virtual ~InstanceGuard() = default;
  // True when another process already held the name at creation: this
  // process must end at once.
  virtual bool AlreadyExists() const = 0;
};

// The system's own password-change dialog for screensavers.
class PasswordChanger {
public:
  virtual ~PasswordChanger() = default;
  virtual void ChangePassword(intptr_t ownerWindow) = 0;
};

class System {
public:
  virtual ~System() = default;
  // The program's own file (the one that carries the package).
  virtual std::filesystem::path ProgramFile() const = 0;
  // Command-line parameters after the program name, as UTF-8.
  virtual std::vector<std::string> Arguments() const = 0;
  // A fresh, empty folder of the user's own for this run's extracted
  // package, with a trailing separator; the caller removes it. What the
  // user's earlier runs left behind when they ended without cleaning up is
  // removed first. IoError, saying what is wrong, when no private folder
  // can be had.
  virtual std::filesystem::path CreateExtractionFolder() = 0;
  // The user's own folder for settings (created only when written to);
  // empty when the system has none.
  virtual std::filesystem::path UserSettingsFolder() const = 0;
  // True when `file` can be replaced by a new version: a new file can be
  // made in its folder and the file, when it exists, can be written.
  virtual bool CanReplaceFile(const std::filesystem::path& file) const = 0;
  // The user's documents folder; nullopt when the system cannot tell.
  virtual std::optional<std::filesystem::path> DocumentsFolder() const = 0;
  // The system's program-files folder as it records it; nullopt when it
  // cannot be read (always off Windows).
  virtual std::optional<std::filesystem::path> ProgramFilesValue() const = 0;
  // nullopt when the version cannot be read (always off Windows).
  virtual std::optional<OsVersionInfo> OsVersion() const = 0;
  // The title the desktop shows for the program as a whole (its task or
  // window class), set once at start-up before any window opens.
  virtual void SetApplicationTitle(const std::string& title) = 0;
  // nullptr when no guard can be created; the run then goes on unguarded.
  virtual std::unique_ptr<InstanceGuard> CreateInstanceGuard(const std::string& name) = 0;
  // nullptr when the system offers no password-change service.
  virtual std::unique_ptr<PasswordChanger> LoadPasswordChanger() = 0;
};

}  // namespace lumevra
