// The user's choices for one screensaver: section "Config" of an INI file
// named after the program, beside it or in the user's settings folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "ui/System.h"

namespace lumevra {

struct SaverSettings {
  int32_t Speed = 100;        // animation speed in percent
  bool Stretch = true;        // fit the picture to the window
  bool Proportional = false;  // keep the aspect ratio when fitting
  bool Sound = true;
  bool Music = true;
  bool ShowClock = false;
  int32_t ClockPos = 1;  // 0 top left, 1 top right, 2 bottom left, 3 bottom right
  bool AllMonitors = true;  // the scene on every monitor, else the others black

  // A corner the dialog can show and write: 0..3 as it is, anything else the
  // default corner.
  static int32_t ValidClockPos(int32_t pos) { return pos >= 0 && pos <= 3 ? pos : SaverSettings{}.ClockPos; }
};

// The program's folder + its file name up to the last "." + ".ini"
// (MySaver.scr -> MySaver.ini). A name without a "." keeps its whole name
// (MySaver -> MySaver.ini), so savers without an extension, as on Linux,
// still get a settings file of their own.
std::filesystem::path SettingsFileName(const std::filesystem::path& programFile);

// Where the settings live. A file beside the program is kept where it is
// (existing installs, portable copies); a program installed where the user
// cannot write keeps them in the user's settings folder instead:
// - written beside the program when that file can be replaced there, else
//   to the user's file;
// - read from beside the program when that file exists and is the one
//   written (or the user's file does not exist), else from the user's file,
//   so the saver always reads what the dialog wrote.
std::filesystem::path UserSettingsFileName(const System& system);
std::filesystem::path SettingsFileToRead(const System& system);
std::filesystem::path SettingsFileToWrite(const System& system);

// The saver window's reading: "Music" defaults to the package header's
// "Music", and "ClockPos" is kept in a byte (0..255).
SaverSettings ReadSaverSettings(const std::filesystem::path& file, bool headerMusic);
// The configuration dialog's reading: every default as in SaverSettings.
SaverSettings ReadDialogSettings(const std::filesystem::path& file);

// Raised when the settings file cannot be written; what() is
// "Unable to write to <file>".
class SettingsWriteError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Writes all eight keys, in the order Speed, Stretch, Proportional, Sound,
// Music, ClockPos, ShowClock, AllMonitors, keeping every other line of the
// file. The old file is replaced in one step, so a failed write leaves it
// whole; a file that is there but cannot be read is not written at all. A
// file that does not exist yet starts from `startFrom` when that exists
// (the settings read so far), and its folder is created.
void WriteSettings(const std::filesystem::path& file, const SaverSettings& settings,
                   const std::filesystem::path& startFrom = {});

}  // namespace lumevra
