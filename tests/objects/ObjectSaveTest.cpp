// Writing an object's keys: the exact text, and loading it back.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "objects/ObjectKeysSupport.h"
#include "objects/ObjectText.h"
#include "objects/PictureObjects.h"
#include "objects/TextObject.h"

namespace lumevra {
namespace {

using test::KeyMap;
using test::KeyText;
using test::SetCommonFields;

const char* const kCommonText =
    "Left=110\r\nTop=20\r\nWidth=321\r\nHeight=123\r\nScaled=0\r\n"
    "MoveAreaRectleft=11\r\nMoveAreaRecttop=12\r\nMoveAreaRectright=813\r\nMoveAreaRectbottom=614\r\n"
    "WidthSize=75\r\nHeightSize=150\r\nSpeed=55\r\nInitialPos=3\r\nInitialDir=6\r\n"
    "PosLeftType=4\r\nPosTopType=5\r\nPosLeft=-40\r\nPosTop=900\r\nObjFacing=0\r\nOpacity=7\r\n"
    "DisplaySec=3\r\nDisplayDurationType=2\r\nDisplayDurationSec=9\r\nDIsplayDurationCycle=4\r\n"
    "Motion=7\r\nMotionSpeed=25\r\nMotionAreaType=1\r\nDirFlip=1\r\nRedisplay=0\r\n"
    "RedisplayDelay=12\r\nRedisplayTimes=5\r\nResetPos=0\r\nRestrictArea=0\r\nOffScreenOpt=BR\r\n"
    "AppearEffect=1\r\nAppearEffectDur=4\r\nDisappearEffect=1\r\nDisappearEffectDur=6\r\n";

std::unique_ptr<GifObject> SampleGif() {
  auto o = std::make_unique<GifObject>();
  SetCommonFields(*o);
  o->FileName = "C:\\pictures\\bird.gif";
  o->AnimSpeed = 12;
  o->Transparent = false;
  o->TransparentType = 2;
  o->TransparentColor = 0xFF;
  o->RefreshFrame = true;
  return o;
}

std::unique_ptr<ImageObject> SampleImg() {
  auto o = std::make_unique<ImageObject>();
  SetCommonFields(*o);
  o->FileName = "/pictures/sun.png";
  o->Transparent = false;
  o->TransparentType = 1;             // not the PNG default
  o->TransparentColor = 0x80000005u;  // a system colour: negative as a 32-bit integer
  return o;
}

std::unique_ptr<TextObject> SampleText() {
  auto o = std::make_unique<TextObject>();
  SetCommonFields(*o);
  o->Lines = {"Happy", "", "new year \xE9t\xE9"};
  o->TextColor = 0x00FF8000;
  o->FontSize = 32;
  o->Position = 8;
  o->FontName = "Tahoma";
  return o;
}

TEST(ObjectSave, GifKeysInOrder) {
  auto o = SampleGif();
  o->Index = 2;
  EXPECT_EQ(o->SaveToText(), std::string("[Obj2]\r\n") + kCommonText +
                                 "ObjType=GIF\r\nFilename=C:\\pictures\\bird.gif\r\nAnimSpeed=12\r\n"
                                 "Transparent=0\r\nTransparentType=2\r\nTransparentColor=255\r\n"
                                 "RefreshFrame=1\r\n\r\n");
}

TEST(ObjectSave, ImageKeysInOrder) {
  auto o = SampleImg();
  EXPECT_EQ(o->SaveToText(), std::string("[Obj0]\r\n") + kCommonText +
                                 "ObjType=IMG\r\nFilename=/pictures/sun.png\r\nTransparent=0\r\n"
                                 "TransparentType=1\r\nTransparentColor=-2147483643\r\n\r\n");
}

TEST(ObjectSave, TextKeysInOrder) {
  auto o = SampleText();
  o->Index = 100;
  EXPECT_EQ(o->SaveToText(), std::string("[Obj100]\r\n") + kCommonText + "ObjType=TXT\r\nText=" +
                                 EncodeObjectText("Happy\r\n\r\nnew year \xE9t\xE9\r\n") +
                                 "\r\nTextColor=16744448\r\nFontSize=32\r\nPosition=8\r\nFont=Tahoma\r\n\r\n");
}

TEST(ObjectSave, SavingReplacesWhateverKeysHeld) {
  TextObject o;
  o.LoadObjectFromText("[Obj0]\r\nStray=1\r\n[Other]\r\nA=1\r\n");
  const std::string text = o.SaveToText();
  EXPECT_EQ(o.Keys.SectionNames(), std::vector<std::string>{"Obj0"});
  EXPECT_EQ(text.find("Stray"), std::string::npos);
}

TEST(ObjectSave, DescribedKeysFollowTheWrittenOrder) {
  std::vector<std::unique_ptr<AnimObject>> objects;
  objects.push_back(SampleGif());
  objects.push_back(SampleImg());
  objects.push_back(SampleText());
  for (auto& o : objects) {
    o->SaveToText();
    std::vector<std::string> written = o->Keys.SectionKeys("Obj0");
    std::erase_if(written, [](const std::string& k) { return k == "Left" || k == "Top" || k == "ObjType"; });
    std::vector<std::string> described;
    for (const auto& [name, value] : o->DescribeKeys()) described.push_back(name);
    EXPECT_EQ(described, written) << o->ObjType();
  }
}

// Saving then loading gives back every key but the written-only "InitialPos"
// and "Scaled" (always true); each of them differs from its default, so a
// key that is not read back shows.
void ExpectRoundTrip(AnimObject& original, AnimObject& copy) {
  original.Index = copy.Index = 5;
  copy.LoadObjectFromText(original.SaveToText());
  auto before = KeyMap(original), after = KeyMap(copy);
  EXPECT_EQ(after.at("InitialPos"), ObjectKeyValue(int64_t{0}));
  EXPECT_EQ(after.at("Scaled"), ObjectKeyValue(true));
  before.erase("InitialPos");
  before.erase("Scaled");
  after.erase("InitialPos");
  after.erase("Scaled");
  EXPECT_EQ(after.size(), before.size());
  for (const auto& [key, value] : before) EXPECT_EQ(after.at(key), value) << key << ": " << KeyText(value);
}

// Every key that is read back differs from its default in the sample.
void ExpectNoDefaultsLeft(const AnimObject& loaded, AnimObject& fresh) {
  fresh.LoadObjectFromText("");
  const auto defaults = KeyMap(fresh);
  for (const auto& [key, value] : KeyMap(loaded)) {
    if (key != "InitialPos" && key != "Scaled") {
      EXPECT_NE(value, defaults.at(key)) << key;
    }
  }
}

TEST(ObjectSave, RoundTripGif) {
  auto original = SampleGif();
  GifObject copy;
  ExpectRoundTrip(*original, copy);
  GifObject fresh;
  ExpectNoDefaultsLeft(copy, fresh);
}

TEST(ObjectSave, RoundTripImage) {
  auto original = SampleImg();
  ImageObject copy;
  ExpectRoundTrip(*original, copy);
  EXPECT_EQ(copy.TransparentColor, 0x80000005u);
}

TEST(ObjectSave, RoundTripText) {
  auto original = SampleText();
  TextObject copy;
  ExpectRoundTrip(*original, copy);
  EXPECT_EQ(copy.Lines, original->Lines);
  TextObject fresh;
  ExpectNoDefaultsLeft(copy, fresh);
}

TEST(ObjectSave, RoundTripOfEmptyAndBlankText) {
  for (const std::vector<std::string>& lines :
       {std::vector<std::string>{}, std::vector<std::string>{""}, std::vector<std::string>{"", ""}}) {
    TextObject original, copy;
    original.Lines = lines;
    copy.LoadObjectFromText(original.SaveToText());
    EXPECT_EQ(copy.Lines, lines) << lines.size();
  }
}

}  // namespace
}  // namespace lumevra
