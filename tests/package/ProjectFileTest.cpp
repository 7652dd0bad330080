#include <gtest/gtest.h>

#include "package/Project.h"
#include "package/ProjectFile.h"
#include "support/ProjectFixture.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

class ProjectFileTest : public ::testing::Test {
protected:
  fs::path Write(const std::string& bytes) {
    const fs::path file = dir / ("p" + std::to_string(n++) + ".kap");
    test::WriteFile(file, bytes);
    return file;
  }
  static std::string Join(const std::vector<std::string>& items, size_t count) {
    std::string s;
    for (size_t i = 0; i < count && i < items.size(); ++i) s += items[i];
    return s;
  }
  // A failed or partial load must still leave pictures and layers usable.
  static void ExpectConsistent(const Project& p) {
    for (const Bitmap32* b : {&p.Background, &p.Thumbnail, &p.Mask})
      EXPECT_EQ(b->Empty(), b->Width() <= 0 || b->Height() <= 0);
  }

  test::TempFolder dir;
  int n = 0;
  const ProjectData data = test::SmallProject();
};

TEST_F(ProjectFileTest, LoadsEveryItem) {
  Project p;
  ASSERT_TRUE(p.LoadProject(Write(ProjectBytes(data))));
  EXPECT_TRUE(p.Ready);
  EXPECT_TRUE(p.FileRead);
  EXPECT_EQ(p.Title, data.Title);
  EXPECT_EQ(p.Description, data.Description);
  EXPECT_EQ(p.Width, 8);
  EXPECT_EQ(p.Height, 6);
  EXPECT_EQ(p.Thumbnail.Width(), 4);
  EXPECT_EQ(p.Thumbnail.Height(), 3);
  ASSERT_EQ(p.Mask.Width(), 8);
  ASSERT_EQ(p.Mask.Height(), 6);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(MaskCode(p.Mask.GetPixel(x, 0)), x < 2 ? 0 : x - 1);
  EXPECT_EQ(p.Mask.GetPixel(0, 1), LayerColors[3]);
  EXPECT_EQ(p.Mask.GetPixel(3, 3), LayerColors[3]);
  EXPECT_EQ(p.Mask.GetPixel(4, 3), 0u);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const WaveParams& w = p.WaveLayers[i];
    const WaveParams& e = data.Waves[i];
    EXPECT_EQ(w.Amplitude, e.Amplitude);
    EXPECT_EQ(w.WaveCount, e.WaveCount);
    EXPECT_EQ(w.Speed, e.Speed);
    EXPECT_EQ(w.Direction, e.Direction);
    EXPECT_EQ(w.HorzSway, e.HorzSway);
    EXPECT_EQ(w.VertWave, e.VertWave);
    EXPECT_EQ(w.Perspective, e.Perspective);
    EXPECT_EQ(w.Period, e.Period);
    EXPECT_EQ(w.Jitter, e.Jitter);
    EXPECT_EQ(w.ReservedFlag, e.ReservedFlag);
    EXPECT_EQ(w.Reflection, e.Reflection);
    EXPECT_EQ(p.BaseSpeeds[i], e.Speed);
  }
  EXPECT_EQ(p.Weather.Kind, 1);
  EXPECT_EQ(p.Weather.Amount, 300);
  EXPECT_EQ(p.Weather.SpeedIndex, 12);
  EXPECT_EQ(p.Weather.SizeOrSlant, 4);  // snow defaults
  EXPECT_EQ(p.Weather.Opacity, 9);
  EXPECT_EQ(p.SoundCount(), 2);
  EXPECT_EQ(p.SoundSlots[0].SoundFile, "C:\\Sounds\\birds.wav");
  EXPECT_EQ(p.SoundSlots[0].PlayMode, 1);
  EXPECT_EQ(p.SoundSlots[0].PauseMin, 5);
  EXPECT_EQ(p.SoundSlots[0].PauseMax, 9);
  EXPECT_EQ(p.SoundSlots[1].PauseMin, 3);
  EXPECT_EQ(p.ObjectsText, data.ObjectsText);
  EXPECT_EQ(p.Build.ScrFileName, "C:\\Program Files\\My Saver.scr");
  EXPECT_EQ(p.Build.ScrMusicFile, "C:\\m.mp3");
  EXPECT_TRUE(p.Build.ScrMusic);
  EXPECT_FALSE(p.Build.ScrSound);
  EXPECT_EQ(p.Build.ExeFileName, "C:\\out\\saver.exe");
  EXPECT_FALSE(p.Build.ExeMusic);
  EXPECT_TRUE(p.Build.ExeSound);
  EXPECT_TRUE(p.LegacySound.empty());
}

