#include "base/AnsiText.h"

#include <gtest/gtest.h>

namespace lumevra {
namespace {

TEST(AnsiText, DecodesWindows1252) {
  EXPECT_EQ(AnsiToUtf8("Caf\xE9"), "Caf\xC3\xA9");
  EXPECT_EQ(AnsiToUtf16("\x80\x9F\x81"), std::u16string(u"\u20AC\u0178\u0081"));
  EXPECT_EQ(AnsiToUtf8("\x93quoted\x94"), "\xE2\x80\x9Cquoted\xE2\x80\x9D");
}

TEST(AnsiText, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(all)), all);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(PathToAnsi(AnsiToPath("sound0.wav")), "sound0.wav");
}

TEST(AnsiText, UnmappableAndMalformedText) {
  EXPECT_EQ(Utf8ToAnsi("\xE6\x97\xA5 \xF0\x9F\x98\x80"), "? ?");  // CJK and an emoji
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b\xC3"), std::u16string(u"a\uFFFDb\uFFFD"));
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), std::u16string(u"\uFFFD\uFFFD"));  // overlong '/'
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
}

TEST(AnsiText, InstalledCodecIsUsed) {
  struct Upper final : AnsiCodec {
    std::u16string Decode(std::string_view a) const override { return std::u16string(a.size(), u'X'); }
    std::string Encode(std::u16string_view t) const override { return std::string(t.size(), 'y'); }
  } upper;
  SetAnsiCodec(&upper);
  EXPECT_EQ(AnsiToUtf8("ab"), "XX");
  EXPECT_EQ(Utf8ToAnsi("abc"), "yyy");
  SetAnsiCodec(nullptr);
  EXPECT_EQ(AnsiToUtf8("ab"), "ab");
}

}  // namespace
}  // namespace lumevra
