// 8-bit text of project and package files. It is stored as bytes and decoded
// only for display or for use as a file name: with the system ANSI code page
// on Windows (the backend installs it) and as Windows-1252 everywhere else.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lumevra {

// A code page between 8-bit text and UTF-16.
class AnsiCodec {
public:
  virtual ~AnsiCodec() = default;
  virtual std::u16string Decode(std::string_view ansi) const = 0;
  // Characters the code page cannot hold become '?'.
  virtual std::string Encode(std::u16string_view text) const = 0;
};

// Windows-1252; the five unassigned bytes map to the C1 controls of the same value.
const AnsiCodec& Windows1252();

// The codec in force; Windows-1252 until a backend installs another.
const AnsiCodec& CurrentAnsiCodec();
// nullptr restores Windows-1252. The codec must live until replaced.
void SetAnsiCodec(const AnsiCodec* codec);

std::u16string AnsiToUtf16(std::string_view ansi);
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf16ToAnsi(std::u16string_view text);
std::string Utf8ToAnsi(std::string_view utf8);

// UTF-8 <-> UTF-16; malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

// An 8-bit file name as a path, and back.
std::filesystem::path AnsiToPath(std::string_view ansi);
std::string PathToAnsi(const std::filesystem::path& path);

}  // namespace lumevra
