#include "base/Ini.h"

#include <gtest/gtest.h>

#include <functional>

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
  // One section alone, as its readers see it.
  EXPECT_EQ(ini.SectionText("header"), "[Header]\r\nResCount=3\r\nRes0=KAHeader.dat\r\nTitle=a=b\r\n");
  EXPECT_EQ(ini.SectionText("missing"), "");
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

// Tools build package headers and object keys from nothing; those bytes are
// part of the packages and must not change.
TEST(Ini, BuiltFromNothingGivesCrLfSectionsWithABlankLineAfterEach) {
  Ini ini;
  ini.WriteInteger("Config", "Speed", 50);
  ini.WriteInteger("Config", "Sound", 0);
  ini.WriteInteger("config", "SOUND", 1);  // existing key keeps its place and spelling
  ini.WriteBool("Config", "Music", true);
  ini.WriteString("New", "Text", "two\r\nlines");
  EXPECT_EQ(ini.GetText(),
            "[Config]\r\nSpeed=50\r\nSound=1\r\nMusic=1\r\n\r\n[New]\r\nText=two  lines\r\n\r\n");
  EXPECT_EQ(Ini(ini.GetText()).GetText(), ini.GetText());

  ini.DeleteKey("Config", "speed");
  ini.EraseSection("NEW");
  EXPECT_EQ(ini.GetText(), "[Config]\r\nSound=1\r\nMusic=1\r\n\r\n");
  ini.EraseSection("Config");
  EXPECT_EQ(ini.GetText(), "");

  // Clear forgets the line end of a text loaded before, as object keys rely on.
  ini.SetText("[Old]\nx=1\n");
  ini.Clear();
  ini.WriteString("Obj0", "Left", "3");
  ini.WriteString("Obj1", "Left", "4");
  EXPECT_EQ(ini.GetText(), "[Obj0]\r\nLeft=3\r\n\r\n[Obj1]\r\nLeft=4\r\n\r\n");
}

// Every section, key and value as the readers see them.
std::vector<std::string> Readings(const Ini& ini) {
  std::vector<std::string> out;
  for (const std::string& section : ini.SectionNames())
    for (const std::string& key : ini.SectionKeys(section))
      out.push_back(section + "/" + key + "=" + ini.ReadString(section, key));
  return out;
}

TEST(Ini, GivesBackTheTextItWasGivenByteForByte) {
  const char* const texts[] = {
      "",
      "\r\n",
      "[A]\r\nx=1\r\n",
      "[A]\nx=1\n",
      "[A]\rx=1\r",
      "[A]\r\nx=1\ny=2\r\n\r\n[B]\rz=3\n",
      "[A]\nx=1",
      "; written by hand\n\n[A]\n; the speed\nx=1\n\n\n; end\n",
      "orphan=1\nstray text\n[A]\nx=1\n",
      "  [ A ]  \n  x = 1  \n\t; indented\n\t\n",
      "[A]\nx=1\nX=2\n[B]\ny=3\n[a]\nx=4\nz=5\n",
      "[unclosed\n=no key\nno equals\n[]\n",
      "[S]\nTitle=Caf\xE9 \x80\n",
  };
  for (const char* text : texts) {
    const Ini ini(text);
    EXPECT_EQ(ini.GetText(), text);
    const Ini copy = ini;
    EXPECT_EQ(copy.GetText(), text);
  }
  // The kept lines do not change what is read.
  const Ini dup("[A]\nx=1\nX=2\n[B]\ny=3\n[a]\nx=4\nz=5\n");
  EXPECT_EQ(Readings(dup), (std::vector<std::string>{"A/x=1", "A/z=5", "B/y=3"}));
}

