// Process-wide settings of a Windows program, made once at start.
// Supports: per-monitor DPI awareness where the system offers it (so that
// the saver window covers the screen in real pixels), else system DPI
// awareness; the ANSI code page as the 8-bit text codec; an error report
// for a program without a console.
#pragma once

#include <string>

namespace lumevra {

void PrepareWindowsProcess();

// To the standard error when it leads somewhere (a test or a console
// redirected it), else in a message box.
void ReportStartupError(const std::string& utf8);

}  // namespace lumevra
