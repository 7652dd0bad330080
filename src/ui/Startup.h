// Program start: the screensaver command line picks one mode per process,
// and a named guard keeps a second copy from running at the same time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/System.h"

namespace lumevra {

inline constexpr const char* kInstanceGuardName = "KAStndAlneScreenSaverSemaphore";
inline constexpr const char* kApplicationTitle = "Lumevra Screensaver";

enum class StartMode { PasswordChange, Preview, Saver, Configuration, None };

const char* StartModeName(StartMode mode);

struct CommandLine {
  std::string ModeParam;    // first two characters of parameter 1, upper-cased
  std::string HandleParam;  // parameter 2, upper-cased
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The mode table. `programFile` matters only through its extension: a
// stand-alone ".EXE" runs the saver for every key but A and P.
StartMode SelectMode(const std::string& modeParam, const std::filesystem::path& programFile);

// Raised for a window handle that is not a decimal integer.
class InvalidInteger : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Parses a window handle written in decimal; InvalidInteger otherwise.
intptr_t ParseWindowHandle(const std::string& text);

// What each mode does once chosen. A mode without a handler reports itself
// on `out` and ends.
struct StartupHandlers {
  std::function<void(intptr_t parentWindow)> preview;
  std::function<void()> saver;
  std::function<void()> configuration;
};

// Runs the start-up in its order: password change (unguarded), the guard,
// then preview, saver or configuration. Returns the process exit code;
// errors are left to the caller.
int RunStartup(System& system, const StartupHandlers& handlers, std::ostream& out);

}  // namespace lumevra