TEST_F(ProjectFileTest, FileEndingAfterTheWeatherBlock) {
  ProjectData d = data;
  d.WriteTail = false;
  Project p;
  ASSERT_TRUE(p.LoadProject(Write(ProjectBytes(d))));
  EXPECT_EQ(p.SoundCount(), 0);
  EXPECT_TRUE(p.ObjectsText.empty());
  EXPECT_TRUE(p.Build.ScrSound);
  EXPECT_TRUE(p.Build.ExeSound);
  EXPECT_TRUE(p.Build.ScrFileName.empty());
  EXPECT_EQ(p.WaveLayers[3].Amplitude, data.Waves[3].Amplitude);
  for (int i = 4; i < 8; ++i) {
    EXPECT_EQ(p.WaveLayers[i].Amplitude, 6);
    EXPECT_EQ(p.WaveLayers[i].WaveCount, 17);
    EXPECT_EQ(p.WaveLayers[i].Speed, 15);
    EXPECT_EQ(p.WaveLayers[i].Direction, 1);
    EXPECT_FALSE(p.WaveLayers[i].HorzSway);
    EXPECT_TRUE(p.WaveLayers[i].VertWave);
    EXPECT_TRUE(p.WaveLayers[i].Perspective);
    EXPECT_EQ(p.WaveLayers[i].Period, 360);
    EXPECT_EQ(p.WaveLayers[i].Jitter, 0);
  }
}

TEST_F(ProjectFileTest, CutShortAnywhere) {
  const std::vector<std::string> items = ProjectItems(data);
  const std::string full = ProjectBytes(data);
  size_t end = 0;
  for (size_t k = 0; k < items.size(); ++k) {
    // Cut inside item k (one byte in, and one byte short) and right after it.
    for (size_t cut : {end + 1, end + items[k].size() - 1, end + items[k].size()}) {
      if (cut > full.size() || items[k].empty()) continue;
      SCOPED_TRACE("item " + std::to_string(k) + " cut at " + std::to_string(cut));
      Project p;
      const bool ok = p.LoadProject(Write(full.substr(0, cut)));
      // Everything up to the weather block (item 9) is required.
      const bool required = k < 9 || (k == 9 && cut < end + items[k].size());
      EXPECT_EQ(ok, !required);
      ExpectConsistent(p);
      if (ok) {
        EXPECT_EQ(p.Width, 8);
      }
    }
    end += items[k].size();
  }
}

TEST_F(ProjectFileTest, BadCountsAndMagic) {
  auto with = [&](size_t item, const std::string& bytes) {
    std::vector<std::string> items = ProjectItems(data);
    items[item] = bytes;
    return Join(items, items.size());
  };
  auto int32 = [](int32_t v) { return test::Int32Le(v); };
  const std::pair<const char*, std::string> cases[] = {
      {"lower-case magic", with(0, "ka060697")},
      {"other magic", with(0, "KA060698")},
      {"negative title", with(1, int32(-1))},
      {"title past the end", with(1, int32(INT32_MAX) + "x")},
      {"thumbnail not a JPEG", with(3, int32(4) + "abcd")},
      {"empty thumbnail", with(3, int32(0))},
      {"negative mask count", with(6, int32(-2))},
      {"mask count past the end", with(6, int32(0x40000000))},
      {"mask runs overflow", with(6, int32(3) + int32(8) + int32(6) + int32(8 * 6 * 10 + 10))},
      {"mask code 7", with(6, int32(3) + int32(8) + int32(6) + int32(17))},
      {"negative mask code", with(6, int32(3) + int32(8) + int32(6) + int32(-13))},
      {"absurd mask size", with(6, int32(2) + int32(100000) + int32(100000))},
      {"background cut", with(7, int32(1000) + "short")},
      {"negative background", with(7, int32(-5))},
      {"negative legacy sound", with(8, int32(-1))},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    Project p;
    EXPECT_FALSE(p.LoadProject(Write(bytes)));
    ExpectConsistent(p);
  }
  ProjectFileReader loader;
  try {
    loader.ReadProjectFile(Write(with(0, "ka060697")));
    FAIL();
  } catch (const ProjectError& e) {
    EXPECT_STREQ(e.what(), "Incorrect Project File!");
  }
  Project p;
  EXPECT_FALSE(p.LoadProject(dir / "missing.kap"));
  EXPECT_FALSE(p.LoadProject(dir.path()));
}

