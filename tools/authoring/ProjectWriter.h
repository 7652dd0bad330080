// The writing side of the project file: every item in the order the reader
// expects. Tests use the items one by one to cut files short anywhere.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "package/ProjectRecords.h"

namespace lumevra {

struct ProjectData {
  std::string Title;
  std::string Description;
  std::string ThumbnailJpeg;   // a complete JPEG stream
  int32_t FirstWaveCount = 4;  // written, never read back
  std::array<WaveParams, 8> Waves{};
  IntList MaskCodes;      // width, height, then runs (see EncodeMask)
  std::string BackgroundJpeg;  // a complete JPEG stream
  std::string LegacySound;
  WeatherParams Weather{};
  // Whether the items after the weather block are written at all.
  bool WriteTail = true;
  std::array<SoundSlot, 8> Sounds{};
  std::string ObjectsText;
  std::string BuildInfoText;
  int32_t SecondWaveCount = 4;  // records written for layers 4..
};

// The file's items, each as its bytes, in file order: magic, title,
// description, thumbnail, count, waves 0..3, mask, background, legacy
// sound, weather, then (with WriteTail) sound slots, objects text, build
// info, count k, and min(k, 4) wave records of layers 4...
std::vector<std::string> ProjectItems(const ProjectData& data);
std::string ProjectBytes(const ProjectData& data);
void WriteProjectFile(const std::filesystem::path& file, const ProjectData& data);

// Run-length codes of a mask given as one mask code (0..6) per pixel, rows
// top to bottom: width, height, then run * 10 + code for each run.
IntList EncodeMask(int32_t width, int32_t height, const std::vector<uint8_t>& codes);

// The build settings as the authoring tool stores them: comma text of the
// "BuildScr" and "BuildExe" sections.
std::string BuildInfoText(const std::string& scrFileName, const std::string& scrMusicFile, bool scrMusic,
                          bool scrSound, const std::string& exeFileName, const std::string& exeMusicFile,
                          bool exeMusic, bool exeSound);

}  // namespace lumevra
