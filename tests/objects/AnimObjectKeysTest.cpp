// The common keys of every object: names, defaults, how values are read,
// the order in which they are written, and the way back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "objects/ObjectKeysSupport.h"
#include "objects/ObjectText.h"
#include "objects/PictureObjects.h"
#include "objects/TextObject.h"

namespace lumevra {
namespace {

using test::KeyMap;
using test::KeyText;

struct CommonKeyCase {
  const char* key;
  ObjectKeyValue def;      // after loading a section without the key
  const char* written;     // a value written alone into the section
  ObjectKeyValue read;     // what that value gives
};

// Every common key. Written values use hex and signs where it shows a fault.
const std::vector<CommonKeyCase> kCommonKeys = {
    {"Width", int64_t{0}, "0x2A", int64_t{42}},
    {"Height", int64_t{0}, "-7", int64_t{-7}},
    {"Scaled", true, "0", true},  // always scaled, whatever the key says
    {"MoveAreaRectleft", int64_t{0}, "5", int64_t{5}},
    {"MoveAreaRecttop", int64_t{0}, "6", int64_t{6}},
    {"MoveAreaRectright", int64_t{0}, "700", int64_t{700}},
    {"MoveAreaRectbottom", int64_t{0}, "800", int64_t{800}},
    {"WidthSize", int64_t{100}, "50", int64_t{50}},
    {"HeightSize", int64_t{100}, "0", int64_t{0}},
    {"Speed", int64_t{10}, "55", int64_t{55}},
    {"InitialPos", int64_t{0}, "4", int64_t{0}},  // written only
    {"InitialDir", int64_t{0}, "8", int64_t{8}},
    {"PosLeftType", int64_t{0}, "5", int64_t{5}},
    {"PosTopType", int64_t{0}, "3", int64_t{3}},
    {"PosLeft", int64_t{100}, "-100", int64_t{-100}},
    {"PosTop", int64_t{100}, "2000", int64_t{2000}},
    {"ObjFacing", int64_t{1}, "0", int64_t{0}},
    {"Opacity", int64_t{10}, "3", int64_t{3}},
    {"DisplaySec", int64_t{0}, "5", int64_t{5}},
    {"DisplayDurationType", int64_t{0}, "2", int64_t{2}},
    {"DisplayDurationSec", int64_t{60}, "0x10", int64_t{16}},
    {"DIsplayDurationCycle", int64_t{10}, "3", int64_t{3}},
    {"Motion", int64_t{0}, "265", int64_t{9}},  // a byte field keeps the low 8 bits
    {"MotionSpeed", int64_t{10}, "3", int64_t{3}},
    {"MotionAreaType", int64_t{0}, "1", int64_t{1}},
    {"DirFlip", false, "-3", true},  // any non-zero value is true
    {"Redisplay", true, "0", false},
    {"RedisplayDelay", int64_t{30}, "2", int64_t{2}},
    {"RedisplayTimes", int64_t{0}, "4", int64_t{4}},
    {"ResetPos", true, "0", false},
    {"RestrictArea", true, "0", false},
    {"OffScreenOpt", std::string("TBLR"), "RL", std::string("LR")},
    {"AppearEffect", int64_t{0}, "1", int64_t{1}},
    {"AppearEffectDur", int64_t{2}, "7", int64_t{7}},
    {"DisappearEffect", int64_t{0}, "2", int64_t{2}},
    {"DisappearEffectDur", int64_t{2}, "9", int64_t{9}},
};

std::vector<std::unique_ptr<AnimObject>> OneOfEachKind() {
  std::vector<std::unique_ptr<AnimObject>> kinds;
  kinds.push_back(std::make_unique<GifObject>());
  kinds.push_back(std::make_unique<ImageObject>());
  kinds.push_back(std::make_unique<TextObject>());
  return kinds;
}

TEST(AnimObjectKeys, ConstructionValues) {
  TextObject o;
  EXPECT_EQ(o.Speed, 100);
  EXPECT_EQ(o.WanderRangeX, 500);
  EXPECT_EQ(o.WanderRangeY, 1000);
  EXPECT_TRUE(o.Visible.load());
  EXPECT_FALSE(o.Running.load());
  EXPECT_FALSE(o.Displayed.load());
  EXPECT_EQ(o.DisplayStart.load(), 0);
  EXPECT_EQ(o.PosX.load(), 0.0);
  EXPECT_EQ(o.Index, 0);
  EXPECT_FALSE(o.Scaled);
  EXPECT_TRUE(o.Keys.SectionNames().empty());
  EXPECT_TRUE(o.Lines.empty());
}

TEST(AnimObjectKeys, EveryCommonKeyHasItsDefault) {
  for (auto& object : OneOfEachKind()) {
    SCOPED_TRACE(std::string(object->ObjType()));
    object->LoadObjectFromText("[Obj0]\r\nObjType=" + std::string(object->ObjType()) + "\r\n");
    const auto keys = KeyMap(*object);
    for (const CommonKeyCase& c : kCommonKeys) {
      ASSERT_TRUE(keys.count(c.key)) << c.key;
      EXPECT_EQ(keys.at(c.key), c.def) << c.key << " is " << KeyText(keys.at(c.key));
    }
  }
}

TEST(AnimObjectKeys, EachCommonKeyIsReadOnItsOwn) {
  for (const CommonKeyCase& c : kCommonKeys) {
    SCOPED_TRACE(c.key);
    GifObject o;
    o.LoadObjectFromText(std::string("[Obj0]\r\n") + c.key + "=" + c.written + "\r\n");
    const auto keys = KeyMap(o);
    EXPECT_EQ(keys.at(c.key), c.read) << KeyText(keys.at(c.key));
    for (const CommonKeyCase& other : kCommonKeys)
      if (std::string(other.key) != c.key) {
        EXPECT_EQ(keys.at(other.key), other.def) << other.key;
      }
  }
}

TEST(AnimObjectKeys, MalformedValuesTakeTheDefault) {
  const char* junk[] = {"abc", "", "12abc", "0x", "0x123456789", "99999999999", "1.5", "- 3"};
  for (const CommonKeyCase& c : kCommonKeys) {
    if (std::string(c.key) == "OffScreenOpt") continue;  // a string, any text is a value
    for (const char* value : junk) {
      TextObject o;
      o.LoadObjectFromText(std::string("[Obj0]\r\n") + c.key + "=" + value + "\r\n");
      EXPECT_EQ(KeyMap(o).at(c.key), c.def) << c.key << "=" << value;
    }
  }
}

TEST(AnimObjectKeys, KeysWithoutDefaultKeepTheCurrentValue) {
  ImageObject o;
  o.Width = 640;
  o.Height = 480;
  o.MoveAreaRect = {1, 2, 3, 4};
  o.InitialDir = 7;
  o.TransparentColor = 0x00FF00;
  o.FileName = "/nowhere/kept.bmp";
  o.LoadObjectFromText("[Obj0]\r\nWidth=wide\r\nInitialDir=\r\n");
  EXPECT_EQ(o.Width, 640);
  EXPECT_EQ(o.Height, 480);
  EXPECT_EQ(o.MoveAreaRect, (Rect{1, 2, 3, 4}));
  EXPECT_EQ(o.InitialDir, 7);
  EXPECT_EQ(o.TransparentColor, 0x00FF00u);
  EXPECT_EQ(o.FileName, "/nowhere/kept.bmp");
  // Keys that have a default do not keep what the object held.
  o.Speed = 77;
  o.Opacity = 3;
  o.LoadObjectFromText("[Obj0]\r\n");
  EXPECT_EQ(o.Speed, 10);
  EXPECT_EQ(o.Opacity, 10);
}

TEST(AnimObjectKeys, ReadsOnlyItsOwnSectionWithNamesInAnyCase) {
  const std::string text =
      "[Obj0]\r\nMotion=1\r\n"
      "[obj4]\r\nmotion=3\r\nOFFSCREENOPT=B\r\ndisplayDURATIONcycle=8\r\n";
  TextObject o;
  o.Index = 4;
  o.LoadObjectFromText(text);
  EXPECT_EQ(o.Motion, 3);
  EXPECT_EQ(o.OffScreenEdges, kEdgeBottom);
  EXPECT_EQ(o.DisplayDurationCycle, 8);
  // The whole text is kept, not only the object's section.
  EXPECT_TRUE(o.Keys.SectionExists("Obj0"));
}

TEST(AnimObjectKeys, OffScreenOptLetters) {
  struct Case {
    const char* line;  // nullptr: no key at all
    uint8_t edges;
  } cases[] = {
      {nullptr, kEdgeTop | kEdgeBottom | kEdgeLeft | kEdgeRight},
      {"OffScreenOpt=", 0},
      {"OffScreenOpt=LR", kEdgeLeft | kEdgeRight},
      {"OffScreenOpt=T", kEdgeTop},
      {"OffScreenOpt=RLBT", kEdgeTop | kEdgeBottom | kEdgeLeft | kEdgeRight},
      {"OffScreenOpt=xBxBx", kEdgeBottom},
      {"OffScreenOpt=tblr", 0},  // the letters are upper case
      {"OffScreenOpt=15", 0},
  };
  for (const Case& c : cases) {
    GifObject o;
    o.LoadObjectFromText(std::string("[Obj0]\r\n") + (c.line ? c.line : "") + "\r\n");
    EXPECT_EQ(o.OffScreenEdges, c.edges) << (c.line ? c.line : "(missing)");
  }
  EXPECT_EQ(OffScreenEdgesText(0), "");
  EXPECT_EQ(OffScreenEdgesText(kEdgeRight | kEdgeTop), "TR");
  EXPECT_EQ(OffScreenEdgesText(kEdgeLeft | kEdgeBottom), "BL");
  EXPECT_EQ(OffScreenEdgesText(15), "TBLR");
  for (uint8_t edges = 0; edges < 16; ++edges)
    EXPECT_EQ(ParseOffScreenEdges(OffScreenEdgesText(edges)), edges);
}

TEST(AnimObjectKeys, KindKeyDefaults) {
  GifObject gif;
  gif.LoadObjectFromText("[Obj0]\r\nObjType=GIF\r\n");
  EXPECT_EQ(gif.FileName, "");
  EXPECT_EQ(gif.AnimSpeed, 10);
  EXPECT_TRUE(gif.Transparent);
  EXPECT_EQ(gif.TransparentType, 0);
  EXPECT_EQ(gif.TransparentColor, 0u);
  EXPECT_FALSE(gif.RefreshFrame);

  ImageObject img;
  img.LoadObjectFromText("[Obj0]\r\nObjType=IMG\r\n");
  EXPECT_TRUE(img.Transparent);
  EXPECT_EQ(img.TransparentType, 1);
  EXPECT_EQ(img.TransparentColor, 0u);

  TextObject txt;
  txt.LoadObjectFromText("[Obj0]\r\nObjType=TXT\r\n");
  EXPECT_TRUE(txt.Lines.empty());
  EXPECT_EQ(txt.TextColor, 0xFFFFFFu);
  EXPECT_EQ(txt.FontSize, 20);
  EXPECT_EQ(txt.Position, 0);
  EXPECT_EQ(txt.FontName, "Arial");
}

TEST(AnimObjectKeys, ImageTransparencyDefaultFollowsThePngExtension) {
  struct Case {
    const char* name;
    int type;
  } cases[] = {{"/p/sun.png", 0}, {"/p/SUN.PNG", 0}, {"/p/sun.Png", 0}, {"C:\\p\\sun.png", 0},
               {"/p/sun.bmp", 1}, {"/p/sun.png.jpg", 1}, {"/p/png", 1}, {"", 1}};
  for (const Case& c : cases) {
    ImageObject o;
    o.LoadObjectFromText(std::string("[Obj0]\r\nFilename=") + c.name + "\r\n");
    EXPECT_EQ(o.TransparentType, c.type) << c.name;
  }
  ImageObject o;
  o.LoadObjectFromText("[Obj0]\r\nFilename=/p/sun.png\r\nTransparentType=2\r\n");
  EXPECT_EQ(o.TransparentType, 2);
}

TEST(AnimObjectKeys, TextKeyIsDecodedAndSplitIntoLines) {
  TextObject o;
  o.LoadObjectFromText("[Obj0]\r\nText=" + EncodeObjectText("Snow\r\non the\nhills\r") +
                       "\r\nTextColor=0xFF\r\nFont=Tahoma\r\n");
  EXPECT_EQ(o.Lines, (std::vector<std::string>{"Snow", "on the", "hills"}));
  EXPECT_EQ(o.TextColor, 0xFFu);
  EXPECT_EQ(o.FontName, "Tahoma");
  // A character outside the code alphabet ends the text there.
  o.LoadObjectFromText("[Obj0]\r\nText=" + EncodeObjectText("abc") + " " + EncodeObjectText("def") + "\r\n");
  EXPECT_EQ(o.Lines, (std::vector<std::string>{"abc"}));
}

TEST(AnimObjectKeys, SplitAndJoinLines) {
  using Lines = std::vector<std::string>;
  struct Case {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"one\r\ntwo", {"one", "two"}},
      {"one\ntwo\rthree", {"one", "two", "three"}},
      {"one\r\n", {"one"}},
      {"one\r\n\r\n", {"one", ""}},
      {"\r\n", {""}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {std::string("a\0b", 3), {std::string("a\0b", 3)}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitTextLines(c.text), c.lines) << c.text;
    EXPECT_EQ(SplitTextLines(JoinTextLines(c.lines)), c.lines) << c.text;
  }
  EXPECT_EQ(JoinTextLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

}  // namespace
}  // namespace lumevra
