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
  // Extraction folders are made here, one per program name, as Windows
  // does: tempFolder / program file name.
  std::filesystem::path tempFolder = std::filesystem::temp_directory_path();
  // Empty: no per-user settings folder.
  std::filesystem::path userSettingsFolder;
  // Folders whose files CanReplaceFile refuses, for tests run by a user
  // who may write anywhere.
  std::vector<std::filesystem::path> readOnlyFolders;
  std::optional<std::filesystem::path> documentsFolder;
  std::optional<std::filesystem::path> programFilesValue;
  std::optional<OsVersionInfo> osVersion;
  std::string applicationTitle;
  bool guardAvailable = true;
  // When set, LoadPasswordChanger hands out a changer that records here.
  bool passwordServices = false;
  std::vector<intptr_t> passwordChangeCalls;

  std::filesystem::path ProgramFile() const override { return programFile; }
  std::vector<std::string> Arguments() const override { return arguments; }
  std::filesystem::path CreateExtractionFolder() override;
  std::filesystem::path UserSettingsFolder() const override { return userSettingsFolder; }
  bool CanReplaceFile(const std::filesystem::path& file) const override;
  std::optional<std::filesystem::path> DocumentsFolder() const override { return documentsFolder; }
  std::optional<std::filesystem::path> ProgramFilesValue() const override { return programFilesValue; }
  std::optional<OsVersionInfo> OsVersion() const override { return osVersion; }
  void SetApplicationTitle(const std::string& title) override { applicationTitle = title; }
  std::unique_ptr<InstanceGuard> CreateInstanceGuard(const std::string& name) override;
  std::unique_ptr<PasswordChanger> LoadPasswordChanger() override;
};

}  // namespace lumevra
