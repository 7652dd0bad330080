// StandAloneScr for Windows: picks its mode from the screensaver command
// line (/s, /c, /p HWND, /a HWND) and runs it on the Windows backend (GDI
// window, DirectSound and MCI, standard dialog controls, GDI text).
//
// LUMEVRA_BACKEND=headless runs the same modes without any window or sound
// device (for tests): the saver shows LUMEVRA_HEADLESS_FRAMES frames
// (default 100) in memory on a screen of LUMEVRA_HEADLESS_SIZE (default
// 1024x768) and closes, the dialog closes at once.
#include <exception>
#include <iostream>

#include "platform/headless/HeadlessRun.h"
#include "platform/win32/GdiFontRaster.h"
#include "platform/win32/Win32DialogHost.h"
#include "platform/win32/Win32PreviewTarget.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32SaverHost.h"
#include "platform/win32/Win32System.h"
#include "ui/RunModes.h"
#include "ui/SharedFolders.h"
#include "ui/Startup.h"


// A GUI-subsystem program; the wide entry point, so that no argument is
// squeezed through the ANSI code page (Win32System reads them itself).
int wmain(int, wchar_t**) {
  lumevra::PrepareWindowsProcess();
  lumevra::Win32System system;
  // The studio settings live as long as the process.
  lumevra::StudioSettings studioConfig(system);
  lumevra::GdiFontRaster fonts;
  try {
    lumevra::Platform platform;
    platform.system = &system;
    platform.fonts = &fonts;
    if (lumevra::HeadlessRequested()) return lumevra::RunHeadlessStartup(platform);

    lumevra::Win32SaverHost saver;
    lumevra::Win32DialogHost dialog;
    platform.saver = &saver;
    platform.dialog = &dialog;
    platform.openPreview = lumevra::OpenWin32Preview;
    return lumevra::RunStartup(system, lumevra::MakeStartupHandlers(platform), std::cout);
  } catch (const std::exception& e) {
    lumevra::ReportStartupError(e.what());
    return 1;
  }
}
