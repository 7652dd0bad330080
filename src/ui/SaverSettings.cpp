#include "ui/SaverSettings.h"

#include "base/AnsiText.h"
#include "base/FileAccess.h"
#include "base/Ini.h"

namespace lumevra {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSection = "Config";

SaverSettings ReadSettings(const fs::path& file, bool musicDefault) {
  Ini ini;
  ini.LoadFromFile(file);  // a file that cannot be read gives every default
  SaverSettings s;
  s.Speed = ini.ReadInteger(kSection, "Speed", s.Speed);
  s.Stretch = ini.ReadBool(kSection, "Stretch", s.Stretch);
  s.Proportional = ini.ReadBool(kSection, "Proportional", s.Proportional);
  s.Sound = ini.ReadBool(kSection, "Sound", s.Sound);
  s.Music = ini.ReadBool(kSection, "Music", musicDefault);
  s.ShowClock = ini.ReadBool(kSection, "ShowClock", s.ShowClock);
  s.ClockPos = ini.ReadInteger(kSection, "ClockPos", s.ClockPos);
  s.AllMonitors = ini.ReadBool(kSection, "AllMonitors", s.AllMonitors);
  return s;
}

}  // namespace

fs::path SettingsFileName(const fs::path& programFile) {
  const std::u16string name = programFile.filename().u16string();
  const size_t dot = name.rfind(u'.');
  std::u16string base = dot == std::u16string::npos ? name : name.substr(0, dot);
  return programFile.parent_path() / fs::path(base + u".ini");
}

fs::path UserSettingsFileName(const System& system) {
  const fs::path folder = system.UserSettingsFolder();
  if (folder.empty()) return {};
  return folder / SettingsFileName(system.ProgramFile()).filename();
}

fs::path SettingsFileToWrite(const System& system) {
  const fs::path beside = SettingsFileName(system.ProgramFile());
  const fs::path user = UserSettingsFileName(system);
  return user.empty() || system.CanReplaceFile(beside) ? beside : user;
}

fs::path SettingsFileToRead(const System& system) {
  const fs::path beside = SettingsFileName(system.ProgramFile());
  const fs::path user = UserSettingsFileName(system);
  std::error_code ec;
  // Another user's link beside the program is no settings file of ours.
  if (IsForeignLink(beside) && !user.empty()) return user;
  if (user.empty() || !fs::exists(user, ec)) return beside;
  if (fs::exists(beside, ec) && system.CanReplaceFile(beside)) return beside;
  return user;
}

SaverSettings ReadSaverSettings(const fs::path& file, bool headerMusic) {
  SaverSettings s = ReadSettings(file, headerMusic);
  s.ClockPos = static_cast<uint8_t>(s.ClockPos);
  return s;
}

SaverSettings ReadDialogSettings(const fs::path& file) { return ReadSettings(file, true); }

void WriteSettings(const fs::path& file, const SaverSettings& s, const fs::path& startFrom) {
  Ini ini;
  std::error_code ec;
  if (!ini.LoadFromFile(file)) {
    // A file that is there but cannot be read would lose its other lines
    // (a link to no file yet is written through, as before).
    if (fs::exists(file, ec))
      throw SettingsWriteError("Unable to write to " + Utf16ToUtf8(file.u16string()));
    if (!startFrom.empty()) ini.LoadFromFile(startFrom);
    if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
  }
  ini.WriteInteger(kSection, "Speed", s.Speed);
  ini.WriteBool(kSection, "Stretch", s.Stretch);
  ini.WriteBool(kSection, "Proportional", s.Proportional);
  ini.WriteBool(kSection, "Sound", s.Sound);
  ini.WriteBool(kSection, "Music", s.Music);
  ini.WriteInteger(kSection, "ClockPos", s.ClockPos);
  ini.WriteBool(kSection, "ShowClock", s.ShowClock);
  ini.WriteBool(kSection, "AllMonitors", s.AllMonitors);
  try {
    ini.SaveToFile(file);
  } catch (const std::exception&) {
    throw SettingsWriteError("Unable to write to " + Utf16ToUtf8(file.u16string()));
  }
}

}  // namespace lumevra
