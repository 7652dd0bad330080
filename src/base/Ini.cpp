#include "base/Ini.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lumevra {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::optional<int32_t> ParseInteger(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    if (text.empty() || text.size() > 8) return std::nullopt;
    uint32_t v = 0;
    for (char c : text) {
      int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      v = v * 16 + static_cast<uint32_t>(d);
    }
    if (negative) v = 0u - v;
    return static_cast<int32_t>(v);
  }
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > int64_t{1} << 31) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(v);
}

void Ini::SetText(std::string_view text) {
  sections_.clear();
  Section* current = nullptr;
  while (!text.empty()) {
    size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
      text = {};
    } else {
      text.remove_prefix(end + 1);
    }
    line = Trim(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      std::string_view name = Trim(line.substr(1, close - 1));
      current = FindSection(name);
      if (!current) {
        sections_.push_back(Section{std::string(name), {}});
        current = &sections_.back();
      }
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos || current == nullptr) continue;
    std::string_view key = Trim(line.substr(0, eq));
    if (key.empty()) continue;
    std::string_view value = Trim(line.substr(eq + 1));
    // The first occurrence of a key wins, as every reader of these files expects.
    bool seen = false;
    for (const Entry& e : current->entries) seen = seen || SameText(e.key, key);
    if (!seen) current->entries.push_back(Entry{std::string(key), std::string(value)});
  }
}

std::string Ini::GetText() const {
  std::string out;
  for (const Section& s : sections_) {
    out += '[';
    out += s.name;
    out += "]\r\n";
    for (const Entry& e : s.entries) {
      out += e.key;
      out += '=';
      out += e.value;
      out += "\r\n";
    }
    out += "\r\n";
  }
  return out;
}

bool Ini::LoadFromFile(const std::filesystem::path& file) {
  sections_.clear();
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  SetText(buffer.str());
  return true;
}

void Ini::SaveToFile(const std::filesystem::path& file) const {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  const std::string text = GetText();
  if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (out) out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

const Ini::Section* Ini::FindSection(std::string_view name) const {
  for (const Section& s : sections_)
    if (SameText(s.name, name)) return &s;
  return nullptr;
}

Ini::Section* Ini::FindSection(std::string_view name) {
  for (Section& s : sections_)
    if (SameText(s.name, name)) return &s;
  return nullptr;
}

bool Ini::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool Ini::ValueExists(std::string_view section, std::string_view key) const {
  return Find(section, key).has_value();
}

std::vector<std::string> Ini::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& s : sections_) names.push_back(s.name);
  return names;
}

std::vector<std::string> Ini::SectionKeys(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = FindSection(section))
    for (const Entry& e : s->entries) keys.push_back(e.key);
  return keys;
}

std::optional<std::string> Ini::Find(std::string_view section, std::string_view key) const {
  if (const Section* s = FindSection(section))
    for (const Entry& e : s->entries)
      if (SameText(e.key, key)) return e.value;
  return std::nullopt;
}

std::string Ini::ReadString(std::string_view section, std::string_view key,
                            std::string_view def) const {
  auto v = Find(section, key);
  return v ? *v : std::string(def);
}

int32_t Ini::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  auto v = Find(section, key);
  if (!v) return def;
  return ParseInteger(*v).value_or(def);
}

bool Ini::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void Ini::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  // Line breaks would split the entry into two; they cannot be stored in one value.
  std::string clean(value);
  for (char& c : clean)
    if (c == '\r' || c == '\n') c = ' ';
  Section* s = FindSection(section);
  if (!s) {
    sections_.push_back(Section{std::string(section), {}});
    s = &sections_.back();
  }
  for (Entry& e : s->entries) {
    if (SameText(e.key, key)) {
      e.value = std::move(clean);
      return;
    }
  }
  s->entries.push_back(Entry{std::string(key), std::move(clean)});
}

void Ini::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void Ini::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void Ini::DeleteKey(std::string_view section, std::string_view key) {
  if (Section* s = FindSection(section))
    std::erase_if(s->entries, [&](const Entry& e) { return SameText(e.key, key); });
}

void Ini::EraseSection(std::string_view section) {
  std::erase_if(sections_, [&](const Section& s) { return SameText(s.name, section); });
}

std::vector<std::string> SplitCommaText(std::string_view text) {
  std::vector<std::string> items;
  size_t p = 0;
  const size_t n = text.size();
  auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (p < n && isSpace(text[p])) ++p;
  while (p < n) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < n) {
        if (text[p] == '"') {
          if (p + 1 < n && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      size_t start = p;
      while (p < n && !isSpace(text[p]) && text[p] != ',') ++p;
      item.assign(text.substr(start, p - start));
    }
    items.push_back(std::move(item));
    while (p < n && isSpace(text[p])) ++p;
    if (p < n && text[p] == ',') {
      if (p + 1 == n) items.emplace_back();
      do {
        ++p;
      } while (p < n && isSpace(text[p]));
    }
  }
  return items;
}

std::string JoinCommaText(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += ',';
    const std::string& s = items[i];
    bool quote = s.empty();
    for (char c : s) quote = quote || static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"';
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

}  // namespace lumevra
