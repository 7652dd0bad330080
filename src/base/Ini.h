// In-memory INI text: the settings file, the package header, object keys and
// build info all go through this one implementation.
//
// - section and key names match case-insensitively (ASCII);
// - a key read gives the first line of it in its section; a repeated
//   "[Section]" header continues the section it repeats;
// - integers are decimal or "0x" hexadecimal, optionally signed; a missing or
//   malformed value gives the caller's default;
// - booleans are integers: written 1 / 0, any non-zero value reads true;
// - the text keeps every line it was given (comments, blank lines, stray
//   text, line ends), so a save changes only what was written: users edit
//   these files by hand;
// - text is 8-bit bytes, kept as they are (no code page conversion).
//
// Where writes go:
// - an existing key: only the value on the line readers take changes; the
//   key's spelling and the blanks around it stay;
// - a new key: on a new line right after the section's last key line, or
//   after its first header while it has none (so before any blank lines and
//   comments that end the section);
// - a new section: at the end of the text, after a blank line when the text
//   does not already end with one, and followed by a blank line;
// - new lines take the line end of the text's first line (CR LF when it has
//   none); a last line without a line end gets one when a line follows it.
// An Ini built only by writes therefore reads "[A]\r\nk=v\r\n\r\n[B]\r\n...".
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumevra {

class Ini {
public:
  Ini() = default;
  explicit Ini(std::string_view text) { SetText(text); }

  // Replaces the contents with the text. Lines other than "[section]" and
  // "key=value" (comments starting with ';', blank lines, stray text) and
  // entries before the first section header are kept but not read.
  void SetText(std::string_view text);
  // The text as it would be saved: the text given, byte for byte, with the
  // writes since then applied.
  std::string GetText() const;

  // Reads a file; a file that cannot be opened leaves the contents empty and
  // returns false.
  bool LoadFromFile(const std::filesystem::path& file);
  // Replaces the file with the whole text so that a failure cannot lose the
  // old file (see ReplaceFileContents); throws std::runtime_error when the
  // file cannot be written completely.
  void SaveToFile(const std::filesystem::path& file) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> SectionNames() const;
  // Keys of a section in file order (first spelling of each).
  std::vector<std::string> SectionKeys(std::string_view section) const;
  // The section alone as INI text ("[name]" and one "key=value" line per
  // key, as readers see them); empty when there is no such section.
  std::string SectionText(std::string_view section) const;

  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def = {}) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // Removes every line of the key in the section (repeats included).
  void DeleteKey(std::string_view section, std::string_view key);
  // Removes each of the section's headers with the lines up to the next
  // header, except the comment lines right above that next header: they
  // describe the section below them.
  void EraseSection(std::string_view section);
  // Empty, as if built from nothing.
  void Clear();

private:
  static constexpr uint32_t kNone = UINT32_MAX;

  enum class LineKind : uint8_t { Other, Header, Entry, Removed };
  enum class LineEnd : uint8_t { None, Lf, CrLf, Cr };
  // The lines live in one vector linked in text order, so that an insert or
  // removal touches no other line, and every reference is an index (an Ini
  // copies as a plain value).
  struct Line {
    std::string text;   // without its line end
    LineEnd end = LineEnd::None;
    LineKind kind = LineKind::Other;
    uint32_t section = kNone;  // Header and Entry lines
    uint32_t key = kNone;      // Entry lines: index into the section's keys
    uint32_t prev = kNone;
    uint32_t next = kNone;
  };
  struct Key {
    std::string name;              // first spelling
    std::string value;             // what readers get
    std::vector<uint32_t> lines;   // every line of the key; readers take the first
    bool removed = false;
  };
  struct Section {
    std::string name;                                  // first spelling
    std::vector<uint32_t> headers;                     // in text order
    std::vector<Key> keys;                             // in order of first line
    std::unordered_map<std::string, uint32_t> index;   // lower-cased name -> keys
    uint32_t insertAfter = kNone;                      // where the next new key goes
    bool removed = false;
  };

  const Section* FindSection(std::string_view name) const;
  uint32_t SectionIndex(std::string_view name) const;
  uint32_t AddSection(std::string_view name, uint32_t header);
  void AddKeyLine(uint32_t section, std::string_view key, std::string_view value, uint32_t line);
  uint32_t InsertLine(uint32_t after, std::string text);
  void RemoveLine(uint32_t line);

  std::vector<Line> lines_;
  uint32_t first_ = kNone;
  uint32_t last_ = kNone;
  LineEnd lineEnd_ = LineEnd::CrLf;  // the text's own, for new lines
  std::vector<Section> sections_;
  std::unordered_map<std::string, uint32_t> sectionIndex_;  // lower-cased name -> sections_
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
