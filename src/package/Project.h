// Project: one loaded project: pictures, wave layers, weather, sound
// slots, objects and build settings, plus the speed the user chose.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "graphics/Bitmap32.h"
#include "package/ProjectObjects.h"
#include "package/ProjectRecords.h"

namespace lumevra {

// The authoring tool's two build targets ("BuildExe" and "BuildScr").
struct BuildInfo {
  std::string ExeFileName;
  bool ExeSound = true;
  std::string ExeMusicFile;
  bool ExeMusic = false;
  std::string ScrFileName;
  std::string ScrMusicFile;
  bool ScrMusic = false;
  bool ScrSound = true;
};

class Project {
public:
  // The object list comes from `objects`; without one the objects text is
  // kept but no list is built (the still preview needs none).
  explicit Project(ProjectObjectsFactory objects = {});
  ~Project();
  Project(const Project&) = delete;
  Project& operator=(const Project&) = delete;

  // Fresh, empty pictures, zeroed layers and weather, an empty object list.
  void Allocate();
  void Release();

  // True when the file loaded; on any failure false, keeping what was
  // filled before it (always valid, possibly empty pictures).
  bool LoadProject(const std::filesystem::path& file);

  // Slots in use: the index of the first empty slot, or 8.
  int32_t SoundCount() const;
  void SetSpeedPercent(int32_t percent) { SpeedPercent = percent; }
  WaveParams& GetWaveParam(int index) { return WaveLayers.at(static_cast<size_t>(index)); }
  void ReadBuildInfo(const std::string& text);

  bool Ready = false;
  std::filesystem::path FileName;
  Bitmap32 Background;
  Bitmap32 Thumbnail;
  Bitmap32 Mask;
  // Kept in place for the project's life: the engine holds references.
  std::array<WaveParams, kWaveLayers> WaveLayers{};
  WeatherParams Weather{};
  std::string Title;
  std::string Description;
  int32_t Width = 0;
  int32_t Height = 0;
  bool FileRead = false;
  int32_t SpeedPercent = 100;
  std::string LegacySound;
  std::array<SoundSlot, kSoundSlots> SoundSlots{};
  std::unique_ptr<ProjectObjects> Objects;
  std::string ObjectsText;  // as loaded, also when no list is built
  lumevra::BuildInfo Build;
  std::array<int32_t, kWaveLayers> BaseSpeeds{};
  // Why the last load failed (empty after a successful one); for tools.
  std::string LoadError;

private:
  ProjectObjectsFactory objectsFactory_;
};

}  // namespace lumevra
