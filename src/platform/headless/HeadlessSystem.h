// The headless System: every answer is a field the test or tool sets. Its
// instance guard is process-local, so a test can start the program twice.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ui/System.h"

namespace lumevra {

class HeadlessSystem final : public System {
public:
  std::filesystem::path programFile = "StandAloneScr.scr";
  std::vector<std::string> arguments;
  std::filesystem::path tempFolder = std::filesystem::temp_directory_path();
  std::optional<std::filesystem::path> documentsFolder;
  std::optional<std::filesystem::path> programFilesValue;
  std::optional<OsVersionInfo> osVersion;
  bool guardAvailable = true;
  // When set, LoadPasswordChanger hands out a changer that records here.
  bool passwordServices = false;
  std::vector<intptr_t> passwordChangeCalls;

  std::filesystem::path ProgramFile() const override { return programFile; }
  std::vector<std::string> Arguments() const override { return arguments; }
  std::filesystem::path TempFolder() const override { return tempFolder; }
  std::optional<std::filesystem::path> DocumentsFolder() const override { return documentsFolder; }
  std::optional<std::filesystem::path> ProgramFilesValue() const override { return programFilesValue; }
  std::optional<OsVersionInfo> OsVersion() const override { return osVersion; }
  std::unique_ptr<InstanceGuard> CreateInstanceGuard(const std::string& name) override;
  std::unique_ptr<PasswordChanger> LoadPasswordChanger() override;
};

}  // namespace lumevra
