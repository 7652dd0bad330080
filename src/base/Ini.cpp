#include "base/Ini.h"

#include "base/FileReplace.h"

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

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool IsCommentLine(std::string_view line) {
  line = Trim(line);
  return !line.empty() && line.front() == ';';
}

// Where a key's value sits on its line: after the '=' and the blanks that
// follow it, up to the blanks that end the line.
std::pair<size_t, size_t> ValueSpan(std::string_view line) {
  size_t begin = line.find('=') + 1;
  while (begin < line.size() && IsBlank(line[begin])) ++begin;
  size_t end = line.size();
  while (end > begin && IsBlank(line[end - 1])) --end;
  return {begin, end};
}

}  // namespace

void Ini::Clear() {
  lines_.clear();
  first_ = last_ = kNone;
  lineEnd_ = LineEnd::CrLf;
  sections_.clear();
  sectionIndex_.clear();
}

void Ini::SetText(std::string_view text) {
  Clear();
  bool endSeen = false;
  uint32_t current = kNone;
  size_t pos = 0;
  while (pos < text.size()) {
    // CR LF, LF and a lone CR each end a line, as they always have here.
    size_t stop = text.find_first_of("\r\n", pos);
    LineEnd end = LineEnd::None;
    size_t next = text.size();
    if (stop == std::string_view::npos) {
      stop = text.size();
    } else if (text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n') {
      end = LineEnd::CrLf;
      next = stop + 2;
    } else {
      end = text[stop] == '\n' ? LineEnd::Lf : LineEnd::Cr;
      next = stop + 1;
    }
    if (!endSeen && end != LineEnd::None) {
      lineEnd_ = end;
      endSeen = true;
    }
    const uint32_t index = InsertLine(last_, std::string(text.substr(pos, stop - pos)));
    lines_[index].end = end;
    pos = next;

    const std::string_view line = Trim(lines_[index].text);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      const std::string_view name = Trim(line.substr(1, close - 1));
      current = SectionIndex(name);
      if (current == kNone) {
        current = AddSection(name, index);
      } else {
        sections_[current].headers.push_back(index);
      }
      lines_[index].kind = LineKind::Header;
      lines_[index].section = current;
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || current == kNone) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    if (key.empty()) continue;
    AddKeyLine(current, key, Trim(line.substr(eq + 1)), index);
  }
}

std::string Ini::GetText() const {
  static constexpr std::string_view kEnds[] = {"", "\n", "\r\n", "\r"};
  std::string out;
  for (uint32_t i = first_; i != kNone; i = lines_[i].next) {
    out += lines_[i].text;
    out += kEnds[static_cast<size_t>(lines_[i].end)];
  }
  return out;
}

bool Ini::LoadFromFile(const std::filesystem::path& file) {
  Clear();
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  // An empty file sets failbit on the copy; only a broken read is an error.
  if (in.bad()) return false;
  SetText(buffer.str());
  return true;
}

void Ini::SaveToFile(const std::filesystem::path& file) const { ReplaceFileContents(file, GetText()); }

uint32_t Ini::SectionIndex(std::string_view name) const {
  const auto it = sectionIndex_.find(Lower(name));
  return it == sectionIndex_.end() ? kNone : it->second;
}

const Ini::Section* Ini::FindSection(std::string_view name) const {
  const uint32_t index = SectionIndex(name);
  return index == kNone ? nullptr : &sections_[index];
}

uint32_t Ini::AddSection(std::string_view name, uint32_t header) {
  const auto index = static_cast<uint32_t>(sections_.size());
  Section& s = sections_.emplace_back();
  s.name = name;
  s.headers.push_back(header);
  s.insertAfter = header;
  sectionIndex_[Lower(name)] = index;
  return index;
}

void Ini::AddKeyLine(uint32_t section, std::string_view key, std::string_view value, uint32_t line) {
  Section& s = sections_[section];
  // The first line of a key gives its value, as every reader of these files
  // expects; a repeat is only kept as text.
  const auto [it, added] = s.index.try_emplace(Lower(key), static_cast<uint32_t>(s.keys.size()));
  if (added) s.keys.push_back(Key{std::string(key), std::string(value), {}, false});
  s.keys[it->second].lines.push_back(line);
  lines_[line].kind = LineKind::Entry;
  lines_[line].section = section;
  lines_[line].key = it->second;
  s.insertAfter = line;
}

