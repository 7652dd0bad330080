#include "ui/SharedFolders.h"

#include <algorithm>

namespace lumevra {

namespace fs = std::filesystem;

namespace {

// The program's folder, ending with a separator.
fs::path ProgramFolder(const System& system) { return system.ProgramFile().parent_path() / ""; }

bool UsesDocumentsLayout(const System& system) {
  const uint8_t code = GetWindowsVersionCode(system);
  return code == 8 || code == 9;
}

char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c - u'A' + u'a' : c; }

}  // namespace

uint8_t VersionCodeOf(const std::optional<OsVersionInfo>& v) {
  if (!v) return 0;
  if (v->family == OsVersionInfo::Win9x) {
    if (v->major != 4) return 0;
    switch (v->minor) {
      case 0: return 1;
      case 10: return (v->servicePack.size() > 1 && v->servicePack[1] == 'A') ? 3 : 2;
      case 90: return 5;
      default: return 0;
    }
  }
  if (v->family == OsVersionInfo::WinNT) {
    if (v->major <= 4) return 4;
    if (v->major == 5 && v->minor == 0) return 6;
    if (v->major == 5 && v->minor == 1) return 7;
    if (v->major == 6) return 8;
    if (v->major == 7) return 9;
  }
  return 0;
}

uint8_t GetWindowsVersionCode(const System& system) { return VersionCodeOf(system.OsVersion()); }

fs::path GetProgramFilesFolder(const System& system) {
  if (auto value = system.ProgramFilesValue(); value && !value->empty()) {
    fs::path folder = *value;
    if (folder.has_filename()) folder /= "";
    return folder;
  }
  std::u16string folder = ProgramFolder(system).u16string();
  std::u16string needle = u"lumevrastudio";
  needle += static_cast<char16_t>(fs::path::preferred_separator);
  auto it = std::search(folder.begin(), folder.end(), needle.begin(), needle.end(),
                        [](char16_t a, char16_t b) { return LowerAscii(a) == b; });
  if (it != folder.end()) folder.erase(it, it + static_cast<std::ptrdiff_t>(needle.size()));
  return fs::path(folder);
}

fs::path GetDocumentsFolder(const System& system) {
  fs::path docs = system.DocumentsFolder().value_or(fs::path());
  // Without a trailing separator, as the folder rules expect.
  while (!docs.empty() && !docs.has_filename() && docs != docs.root_path()) docs = docs.parent_path();
  return docs;
}

fs::path GetStudioDataFolder(const System& system) {
  if (UsesDocumentsLayout(system)) return GetDocumentsFolder(system) / "Brandel" / "";
  return ProgramFolder(system);
}

fs::path GetCommonFolder(const System& system) {
  if (UsesDocumentsLayout(system)) return GetDocumentsFolder(system) / "Brandel" / "";
  return GetProgramFilesFolder(system) / "Brandel" / "Common" / "";
}

fs::path GetSharedImagesFolder(const System& system) { return GetCommonFolder(system) / "images" / ""; }

StudioSettings::StudioSettings(const System& system) : file_(GetStudioDataFolder(system) / "LVStudio.ini") {}

Ini& StudioSettings::Settings() {
  if (!ini_) {
    ini_.emplace();
    ini_->LoadFromFile(file_);
  }
  return *ini_;
}

}  // namespace lumevra
