#include "ui/Startup.h"

#include <ostream>

#include "base/Ini.h"

namespace lumevra {

namespace {

std::string UpperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// "/X", "-X" or the bare letter "X".
bool IsKey(const std::string& mode, char letter) {
  return mode == std::string{'/', letter} || mode == std::string{'-', letter} ||
         mode == std::string{letter};
}

}  // namespace

const char* StartModeName(StartMode mode) {
  switch (mode) {
    case StartMode::PasswordChange: return "password change";
    case StartMode::Preview: return "preview";
    case StartMode::Saver: return "saver";
    case StartMode::Configuration: return "configuration";
    case StartMode::None: return "none";
  }
  return "none";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  if (!args.empty()) cl.ModeParam = UpperAscii(args[0]).substr(0, 2);
  if (args.size() > 1) cl.HandleParam = UpperAscii(args[1]);
  return cl;
}

StartMode SelectMode(const std::string& mode, const std::filesystem::path& programFile) {
  if (IsKey(mode, 'A')) return StartMode::PasswordChange;
  if (IsKey(mode, 'P')) return StartMode::Preview;
  if (IsKey(mode, 'S')) return StartMode::Saver;
  std::u16string ext = programFile.extension().u16string();
  for (char16_t& c : ext)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  if (ext == u".EXE") return StartMode::Saver;
  if (mode.empty() || IsKey(mode, 'C')) return StartMode::Configuration;
  return StartMode::None;
}

intptr_t ParseWindowHandle(const std::string& text) {
  const auto value = ParseInteger(text);
  if (!value) throw InvalidInteger("'" + text + "' is not a valid integer value");
  return static_cast<intptr_t>(*value);
}

int RunStartup(System& system, const StartupHandlers& handlers, std::ostream& out) {
  system.SetApplicationTitle(kApplicationTitle);
  const CommandLine cl = ParseCommandLine(system.Arguments());
  const StartMode mode = SelectMode(cl.ModeParam, system.ProgramFile());

  if (mode == StartMode::PasswordChange) {
    // Never guarded: the desktop may ask for it while a saver runs.
    if (auto changer = system.LoadPasswordChanger())
      changer->ChangePassword(ParseWindowHandle(cl.HandleParam));
    return 0;
  }

  // Held until this function returns, that is until the process ends.
  const std::unique_ptr<InstanceGuard> guard = system.CreateInstanceGuard(kInstanceGuardName);
  if (guard && guard->AlreadyExists()) return 0;

  auto report = [&out](StartMode m) { out << "mode: " << StartModeName(m) << "\n"; };
  switch (mode) {
    case StartMode::Preview: {
      const intptr_t parent = ParseWindowHandle(cl.HandleParam);
      if (handlers.preview) handlers.preview(parent);
      else out << "mode: preview into window " << parent << "\n";
      break;
    }
    case StartMode::Saver:
      if (handlers.saver) handlers.saver();
      else report(mode);
      break;
    case StartMode::Configuration:
      if (handlers.configuration) handlers.configuration();
      else report(mode);
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace lumevra