uint32_t Ini::InsertLine(uint32_t after, std::string text) {
  const auto index = static_cast<uint32_t>(lines_.size());
  Line& line = lines_.emplace_back();
  line.text = std::move(text);
  line.end = lineEnd_;
  line.prev = after;
  if (after == kNone) {
    line.next = first_;
    first_ = index;
  } else {
    // A last line without a line end would run into the new one.
    if (lines_[after].end == LineEnd::None) lines_[after].end = lineEnd_;
    line.next = lines_[after].next;
    lines_[after].next = index;
  }
  if (line.next == kNone) {
    last_ = index;
  } else {
    lines_[line.next].prev = index;
  }
  return index;
}

void Ini::RemoveLine(uint32_t index) {
  Line& line = lines_[index];
  (line.prev == kNone ? first_ : lines_[line.prev].next) = line.next;
  (line.next == kNone ? last_ : lines_[line.next].prev) = line.prev;
  // The slot stays (other lines refer to theirs by index) but holds nothing.
  line = Line{};
  line.kind = LineKind::Removed;
}

bool Ini::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool Ini::ValueExists(std::string_view section, std::string_view key) const {
  return Find(section, key).has_value();
}

std::vector<std::string> Ini::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& s : sections_)
    if (!s.removed) names.push_back(s.name);
  return names;
}

std::vector<std::string> Ini::SectionKeys(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = FindSection(section))
    for (const Key& k : s->keys)
      if (!k.removed) keys.push_back(k.name);
  return keys;
}

std::string Ini::SectionText(std::string_view section) const {
  std::string text;
  const Section* s = FindSection(section);
  if (s == nullptr) return text;
  text += "[" + s->name + "]\r\n";
  for (const Key& k : s->keys)
    if (!k.removed) text += k.name + "=" + k.value + "\r\n";
  return text;
}

std::optional<std::string> Ini::Find(std::string_view section, std::string_view key) const {
  if (const Section* s = FindSection(section)) {
    const auto it = s->index.find(Lower(key));
    if (it != s->index.end()) return s->keys[it->second].value;
  }
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

  uint32_t s = SectionIndex(section);
  if (s == kNone) {
    // Sections built here are kept apart by a blank line, as they always were.
    if (last_ != kNone && !Trim(lines_[last_].text).empty()) InsertLine(last_, std::string());
    const uint32_t header = InsertLine(last_, "[" + std::string(section) + "]");
    InsertLine(header, std::string());
    s = AddSection(section, header);
    lines_[header].kind = LineKind::Header;
    lines_[header].section = s;
  }

  Section& sec = sections_[s];
  const auto it = sec.index.find(Lower(key));
  if (it != sec.index.end()) {
    Key& k = sec.keys[it->second];
    std::string& line = lines_[k.lines.front()].text;
    const auto [begin, end] = ValueSpan(line);
    line.replace(begin, end - begin, clean);
    k.value = std::move(clean);
    return;
  }
  const uint32_t line = InsertLine(sec.insertAfter, std::string(key) + "=" + clean);
  AddKeyLine(s, key, clean, line);
}

void Ini::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void Ini::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void Ini::DeleteKey(std::string_view section, std::string_view key) {
  const uint32_t s = SectionIndex(section);
  if (s == kNone) return;
  Section& sec = sections_[s];
  const auto it = sec.index.find(Lower(key));
  if (it == sec.index.end()) return;
  const uint32_t k = it->second;
  // New keys went after the line going away: they now go after the last
  // line still standing (a key line of another key, or the first header).
  while (lines_[sec.insertAfter].kind == LineKind::Entry && lines_[sec.insertAfter].section == s &&
         lines_[sec.insertAfter].key == k) {
    uint32_t before = lines_[sec.insertAfter].prev;
    while (before != sec.headers.front() &&
           !(lines_[before].kind == LineKind::Entry && lines_[before].section == s))
      before = lines_[before].prev;
    sec.insertAfter = before;
  }
  for (uint32_t line : sec.keys[k].lines) RemoveLine(line);
  sec.keys[k] = Key{};
  sec.keys[k].removed = true;
  sec.index.erase(it);
}

void Ini::EraseSection(std::string_view section) {
  const uint32_t s = SectionIndex(section);
  if (s == kNone) return;
  std::vector<uint32_t> doomed;
  for (uint32_t header : sections_[s].headers) {
    const size_t blockStart = doomed.size();
    uint32_t i = header;
    do {
      doomed.push_back(i);
      i = lines_[i].next;
    } while (i != kNone && lines_[i].kind != LineKind::Header);
    // Comments right above the next section's header belong to that section.
    if (i == kNone || lines_[i].section == s) continue;
    while (doomed.size() > blockStart + 1 && IsCommentLine(lines_[doomed.back()].text)) doomed.pop_back();
  }
  for (uint32_t line : doomed) RemoveLine(line);
  sectionIndex_.erase(Lower(sections_[s].name));
  sections_[s] = Section{};
  sections_[s].removed = true;
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
