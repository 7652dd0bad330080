#include "platform/win32/Win32System.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "base/FileAccess.h"
#include "package/PackageExtractor.h"
#include "platform/win32/WinText.h"

namespace lumevra {

namespace {

std::filesystem::path ModuleFile() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::filesystem::path(buffer.substr(0, n));
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(argv[i]));
  LocalFree(argv);
  return args;
}

class SemaphoreGuard final : public InstanceGuard {
public:
  SemaphoreGuard(HANDLE handle, bool existed) : handle_(handle), existed_(existed) {}
  ~SemaphoreGuard() override { CloseHandle(handle_); }
  bool AlreadyExists() const override { return existed_; }

private:
  HANDLE handle_;
  bool existed_;
};

// PwdChangePasswordA(regkey, hwnd, reserved, reserved).
using PwdChangePasswordA = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);

class MprPasswordChanger final : public PasswordChanger {
public:
  MprPasswordChanger(HMODULE library, PwdChangePasswordA entry) : library_(library), entry_(entry) {}
  ~MprPasswordChanger() override { FreeLibrary(library_); }
  void ChangePassword(intptr_t ownerWindow) override {
    entry_("SCRSAVE", reinterpret_cast<HWND>(ownerWindow), 0, nullptr);
  }

private:
  HMODULE library_;
  PwdChangePasswordA entry_;
};

}  // namespace

std::wstring SystemFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::wstring folder(buffer, n);
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

Win32System::Win32System() : programFile_(ModuleFile()), arguments_(CommandLineArguments()) {}

std::filesystem::path Win32System::TempFolder() const {
  wchar_t buffer[MAX_PATH + 2] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH + 1) return std::filesystem::temp_directory_path();
  return std::filesystem::path(std::wstring(buffer, n));
}

namespace {
// Set once at start-up, before any window exists.
std::wstring g_applicationTitle;
}  // namespace

std::wstring ApplicationTitle() { return g_applicationTitle; }

void Win32System::SetApplicationTitle(const std::string& title) { g_applicationTitle = Utf8ToWide(title); }

std::filesystem::path Win32System::CreateExtractionFolder() {
  // The single-instance guard keeps a second run out, so whatever stands in
  // the folder was left by an earlier run that ended without cleaning up.
  // (Without a guard, which the start-up allows when the system gives none,
  // a second run would empty the first one's folder.)
  return CreateFreshFolder(TempFolder() / programFile_.filename());
}

std::filesystem::path Win32System::UserSettingsFolder() const {
  wchar_t buffer[MAX_PATH + 1] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer)) || buffer[0] == 0)
    return {};
  return std::filesystem::path(buffer) / L"Lumevra";
}

bool Win32System::CanReplaceFile(const std::filesystem::path& file) const { return lumevra::CanReplaceFile(file); }

std::optional<std::filesystem::path> Win32System::DocumentsFolder() const {
  wchar_t buffer[MAX_PATH + 1] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buffer)) || buffer[0] == 0)
    return std::nullopt;
  std::wstring folder(buffer);
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return std::filesystem::path(folder);
}

std::optional<std::filesystem::path> Win32System::ProgramFilesValue() const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return std::nullopt;
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG result =
      RegQueryValueExW(key, L"ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  std::wstring value(buffer, size / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  if (value.empty()) return std::nullopt;
  if (value.back() != L'\\') value += L'\\';
  return std::filesystem::path(value);
}

std::optional<OsVersionInfo> Win32System::OsVersion() const {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  bool known = false;
  if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    known = rtlGetVersion != nullptr && rtlGetVersion(&info) == 0;
  }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!known) known = GetVersionExW(&info) != 0;
#pragma GCC diagnostic pop
  if (!known) return std::nullopt;
  OsVersionInfo v;
  v.family = info.dwPlatformId == VER_PLATFORM_WIN32_NT        ? uint32_t{OsVersionInfo::WinNT}
             : info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? uint32_t{OsVersionInfo::Win9x}
                                                                : 0;
  v.major = info.dwMajorVersion;
  v.minor = info.dwMinorVersion;
  v.servicePack = WideToUtf8(info.szCSDVersion);
  return v;
}

std::unique_ptr<InstanceGuard> Win32System::CreateInstanceGuard(const std::string& name) {
  HANDLE handle = CreateSemaphoreW(nullptr, 0, 1, Utf8ToWide(name).c_str());
  if (handle == nullptr) return nullptr;
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;  // 183
  return std::make_unique<SemaphoreGuard>(handle, existed);
}

std::unique_ptr<PasswordChanger> Win32System::LoadPasswordChanger() {
  const std::wstring folder = SystemFolder();
  HMODULE library = LoadLibraryW((folder + L"MPR.DLL").c_str());
  if (library == nullptr) return nullptr;
  auto entry =
      reinterpret_cast<PwdChangePasswordA>(reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
  if (entry == nullptr) {
    FreeLibrary(library);
    return nullptr;
  }
  return std::make_unique<MprPasswordChanger>(library, entry);
}

}  // namespace lumevra
