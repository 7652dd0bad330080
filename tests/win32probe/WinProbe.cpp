// win_probe: drives the Windows programs from outside for the GUI checks
// (scripts/test-windows-gui.sh), as a user or the desktop would.
//
//   win_probe key                 waits for the saver window, prints its place
//                                 and the virtual screen's, sends it a key
//   win_probe ok                  waits for the "Configuration" dialog, prints
//                                 its client and window sizes, clicks OK
//   win_probe dpi                 prints the system's DPI
//   win_probe preview PROGRAM     runs PROGRAM /p into a black window of its
//                                 own at (100, 100), 152 x 112, and keeps it on
//                                 screen for 3 s after PROGRAM ends
//   win_probe sound WAVE          makes the saver's sound players and music on
//                                 a hidden window; prints what worked
//
// Sizes are in physical pixels: the probe is DPI aware, as the programs are.
// Exit code 0 when the step did what it should, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/DirectSoundOutput.h"
#include "platform/win32/MciMusic.h"

namespace {

HWND WaitForWindow(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindWindowW(cls, title);
    if (w != nullptr && IsWindowVisible(w)) return w;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(50);
  }
}

int SendKey() {
  HWND saver = WaitForWindow(L"LumevraSaverWindow", nullptr, 15000);
  if (saver == nullptr) {
    std::puts("no saver window");
    return 1;
  }
  RECT r{};
  GetWindowRect(saver, &r);
  std::printf("saver window %ld,%ld %ldx%ld; virtual screen %d,%d %dx%d\n", r.left, r.top, r.right - r.left,
              r.bottom - r.top, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
              GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
  // A key press as the window receives it from the keyboard.
  PostMessageW(saver, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostMessageW(saver, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
  std::puts("key sent");
  return 0;
}

int ClickOk() {
  HWND dialog = WaitForWindow(nullptr, L"Configuration", 15000);
  if (dialog == nullptr) {
    std::puts("no dialog");
    return 1;
  }
  HWND ok = FindWindowExW(dialog, nullptr, L"Button", L"OK");
  if (ok == nullptr) {
    std::puts("no OK button");
    return 1;
  }
  RECT client{};
  GetClientRect(dialog, &client);
  RECT outer{};
  GetWindowRect(dialog, &outer);
  std::printf("dialog client %ldx%ld; window %ldx%ld at %ld,%ld\n", client.right - client.left,
              client.bottom - client.top, outer.right - outer.left, outer.bottom - outer.top, outer.left, outer.top);
  Sleep(500);  // let the dialog settle and its timer run
  SendMessageW(ok, BM_CLICK, 0, 0);
  std::puts("OK clicked");
  return 0;
}

// Runs `command` and pumps this thread's messages until it ends.
DWORD RunAndPump(std::wstring command, DWORD timeoutMs) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1000;
  const DWORD start = GetTickCount();
  DWORD exitCode = 1001;
  for (;;) {
    const DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) {
      GetExitCodeProcess(pi.hProcess, &exitCode);
      break;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (GetTickCount() - start > timeoutMs) {
      TerminateProcess(pi.hProcess, 1002);
      break;
    }
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return exitCode;
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  // No painting of its own: what the preview drew stays.
  if (m == WM_PAINT) {
    ValidateRect(w, nullptr);
    return 0;
  }
  if (m == WM_ERASEBKGND) return 1;
  return DefWindowProcW(w, m, wp, lp);
}

int Preview(const wchar_t* program) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"WinProbePreview";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Preview probe", WS_POPUP | WS_VISIBLE, 100, 100, 152, 112,
                                nullptr, nullptr, wc.hInstance, nullptr);
  if (window == nullptr) return 1;
  HDC dc = GetDC(window);
  RECT all{0, 0, 152, 112};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  GdiFlush();
  const std::wstring command = L"\"" + std::wstring(program) + L"\" /p " +
                               std::to_wstring(reinterpret_cast<uintptr_t>(window));
  const DWORD code = RunAndPump(command, 30000);
  ReleaseDC(window, dc);
  // The picture is another process's drawing: this one cannot read it
  // back everywhere, so the caller looks at the screen while it stays.
  std::printf("preview exit %lu; window at 100,100 size 152x112\n", code);
  std::fflush(stdout);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 3000) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
  DestroyWindow(window);
  return code == 0 ? 0 : 1;
}

