#include "base/AnsiText.h"

#include <atomic>

namespace lumevra {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the page equals Latin-1.
constexpr char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

class Cp1252 final : public AnsiCodec {
public:
  std::u16string Decode(std::string_view ansi) const override {
    std::u16string out;
    out.reserve(ansi.size());
    for (char ch : ansi) {
      auto b = static_cast<unsigned char>(ch);
      out += (b >= 0x80 && b < 0xA0) ? kHigh1252[b - 0x80] : static_cast<char16_t>(b);
    }
    return out;
  }
  std::string Encode(std::u16string_view text) const override {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      // A surrogate pair is one character: one '?'.
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
          text[i + 1] <= 0xDFFF)
        ++i;
      if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out += static_cast<char>(c);
        continue;
      }
      char mapped = '?';
      for (int i = 0; i < 32; ++i)
        if (kHigh1252[i] == c) mapped = static_cast<char>(0x80 + i);
      out += mapped;
    }
    return out;
  }
};

const Cp1252 g_cp1252;
std::atomic<const AnsiCodec*> g_codec{&g_cp1252};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

const AnsiCodec& Windows1252() { return g_cp1252; }
const AnsiCodec& CurrentAnsiCodec() { return *g_codec.load(std::memory_order_acquire); }
void SetAnsiCodec(const AnsiCodec* codec) {
  g_codec.store(codec ? codec : &g_cp1252, std::memory_order_release);
}

std::u16string AnsiToUtf16(std::string_view ansi) { return CurrentAnsiCodec().Decode(ansi); }
std::string AnsiToUtf8(std::string_view ansi) { return Utf16ToUtf8(AnsiToUtf16(ansi)); }
std::string Utf16ToAnsi(std::u16string_view text) { return CurrentAnsiCodec().Encode(text); }
std::string Utf8ToAnsi(std::string_view utf8) { return Utf16ToAnsi(Utf8ToUtf16(utf8)); }

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  size_t i = 0;
  while (i < s.size()) {
    auto b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    char32_t cp = 0xFFFD;
    if (len == 1) {
      cp = b;
    } else if (len > 1 && i + len <= s.size()) {
      cp = b & (0x7F >> len);
      bool ok = true;
      for (int k = 1; k < len; ++k) {
        auto c = static_cast<unsigned char>(s[i + k]);
        ok = ok && (c & 0xC0) == 0x80;
        cp = (cp << 6) | (c & 0x3F);
      }
      static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
      if (!ok || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = 0xFFFD;
        len = 1;
      }
    } else {
      len = 1;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::filesystem::path AnsiToPath(std::string_view ansi) {
  return std::filesystem::path(AnsiToUtf16(ansi));
}

std::string PathToAnsi(const std::filesystem::path& path) { return Utf16ToAnsi(path.u16string()); }

}  // namespace lumevra
