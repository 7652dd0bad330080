// The System of a Linux desktop.
// Supports: program file (/proc/self/exe), arguments, a private extraction
// folder per run (see PrivateFolder.h), the XDG documents and settings
// folders, and a single-instance guard on an advisory file lock in the
// private folder that the kernel drops when the process dies, so a crashed
// saver never blocks later starts.
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
  std::filesystem::path CreateExtractionFolder() override;
  // $XDG_CONFIG_HOME/lumevra, else ~/.config/lumevra.
  std::filesystem::path UserSettingsFolder() const override;
  bool CanReplaceFile(const std::filesystem::path& file) const override;
  std::optional<std::filesystem::path> DocumentsFolder() const override;
  std::optional<std::filesystem::path> ProgramFilesValue() const override { return std::nullopt; }
  std::optional<OsVersionInfo> OsVersion() const override { return std::nullopt; }
  // The X11 window class of SDL's and GTK's windows (GLib's program
  // name), and GLib's application name.
  void SetApplicationTitle(const std::string& title) override;
  std::unique_ptr<InstanceGuard> CreateInstanceGuard(const std::string& name) override;
  std::unique_ptr<PasswordChanger> LoadPasswordChanger() override { return nullptr; }

  // Where the guard's lock file for `name` lives: the private folder
  // (IoError when it cannot be had).
  std::filesystem::path GuardFile(const std::string& name) const;

private:
  std::filesystem::path programFile_;
  std::vector<std::string> arguments_;
};

}  // namespace lumevra
