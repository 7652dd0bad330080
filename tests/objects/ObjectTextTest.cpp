#include "objects/ObjectText.h"

#include <gtest/gtest.h>

namespace lumevra {
namespace {

TEST(ObjectText, KnownCodes) {
  EXPECT_EQ(EncodeObjectText("abc"), "OM9Z");
  EXPECT_EQ(EncodeObjectText("A"), "GG");
  EXPECT_EQ(DecodeObjectText("OM9Z"), "abc");
  EXPECT_EQ(DecodeObjectText("GG"), "A");
  EXPECT_EQ(EncodeObjectText(""), "");
  EXPECT_EQ(DecodeObjectText(""), "");
  EXPECT_EQ(EncodeObjectText("a").size(), 2u);
  EXPECT_EQ(EncodeObjectText("ab").size(), 3u);
  EXPECT_EQ(EncodeObjectText("abc").size(), 4u);
}

TEST(ObjectText, EveryByteValueRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string code = EncodeObjectText(all);
  EXPECT_EQ(code.size(), (256u * 8 + 5) / 6);
  EXPECT_EQ(code.find_first_not_of(kObjectTextAlphabet), std::string::npos);
  EXPECT_EQ(DecodeObjectText(code), all);
  // Every length, so that each leftover bit count is met.
  for (size_t n = 0; n < 10; ++n) EXPECT_EQ(DecodeObjectText(EncodeObjectText(all.substr(250 - n, n))), all.substr(250 - n, n));
  EXPECT_EQ(DecodeObjectText(EncodeObjectText("line one\r\nline two")), "line one\r\nline two");
}

TEST(ObjectText, ForeignCharactersEndTheText) {
  EXPECT_EQ(DecodeObjectText("OM9Z=="), "abc");       // standard padding
  EXPECT_EQ(DecodeObjectText("OM9Z OM9Z"), "abc");    // a space
  EXPECT_EQ(DecodeObjectText("GG\r\nGG"), "A");       // a line break
  EXPECT_EQ(DecodeObjectText(std::string("GG\0GG", 5)), "A");
  EXPECT_EQ(DecodeObjectText("G"), "");               // fewer than 8 bits
}

}  // namespace
}  // namespace lumevra
