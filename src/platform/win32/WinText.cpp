#include "platform/win32/WinText.h"

#include <windows.h>

#include <climits>

namespace lumevra {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the Windows API's wide characters are UTF-16 units");

std::wstring ToWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring Utf8ToWide(std::string_view utf8) { return ToWide(Utf8ToUtf16(utf8)); }

std::string WideToUtf8(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::u16string Win32AnsiCodec::Decode(std::string_view ansi) const {
  if (ansi.empty() || ansi.size() > INT_MAX) return {};
  const int size = static_cast<int>(ansi.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  if (n <= 0) return Windows1252().Decode(ansi);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), n);
  return std::u16string(wide.begin(), wide.end());
}

std::string Win32AnsiCodec::Encode(std::u16string_view text) const {
  if (text.empty() || text.size() > INT_MAX) return {};
  const std::wstring wide = ToWide(text);
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, "?", nullptr);
  if (n <= 0) return Windows1252().Encode(text);
  std::string ansi(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), n, "?", nullptr);
  return ansi;
}

void InstallWindowsAnsiCodec() {
  static const Win32AnsiCodec codec;
  SetAnsiCodec(&codec);
}

}  // namespace lumevra
