// The System of a Linux desktop.
// Supports: program file (/proc/self/exe), arguments, $TMPDIR, the XDG
// documents folder, and a single-instance guard on an advisory file lock
// that the kernel drops when the process dies, so a crashed saver never
// blocks later starts.
// Does not support: the program-files value and the version record (there
// are none: the folder rules take their fallbacks), password services.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ui/System.h"

namespace lumevra {

class LinuxSystem final : public System {
public:
  LinuxSystem(int argc, char** argv);

  std::filesystem::path ProgramFile() const override { return programFile_; }
  std::vector<std::string> Arguments() const override { return arguments_; }
  std::filesystem::path TempFolder() const override;
  std::optional<std::filesystem::path> DocumentsFolder() const override;
  std::optional<std::filesystem::path> ProgramFilesValue() const override { return std::nullopt; }
  std::optional<OsVersionInfo> OsVersion() const override { return std::nullopt; }
  std::unique_ptr<InstanceGuard> CreateInstanceGuard(const std::string& name) override;
  std::unique_ptr<PasswordChanger> LoadPasswordChanger() override { return nullptr; }

  // Where the guard's lock file for `name` lives: the user's runtime folder,
  // else the temporary folder with the user id in the name.
  std::filesystem::path GuardFile(const std::string& name) const;

private:
  std::filesystem::path programFile_;
  std::vector<std::string> arguments_;
};

}  // namespace lumevra
