// The System of Windows.
// Supports: the program file (GetModuleFileNameW), the arguments of the wide
// command line as UTF-8, the temporary folder (GetTempPathW), the documents
// folder (SHGetFolderPathW), the registry's "ProgramFilesDir", the version
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
  std::filesystem::path TempFolder() const override;
  std::optional<std::filesystem::path> DocumentsFolder() const override;
  std::optional<std::filesystem::path> ProgramFilesValue() const override;
  std::optional<OsVersionInfo> OsVersion() const override;
  std::unique_ptr<InstanceGuard> CreateInstanceGuard(const std::string& name) override;
  std::unique_ptr<PasswordChanger> LoadPasswordChanger() override;

private:
  std::filesystem::path programFile_;
  std::vector<std::string> arguments_;
};

// The system folder with a trailing separator; empty when unknown.
std::wstring SystemFolder();

}  // namespace lumevra
