// The System of Windows.
// Supports: the program file (GetModuleFileNameW), the arguments of the wide
// command line as UTF-8, the extraction folder in the user's temporary
// folder (GetTempPathW; a crashed run's leftovers removed first), the
// documents and per-user application data folders (SHGetFolderPathW), the registry's "ProgramFilesDir", the version
// record (RtlGetVersion, so that newer systems are not reported as older
// ones, else GetVersionExW), the named semaphore guard, and the password
// change of MPR.DLL (present on 95/98/ME only).
// Does not support: anything else of the password services (the saver
// window verifies passwords itself).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ui/System.h"

namespace lumevra {

class Win32System final : public System {
public:
  Win32System();

  std::filesystem::path ProgramFile() const override { return programFile_; }
  std::vector<std::string> Arguments() const override { return arguments_; }
  // The user's temporary folder + the program's file name.
  std::filesystem::path CreateExtractionFolder() override;
  // %APPDATA%\Lumevra.
  std::filesystem::path UserSettingsFolder() const override;
  bool CanReplaceFile(const std::filesystem::path& file) const override;
  std::filesystem::path TempFolder() const;
  std::optional<std::filesystem::path> DocumentsFolder() const override;
  std::optional<std::filesystem::path> ProgramFilesValue() const override;
  std::optional<OsVersionInfo> OsVersion() const override;
  // The text of the saver's task (its application window).
  void SetApplicationTitle(const std::string& title) override;
  std::unique_ptr<InstanceGuard> CreateInstanceGuard(const std::string& name) override;
  std::unique_ptr<PasswordChanger> LoadPasswordChanger() override;

private:
  std::filesystem::path programFile_;
  std::vector<std::string> arguments_;
};

// The application title set at start-up (empty before), for the windows
// that show the program's task.
std::wstring ApplicationTitle();

// The system folder with a trailing separator; empty when unknown.
std::wstring SystemFolder();

}  // namespace lumevra