TEST(Ini, EditsChangeOnlyTheirOwnLines) {
  struct Case {
    const char* name;
    const char* text;
    std::function<void(Ini&)> edit;
    const char* expected;
  };
  const Case cases[] = {
      {"existing key keeps spelling, blanks and the lines around it",
       "; top\r\n[Config]\r\n  Speed = 50 \r\n; note\r\nSound=0\r\n",
       [](Ini& i) { i.WriteInteger("config", "SPEED", 75); },
       "; top\r\n[Config]\r\n  Speed = 75 \r\n; note\r\nSound=0\r\n"},
      {"existing empty value", "[A]\nk=\nj = \n",
       [](Ini& i) { i.WriteString("A", "k", "v"); i.WriteString("A", "j", "w"); },
       "[A]\nk=v\nj = w\n"},
      {"a repeated key: only the line readers take", "[A]\nk=1\nK=2\n",
       [](Ini& i) { i.WriteString("A", "K", "9"); }, "[A]\nk=9\nK=2\n"},
      {"a key in a repeated section", "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n",
       [](Ini& i) { i.WriteString("A", "Z", "8"); }, "[A]\nx=1\n[B]\ny=2\n[a]\nz=8\n"},
      {"new key after the last key, before blanks and comments",
       "[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\ny=2\r\n",
       [](Ini& i) { i.WriteString("a", "New", "v"); },
       "[A]\r\nx=1\r\nNew=v\r\n\r\n; about B\r\n[B]\r\ny=2\r\n"},
      {"new keys keep their order", "[A]\nx=1\n\n",
       [](Ini& i) { i.WriteString("A", "k1", "1"); i.WriteString("A", "k2", "2"); },
       "[A]\nx=1\nk1=1\nk2=2\n\n"},
      {"new key in a section without keys", "[A]\n; nothing yet\n[B]\n",
       [](Ini& i) { i.WriteString("A", "k", "v"); }, "[A]\nk=v\n; nothing yet\n[B]\n"},
      {"new key in a repeated section goes after its last key",
       "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n; end\n",
       [](Ini& i) { i.WriteString("A", "k", "v"); }, "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\nk=v\n; end\n"},
      {"new key after a last line without line end", "[A]\nx=1",
       [](Ini& i) { i.WriteString("A", "k", "v"); }, "[A]\nx=1\nk=v\n"},
      {"new section at the end, apart by a blank line", "[A]\nx=1\n",
       [](Ini& i) { i.WriteString("New", "k", "v"); }, "[A]\nx=1\n\n[New]\nk=v\n\n"},
      {"new section after a text ending in a blank line", "[A]\r\nx=1\r\n\r\n",
       [](Ini& i) { i.WriteString("New", "k", "v"); }, "[A]\r\nx=1\r\n\r\n[New]\r\nk=v\r\n\r\n"},
      {"new section after a last line without line end", "; only a comment",
       [](Ini& i) { i.WriteString("New", "k", "v"); }, "; only a comment\r\n\r\n[New]\r\nk=v\r\n\r\n"},
      {"new lines take the first line end of a mixed text", "[A]\nx=1\r\n",
       [](Ini& i) { i.WriteString("A", "k", "v"); }, "[A]\nx=1\r\nk=v\n"},
      {"a text without line ends gets CR LF", "[A]",
       [](Ini& i) { i.WriteString("A", "k", "v"); }, "[A]\r\nk=v\r\n"},
      {"entries before the first section are no section's", "x=1\n",
       [](Ini& i) { i.WriteString("A", "x", "2"); }, "x=1\n\n[A]\nx=2\n\n"},
      {"delete removes every line of the key", "[A]\nx=1\n; keep\nX=2\ny=3\n",
       [](Ini& i) { i.DeleteKey("a", "x"); }, "[A]\n; keep\ny=3\n"},
      {"a key added after the last key was deleted", "[A]\nx=1\ny=2\n\n[B]\n",
       [](Ini& i) { i.DeleteKey("A", "y"); i.WriteString("A", "z", "v"); }, "[A]\nx=1\nz=v\n\n[B]\n"},
      {"a key added after every key was deleted", "[A]\nx=1\nX=2\n[B]\nb=1\n",
       [](Ini& i) { i.DeleteKey("A", "x"); i.WriteString("A", "k", "v"); }, "[A]\nk=v\n[B]\nb=1\n"},
      {"a deleted key written again", "[A]\nx=1\ny=2\n",
       [](Ini& i) { i.DeleteKey("A", "x"); i.WriteString("A", "x", "3"); }, "[A]\ny=2\nx=3\n"},
      {"erase keeps the comment above the next section", "; top\n[A]\nx=1\n; a's note\n\n; about B\n[B]\ny=2\n",
       [](Ini& i) { i.EraseSection("a"); }, "; top\n; about B\n[B]\ny=2\n"},
      {"erase takes every repeat of the section", "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n",
       [](Ini& i) { i.EraseSection("A"); }, "[B]\ny=2\n"},
      {"erase the last section", "[A]\nx=1\n\n[B]\ny=2\n\n; trailing\n",
       [](Ini& i) { i.EraseSection("B"); }, "[A]\nx=1\n\n"},
      {"an erased section written again goes to the end", "[A]\nx=1\n[B]\ny=2\n",
       [](Ini& i) { i.EraseSection("A"); i.WriteString("A", "x", "5"); }, "[B]\ny=2\n\n[A]\nx=5\n\n"},
      {"deleting what is not there changes nothing", "[A]\nx=1\n",
       [](Ini& i) { i.DeleteKey("A", "y"); i.DeleteKey("B", "x"); i.EraseSection("B"); }, "[A]\nx=1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ini ini(c.text);
    c.edit(ini);
    EXPECT_EQ(ini.GetText(), c.expected);
    // What is read from memory is what a reader of the saved text gets.
    EXPECT_EQ(Readings(ini), Readings(Ini(ini.GetText())));
  }
}

TEST(Ini, ACopyIsEditedOnItsOwn) {
  const Ini original("[A]\nx=1\n");
  Ini copy = original;
  copy.WriteString("A", "x", "2");
  copy.WriteString("A", "y", "3");
  copy.EraseSection("B");
  EXPECT_EQ(original.GetText(), "[A]\nx=1\n");
  EXPECT_EQ(original.ReadString("A", "x"), "1");
  EXPECT_EQ(copy.GetText(), "[A]\nx=2\ny=3\n");
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

TEST(Ini, ASavedSettingsFileKeepsWhatItsUserWrote) {
  test::TempFolder dir;
  const std::string text = "; my settings\n[Config]\nSpeed=10\n\n[Mine]\nkeep=this\n";
  test::WriteFile(dir / "s.ini", text);
  Ini ini;
  ASSERT_TRUE(ini.LoadFromFile(dir / "s.ini"));
  ini.SaveToFile(dir / "s.ini");
  EXPECT_EQ(test::ReadFile(dir / "s.ini"), text);

  ini.WriteInteger("Config", "Speed", 20);
  ini.WriteBool("Config", "Sound", false);
  ini.SaveToFile(dir / "s.ini");
  EXPECT_EQ(test::ReadFile(dir / "s.ini"), "; my settings\n[Config]\nSpeed=20\nSound=0\n\n[Mine]\nkeep=this\n");
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