TEST_F(ProjectFileTest, TailCountsAreForgiving) {
  std::vector<std::string> items = ProjectItems(data);
  // The first group count is ignored: four records follow whatever it says.
  items[4] = test::Int32Le(7);
  // A negative objects-text count ends the tail: objects and build info
  // stay empty, but the sound slots read before it remain.
  items[11] = test::Int32Le(-3);
  Project p;
  ASSERT_TRUE(p.LoadProject(Write(Join(items, items.size()))));
  EXPECT_EQ(p.WaveLayers[3].Amplitude, data.Waves[3].Amplitude);
  EXPECT_EQ(p.SoundCount(), 2);
  EXPECT_TRUE(p.ObjectsText.empty());
  EXPECT_EQ(p.WaveLayers[5].Amplitude, 6);

  // More than four further records: only layers 4..7 are read.
  ProjectData d = data;
  d.SecondWaveCount = 4;
  items = ProjectItems(d);
  items[13] = test::Int32Le(1000);
  Project q;
  ASSERT_TRUE(q.LoadProject(Write(Join(items, items.size()) + std::string(64, '\x7f'))));
  EXPECT_EQ(q.WaveLayers[7].Amplitude, data.Waves[7].Amplitude);
}

TEST_F(ProjectFileTest, LegacySoundJoinsTheSlots) {
  struct Case {
    const char* legacy;
    int filled;
    int expectCount;
  };
  const Case cases[] = {{"<no Sound>", 2, 2}, {"<NO SOUND>", 0, 0}, {"", 1, 1},
                        {"old.wav", 2, 3},    {"old.wav", 0, 1},    {"old.wav", 8, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.legacy) + " with " + std::to_string(c.filled));
    ProjectData d = data;
    d.LegacySound = c.legacy;
    for (int i = 0; i < 8; ++i) d.Sounds[i] = SoundSlot{};
    for (int i = 0; i < c.filled; ++i) {
      d.Sounds[i].SoundFile = "s" + std::to_string(i) + ".wav";
      d.Sounds[i].PauseMin = 4;
    }
    Project p;
    ASSERT_TRUE(p.LoadProject(Write(ProjectBytes(d))));
    EXPECT_EQ(p.SoundCount(), c.expectCount);
    EXPECT_TRUE(p.LegacySound.empty());
    if (c.expectCount > c.filled) {
      EXPECT_EQ(p.SoundSlots[c.filled].SoundFile, c.legacy);
      EXPECT_EQ(p.SoundSlots[c.filled].PlayMode, 0);
    }
  }
  // A long legacy name never overflows its slot.
  ProjectData d = data;
  d.LegacySound = std::string(300, 'n');
  d.Sounds = {};
  Project p;
  ASSERT_TRUE(p.LoadProject(Write(ProjectBytes(d))));
  EXPECT_EQ(p.SoundSlots[0].SoundFile, std::string(255, 'n'));
}