struct WaveFile {
  std::vector<uint8_t> format;
  std::vector<uint8_t> data;
};

bool ReadWave(const wchar_t* file, WaveFile& wave) {
  FILE* f = _wfopen(file, L"rb");
  if (f == nullptr) return false;
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return false;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    uint32_t size;
    std::memcpy(&size, &bytes[at + 4], 4);
    if (size > bytes.size() - at - 8) break;
    if (std::memcmp(&bytes[at], "fmt ", 4) == 0) wave.format.assign(&bytes[at + 8], &bytes[at + 8] + size);
    if (std::memcmp(&bytes[at], "data", 4) == 0) wave.data.assign(&bytes[at + 8], &bytes[at + 8] + size);
    at += 8 + size + (size & 1);
  }
  return !wave.format.empty() && !wave.data.empty();
}

int Sound(const wchar_t* file) {
  WaveFile wave;
  if (!ReadWave(file, wave)) {
    std::puts("cannot read the wave");
    return 1;
  }
  HWND window = CreateWindowExW(0, L"STATIC", L"sound probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  const auto handle = reinterpret_cast<intptr_t>(window);
  lumevra::DirectSoundOutput sound([handle] { return handle; });
  int players = 0, loaded = 0;
  std::vector<std::unique_ptr<lumevra::SoundPlayer>> made;
  for (int i = 0; i < 8; ++i) {
    auto player = sound.CreatePlayer();
    if (!player) continue;
    ++players;
    if (player->Load(wave.format, wave.data.data(), wave.data.size())) {
      ++loaded;
      player->SetVolume(-800);
      player->Play(i == 0);
    }
    made.push_back(std::move(player));
  }
  Sleep(200);
  for (auto& p : made) p->Stop();
  made.clear();
  // The fallback call must never fail loudly, device or not.
  sound.PlaySimple(file, 0x0001 | 0x0002);
  sound.PlaySimple({}, 0);

  lumevra::MciMusic music([handle] { return handle; });
  const bool opened = music.Open(file);
  music.SetVolume(500);
  const bool played = opened && music.Play([] {});
  Sleep(300);
  const uint32_t position = music.Position();
  const uint32_t length = music.Length();
  music.Close();
  DestroyWindow(window);
  std::printf("directsound players %d loaded %d; mci open %d play %d position %u length %u\n", players, loaded,
              opened ? 1 : 0, played ? 1 : 0, position, length);
  const bool all = players == 8 && loaded == 8 && opened && played && length > 0;
  std::puts(all ? "sound: all" : players == 0 ? "sound: none" : "sound: partial");
  return 0;
}

}  // namespace

// Per-monitor aware where the system offers it, else system aware.
void BecomeDpiAware() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  auto setContext = user32 != nullptr ? reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
                                            GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                                      : nullptr;
  if (setContext != nullptr && setContext(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)))) return;
  SetProcessDPIAware();
}

int PrintDpi() {
  HDC screen = GetDC(nullptr);
  std::printf("system dpi %d\n", GetDeviceCaps(screen, LOGPIXELSX));
  ReleaseDC(nullptr, screen);
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  BecomeDpiAware();
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"dpi") return PrintDpi();
  if (command == L"key") return SendKey();
  if (command == L"ok") return ClickOk();
  if (command == L"preview" && argc > 2) return Preview(argv[2]);
  if (command == L"sound" && argc > 2) return Sound(argv[2]);
  std::puts("usage: win_probe key | ok | dpi | preview PROGRAM | sound WAVE");
  return 2;
}
