// In-memory INI text: the settings file, the package header, object keys and
// build info all go through this one implementation.
//
// - section and key names match case-insensitively (ASCII);
// - integers are decimal or "0x" hexadecimal, optionally signed; a missing or
//   malformed value gives the caller's default;
// - booleans are integers: written 1 / 0, any non-zero value reads true;
// - writes keep the order of keys and sections; a new key goes to the end of
//   its section, a new section to the end of the text;
// - text is 8-bit bytes, kept as they are (no code page conversion).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumevra {

class Ini {
public:
  Ini() = default;
  explicit Ini(std::string_view text) { SetText(text); }

  // Replaces the contents with the parsed text. Lines other than "[section]"
  // and "key=value" (comments starting with ';', blank lines, stray text) are
  // ignored; entries before the first section header are dropped.
  void SetText(std::string_view text);
  // The text as it would be saved, with CR LF line ends.
  std::string GetText() const;

  // Reads a file; a file that cannot be opened leaves the contents empty and
  // returns false.
  bool LoadFromFile(const std::filesystem::path& file);
  // Writes the whole text; throws std::runtime_error when the file cannot be
  // written completely.
  void SaveToFile(const std::filesystem::path& file) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> SectionNames() const;
  // Keys of a section in file order (first spelling of each).
  std::vector<std::string> SectionKeys(std::string_view section) const;

  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def = {}) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  void DeleteKey(std::string_view section, std::string_view key);
  void EraseSection(std::string_view section);
  void Clear() { sections_.clear(); }

private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);

  std::vector<Section> sections_;
};

// Parses an integer the way every INI reader here does: optional surrounding
// blanks, optional sign, then decimal digits or "0x" and up to eight hex
// digits (taken as a 32-bit pattern, so 0xFFFFFFFF is -1). Anything else,
// or a decimal value outside 32 bits, gives nullopt.
std::optional<int32_t> ParseInteger(std::string_view text);

// ASCII case-insensitive equality.
bool SameText(std::string_view a, std::string_view b);

// Splits comma text: items are separated by a comma or by blanks; a quoted
// item ("...") may hold commas and blanks, with "" standing for one quote; an
// empty item between two commas (or after a final comma) is an empty string.
std::vector<std::string> SplitCommaText(std::string_view text);
// The inverse: items joined by commas, quoted where they hold a blank, a
// comma or a quote, or are empty.
std::string JoinCommaText(const std::vector<std::string>& items);

}  // namespace lumevra