TEST_F(ProjectFileTest, SoundSlotsEndAtTheFirstEmptyOne) {
  ProjectData d = data;
  d.Sounds[0] = SoundSlot{};
  d.Sounds[3].SoundFile = "late.wav";
  Project p;
  ASSERT_TRUE(p.LoadProject(Write(ProjectBytes(d))));
  EXPECT_EQ(p.SoundCount(), 0);

  // A zero length byte empties the slot whatever follows it.
  uint8_t record[SoundSlot::kRecordSize] = {0, 'a', 'b', 'c'};
  SoundSlot slot;
  slot.FromRecord(record);
  EXPECT_TRUE(slot.SoundFile.empty());
}

TEST_F(ProjectFileTest, WeatherDefaults) {
  struct Case {
    WeatherParams in;
    int32_t opacity, size;
  };
  const Case cases[] = {
      {{1, 100, 10, 0, 0, 0}, 9, 4},
      {{2, 100, 10, 0, 0, 0}, 6, 0},
      {{0, 100, 10, 0, 0, 0}, 0, 0},
      {{1, 100, 10, 7, 0, 3}, 3, 7},
      {{2, 100, 10, 80, 12, 4}, 4, 80},
  };
  for (const Case& c : cases) {
    ProjectData d = data;
    d.Weather = c.in;
    Project p;
    ASSERT_TRUE(p.LoadProject(Write(ProjectBytes(d))));
    EXPECT_EQ(p.Weather.Opacity, c.opacity) << c.in.Kind;
    EXPECT_EQ(p.Weather.SizeOrSlant, c.size) << c.in.Kind;
  }
}

// The mask paints the picture's pixels: a mask of another size, however
// small its codes (here one asking for a gigabyte), fails the load before
// anything is allocated, and leaves a consistent, empty project.
TEST_F(ProjectFileTest, AMaskOfAnotherSizeThanThePictureFailsTheLoad) {
  for (const IntList& codes : {IntList{9, 6, 540}, IntList{16384, 16384, 10}, IntList{8, 7}}) {
    SCOPED_TRACE(codes[0]);
    ProjectData d = data;
    d.MaskCodes = codes;
    Project p;
    EXPECT_FALSE(p.LoadProject(Write(ProjectBytes(d))));
    EXPECT_NE(p.LoadError.find("differs from the picture's 8 x 6"), std::string::npos) << p.LoadError;
    EXPECT_TRUE(p.Mask.Empty());
    ExpectConsistent(p);
  }
}

TEST_F(ProjectFileTest, ASecondLoadStartsAfresh) {
  Project p;
  ASSERT_TRUE(p.LoadProject(Write(ProjectBytes(data))));
  WaveParams* layer = &p.GetWaveParam(5);
  EXPECT_FALSE(p.LoadProject(Write("KA060697")));
  EXPECT_EQ(&p.GetWaveParam(5), layer);  // the same objects, zeroed
  EXPECT_EQ(layer->Amplitude, 0);
  EXPECT_TRUE(p.Background.Empty());
  EXPECT_TRUE(p.Mask.Empty());
  EXPECT_THROW(p.GetWaveParam(8), std::out_of_range);
}

TEST(ProjectBuildInfo, ReadsBothTargets) {
  Project p;
  p.ReadBuildInfo("");
  EXPECT_TRUE(p.Build.ScrSound);
  EXPECT_TRUE(p.Build.ExeSound);
  EXPECT_FALSE(p.Build.ScrMusic);
  EXPECT_TRUE(p.Build.ExeFileName.empty());
  p.ReadBuildInfo("[BuildScr],\"Filename=C:\\Program Files\\a b.scr\",Music=1,Sound=x,,[BuildExe],"
                  "Filename=C:\\x.exe,MusicFile=m.mp3,Music=0,Sound=0,");
  EXPECT_EQ(p.Build.ScrFileName, "C:\\Program Files\\a b.scr");
  EXPECT_TRUE(p.Build.ScrMusic);
  EXPECT_TRUE(p.Build.ScrSound);  // not an integer: the default
  EXPECT_EQ(p.Build.ExeFileName, "C:\\x.exe");
  EXPECT_EQ(p.Build.ExeMusicFile, "m.mp3");
  EXPECT_FALSE(p.Build.ExeSound);
}

}  // namespace
}  // namespace lumevra
