#include "platform/win32/Win32Process.h"

#include <windows.h>

#include <iostream>

#include "platform/win32/WinText.h"

namespace lumevra {

void PrepareWindowsProcess() {
  InstallWindowsAnsiCodec();
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  auto setContext = user32 != nullptr ? reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
                                            GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                                      : nullptr;
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  if (setContext != nullptr && setContext(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)))) return;
  SetProcessDPIAware();
}

void ReportStartupError(const std::string& utf8) {
  std::cerr << "StandAloneScr: " << utf8 << "\n";
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err == nullptr || err == INVALID_HANDLE_VALUE)
    MessageBoxW(nullptr, Utf8ToWide(utf8).c_str(), L"StandAloneScr", MB_OK | MB_ICONERROR);
}

}  // namespace lumevra
