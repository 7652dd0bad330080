#include "base/Ini.h"

#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace lumevra {
namespace {

TEST(Ini, ReadsSectionsAndKeysCaseInsensitively) {
  const Ini ini(
      "orphan=dropped\n"
      "; a comment\r\n"
      "[Header]\r\n"
      "  ResCount = 3 \r\n"
      "Res0=KAHeader.dat\r\n"
      "res0=second spelling loses\r\n"
      "Title=a=b\r\n"
      "garbage line\r\n"
      "[Other]\n"
      "Key=v\n");
  EXPECT_TRUE(ini.SectionExists("HEADER"));
  EXPECT_EQ(ini.ReadInteger("header", "RESCOUNT", 0), 3);
  EXPECT_EQ(ini.ReadString("Header", "Res0"), "KAHeader.dat");
  EXPECT_EQ(ini.ReadString("Header", "Title"), "a=b");
  EXPECT_EQ(ini.ReadString("Header", "orphan", "def"), "def");
  EXPECT_EQ(ini.ReadString("Other", "key"), "v");
  EXPECT_EQ(ini.SectionKeys("Header"), (std::vector<std::string>{"ResCount", "Res0", "Title"}));
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Header", "Other"}));
}

TEST(Ini, IntegersAndBooleansFallBackToTheDefault) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;
  };
  const Case cases[] = {
      {"0", 0},           {"42", 42},
      {" -7 ", -7},       {"+5", 5},
      {"0x1F", 31},       {"0XfF", 255},
      {"0xFFFFFFFF", -1}, {"-0x10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"0x100000000", std::nullopt},
      {"", std::nullopt},  {"-", std::nullopt},
      {"12abc", std::nullopt}, {"1 2", std::nullopt},
      {"0x", std::nullopt}, {"$10", std::nullopt},
      {"1.5", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseInteger(c.text), c.value) << "text: '" << c.text << "'";
    Ini ini;
    ini.WriteString("S", "K", c.text);
    EXPECT_EQ(ini.ReadInteger("S", "K", -99), c.value.value_or(-99)) << c.text;
  }
  Ini ini("[S]\nOn=1\nOff=0\nOther=7\nBad=yes\n");
  EXPECT_TRUE(ini.ReadBool("S", "On", false));
  EXPECT_FALSE(ini.ReadBool("S", "Off", true));
  EXPECT_TRUE(ini.ReadBool("S", "Other", false));
  EXPECT_TRUE(ini.ReadBool("S", "Bad", true));
  EXPECT_FALSE(ini.ReadBool("S", "Bad", false));
  EXPECT_TRUE(ini.ReadBool("S", "Missing", true));
}

TEST(Ini, WritesKeepOrderAndRoundTrip) {
  Ini ini("[Config]\nSpeed=50\nSound=0\n");
  ini.WriteInteger("config", "SOUND", 1);  // existing key keeps its place and spelling
  ini.WriteBool("Config", "Music", true);
  ini.WriteString("New", "Text", "two\r\nlines");
  EXPECT_EQ(ini.GetText(),
            "[Config]\r\nSpeed=50\r\nSound=1\r\nMusic=1\r\n\r\n[New]\r\nText=two  lines\r\n\r\n");
  EXPECT_EQ(Ini(ini.GetText()).GetText(), ini.GetText());

  ini.DeleteKey("Config", "speed");
  ini.EraseSection("NEW");
  EXPECT_EQ(ini.GetText(), "[Config]\r\nSound=1\r\nMusic=1\r\n\r\n");
}

TEST(Ini, KeepsEightBitBytes) {
  Ini ini;
  ini.WriteString("S", "Title", "Caf\xE9 \x80");
  EXPECT_EQ(Ini(ini.GetText()).ReadString("S", "Title"), "Caf\xE9 \x80");
}

TEST(Ini, FilesLoadAndSaveAndReportFailure) {
  test::TempFolder dir;
  Ini ini;
  ini.WriteInteger("Config", "Speed", 75);
  ini.SaveToFile(dir / "a.ini");
  Ini back;
  ASSERT_TRUE(back.LoadFromFile(dir / "a.ini"));
  EXPECT_EQ(back.ReadInteger("Config", "Speed", 0), 75);

  EXPECT_FALSE(back.LoadFromFile(dir / "missing.ini"));
  EXPECT_FALSE(back.SectionExists("Config"));
  EXPECT_THROW(ini.SaveToFile(dir / "no-such-folder" / "a.ini"), std::runtime_error);
}

TEST(CommaText, SplitsQuotedAndPlainItems) {
  struct Case {
    const char* text;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"", {}},
      {"a,b,c", {"a", "b", "c"}},
      {"a b", {"a", "b"}},
      {"  a ,  b  ", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {",a", {"", "a"}},
      {"\"C:\\Program Files\\x.exe\",1", {"C:\\Program Files\\x.exe", "1"}},
      {"\"say \"\"hi\"\", ok\"", {"say \"hi\", ok"}},
      {"\"\",x", {"", "x"}},
      {"\"unterminated, still", {"unterminated, still"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommaText(c.text), c.items) << c.text;
}

TEST(CommaText, JoinRoundTrips) {
  const std::vector<std::string> items = {"plain", "", "with space", "a,b", "q\"uote", "C:\\x.scr"};
  EXPECT_EQ(JoinCommaText(items), "plain,\"\",\"with space\",\"a,b\",\"q\"\"uote\",C:\\x.scr");
  EXPECT_EQ(SplitCommaText(JoinCommaText(items)), items);
}

}  // namespace
}  // namespace lumevra
