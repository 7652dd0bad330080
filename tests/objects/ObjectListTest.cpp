// Building the object list from the objects text, and what the project
// does with it through its interface.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "objects/ObjectList.h"
#include "objects/ObjectText.h"
#include "objects/PictureObjects.h"
#include "objects/TextObject.h"

#ifdef __linux__
#include <unistd.h>
#endif

namespace lumevra {
namespace {

std::string Section(int i, const std::string& type, const std::string& keys = {}) {
  return "[Obj" + std::to_string(i) + "]\r\nObjType=" + type + "\r\n" + keys;
}

std::vector<std::string> Types(const ObjectList& list) {
  std::vector<std::string> types;
  for (size_t i = 0; i < list.Count(); ++i) types.emplace_back(list.Items(i).ObjType());
  return types;
}

TEST(ObjectList, ObjectsInSectionOrderEachReadingItsOwnSection) {
  ObjectList list;
  list.LoadObjects(Section(0, "GIF", "AnimSpeed=3\r\nMotion=1\r\n") +
                   Section(1, "IMG", "Motion=2\r\n") +
                   Section(2, "TXT", "Motion=3\r\nFontSize=40\r\n"));
  ASSERT_EQ(Types(list), (std::vector<std::string>{"GIF", "IMG", "TXT"}));
  for (size_t i = 0; i < list.Count(); ++i) {
    EXPECT_EQ(list.Items(i).Index, static_cast<int32_t>(i));
    EXPECT_EQ(list.Items(i).Motion, i + 1);
  }
  EXPECT_EQ(dynamic_cast<GifObject&>(list.Items(0)).AnimSpeed, 3);
  EXPECT_EQ(dynamic_cast<TextObject&>(list.Items(2)).FontSize, 40);
}

TEST(ObjectList, SectionsOutOfOrderInTheTextStillGoByNumber) {
  ObjectList list;
  list.LoadObjects(Section(1, "TXT") + Section(0, "GIF"));
  EXPECT_EQ(Types(list), (std::vector<std::string>{"GIF", "TXT"}));
}

TEST(ObjectList, AGapShiftsTheLaterObjectsToTheFollowingSection) {
  // Obj1 is missing: the GIF of Obj2 becomes object 1 and reads section Obj1,
  // which does not exist, so its own keys are not seen.
  ObjectList list;
  list.LoadObjects(Section(0, "TXT", "FontSize=5\r\n") + Section(2, "GIF", "AnimSpeed=7\r\nOpacity=3\r\n"));
  ASSERT_EQ(Types(list), (std::vector<std::string>{"TXT", "GIF"}));
  auto& gif = dynamic_cast<GifObject&>(list.Items(1));
  EXPECT_EQ(gif.Index, 1);
  EXPECT_EQ(gif.AnimSpeed, 10);
  EXPECT_EQ(gif.Opacity, 10);
}

TEST(ObjectList, UnknownAndMissingTypesGiveNoObject) {
  ObjectList list;
  list.LoadObjects(Section(0, "GIF") + Section(1, "BMP", "Opacity=4\r\n") + Section(2, "IMG") +
                   "[Obj3]\r\nOpacity=6\r\n" + Section(4, "TXT"));
  ASSERT_EQ(Types(list), (std::vector<std::string>{"GIF", "IMG", "TXT"}));
  // The image is object 1 and takes the keys of the skipped section Obj1.
  EXPECT_EQ(list.Items(1).Opacity, 4);
  EXPECT_EQ(list.Items(2).Opacity, 10);
}

TEST(ObjectList, TypeNamesAreExact) {
  ObjectList list;
  for (const char* type : {"gif", "Img", "txt", "GIFs", "TEXT", "G IF", ""}) {
    list.LoadObjects(Section(0, type));
    EXPECT_EQ(list.Count(), 0u) << type;
  }
  // Blanks around the value are not part of it.
  list.LoadObjects("[Obj0]\r\nObjType = TXT \r\n");
  EXPECT_EQ(list.Count(), 1u);
}

TEST(ObjectList, AtMostSectionsObj0ToObj100) {
  std::string text;
  for (int i = 0; i <= 101; ++i) text += Section(i, "TXT", "FontSize=" + std::to_string(i + 1) + "\r\n");
  ObjectList list;
  list.LoadObjects(text);
  ASSERT_EQ(list.Count(), 101u);
  for (size_t i = 0; i < list.Count(); ++i) {
    EXPECT_EQ(list.Items(i).Index, static_cast<int32_t>(i));
    EXPECT_EQ(dynamic_cast<TextObject&>(list.Items(i)).FontSize, static_cast<int32_t>(i + 1));
  }
  // A section past the limit is never looked at, even alone.
  list.LoadObjects(Section(101, "TXT") + Section(1000000, "GIF"));
  EXPECT_EQ(list.Count(), 0u);
}

TEST(ObjectList, LoadingReplacesTheList) {
  ObjectList list;
  list.LoadObjects(Section(0, "GIF") + Section(1, "GIF"));
  list.LoadObjects(Section(0, "TXT"));
  EXPECT_EQ(Types(list), (std::vector<std::string>{"TXT"}));
  list.LoadObjects("");
  EXPECT_EQ(list.Count(), 0u);
}

TEST(ObjectList, GarbageGivesAnEmptyOrPartialList) {
  ObjectList list;
  list.LoadObjects(std::string(4096, '\0'));
  EXPECT_EQ(list.Count(), 0u);
  // An unclosed header starts no section; "[Obj1]]" is section Obj1.
  list.LoadObjects("[Obj0\r\nObjType=GIF\r\n=\r\n[]\r\n[Obj1]]\r\nObjType=TXT\r\n");
  EXPECT_EQ(Types(list), std::vector<std::string>{"TXT"});
  // A sound first section, then noise.
  list.LoadObjects(Section(0, "TXT", "Text=" + std::string(100000, '\xFF') + "\r\n") + "\x01\x02[Obj1\xFF");
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_TRUE(dynamic_cast<TextObject&>(list.Items(0)).Lines.empty());

  std::mt19937 random(7);
  const std::string pieces[] = {"[Obj0]", "[Obj1]", "ObjType=", "GIF", "TXT", "IMG", "\r\n", "\n", "=",
                                "Motion", "0x", "-", "Text=", "zz", "\xFF", std::string(1, '\0')};
  for (int round = 0; round < 200; ++round) {
    std::string text;
    for (int n = 0; n < 60; ++n) text += pieces[random() % std::size(pieces)];
    list.LoadObjects(text);
    EXPECT_LE(list.Count(), 2u);
    for (size_t i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Items(i).Index, static_cast<int32_t>(i));
  }
}

// Records when each object is freed.
class ProbeObject final : public AnimObject {
public:
  ProbeObject(int id, std::vector<int>& freed) : id_(id), freed_(freed) {}
  ~ProbeObject() override { freed_.push_back(id_); }
  std::string_view ObjType() const override { return "TXT"; }
  void LoadObjectFromText(std::string_view text) override { LoadFromText(text); }
  void DrawOnto(Bitmap32&, const Rect&, FontRaster*) override {}

private:
  int id_;
  std::vector<int>& freed_;
};

TEST(ObjectList, AddSetsTheIndexAndClearFreesInListOrder) {
  std::vector<int> freed;
  {
    ObjectList list;
    for (int id : {10, 11, 12}) {
      auto object = std::make_unique<ProbeObject>(id, freed);
      object->Index = 99;
      AnimObject& added = list.Add(std::move(object));
      EXPECT_EQ(added.Index, static_cast<int32_t>(list.Count() - 1));
    }
    EXPECT_THROW(list.Add(nullptr), std::invalid_argument);
    EXPECT_EQ(list.Count(), 3u);
    EXPECT_THROW(list.Items(3), std::out_of_range);
    list.Clear();
    EXPECT_EQ(freed, (std::vector<int>{10, 11, 12}));
    EXPECT_EQ(list.Count(), 0u);
    list.Add(std::make_unique<ProbeObject>(20, freed));
    list.Add(std::make_unique<ProbeObject>(21, freed));
    EXPECT_EQ(list.Items(1).Index, 1);
  }
  // The list's end frees what it still holds.
  EXPECT_EQ(freed, (std::vector<int>{10, 11, 12, 20, 21}));
}

TEST(ObjectList, RepointPicturesSkipsTextObjects) {
  ObjectList list;
  list.LoadObjects(Section(0, "GIF", "Filename=/a/bird.gif\r\n") +
                   Section(1, "TXT", "Text=" + EncodeObjectText("hello") + "\r\n") +
                   Section(2, "IMG", "Filename=/a/sun.PNG\r\n"));
  std::vector<size_t> asked;
  list.RepointPictures([&](size_t index, const std::string& fileName) {
    asked.push_back(index);
    return "/tmp/x/obj" + std::to_string(index) + fileName.substr(fileName.rfind('.'));
  });
  EXPECT_EQ(asked, (std::vector<size_t>{0, 2}));
  EXPECT_EQ(dynamic_cast<GifObject&>(list.Items(0)).FileName, "/tmp/x/obj0.gif");
  EXPECT_EQ(dynamic_cast<ImageObject&>(list.Items(2)).FileName, "/tmp/x/obj2.PNG");
  EXPECT_EQ(dynamic_cast<TextObject&>(list.Items(1)).Lines, std::vector<std::string>{"hello"});
}

TEST(ObjectList, FactoryGivesListsWithTheSharedFolder) {
  const std::filesystem::path folder = "/shared/images";
  ProjectObjectsFactory factory = MakeAnimObjectsFactory(folder);
  std::unique_ptr<ProjectObjects> objects = factory();
  ASSERT_NE(objects, nullptr);
  objects->LoadObjects(Section(0, "IMG", "Filename=/missing/sun.png\r\n"));
  EXPECT_EQ(objects->Count(), 1u);
  auto& list = dynamic_cast<ObjectList&>(*objects);
  EXPECT_EQ(list.SharedImagesFolder(), folder);
  EXPECT_EQ(dynamic_cast<ImageObject&>(list.Items(0)).FileName, (folder / "sun.png").string());
  objects->Clear();
  EXPECT_EQ(objects->Count(), 0u);
  EXPECT_NE(factory().get(), objects.get());
}

#ifdef __linux__
size_t ThreadCount() {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++n;
  return n;
}

TEST(ObjectList, BuildingTheListStartsNoThread) {
  const size_t before = ThreadCount();
  std::string text;
  for (int i = 0; i <= 100; ++i) text += Section(i, i % 3 == 0 ? "GIF" : i % 3 == 1 ? "IMG" : "TXT");
  ObjectList list;
  list.LoadObjects(text);
  EXPECT_EQ(list.Count(), 101u);
  EXPECT_EQ(ThreadCount(), before);
}
#endif

}  // namespace
}  // namespace lumevra
