// Conversions between the core's UTF-8 / UTF-16 strings and the wide strings
// of the Windows API (wchar_t is 16 bits there), and the system ANSI code
// page as the core's 8-bit codec.
#pragma once

#include <string>
#include <string_view>

#include "base/AnsiText.h"

namespace lumevra {

std::wstring ToWide(std::u16string_view text);
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// The system ANSI code page (CP_ACP) through MultiByteToWideChar and back;
// characters it cannot hold become '?'.
class Win32AnsiCodec final : public AnsiCodec {
public:
  std::u16string Decode(std::string_view ansi) const override;
  std::string Encode(std::u16string_view text) const override;
};

// Installs a Win32AnsiCodec for the whole process (idempotent).
void InstallWindowsAnsiCodec();

}  // namespace lumevra
