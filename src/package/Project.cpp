#include "package/Project.h"

#include "base/Ini.h"
#include "package/ProjectFile.h"

namespace lumevra {

Project::Project(ProjectObjectsFactory objects) : objectsFactory_(std::move(objects)) {
  Allocate();
}

Project::~Project() { Release(); }

void Project::Allocate() {
  Ready = false;
  Thumbnail.SetSize(0, 0);
  Background.SetSize(0, 0);
  Mask.SetSize(0, 0);
  WaveLayers.fill(WaveParams{});
  Weather = WeatherParams{};
  Objects = objectsFactory_ ? objectsFactory_() : nullptr;
}

void Project::Release() {
  Objects.reset();
  Weather = WeatherParams{};
  Background.SetSize(0, 0);
  Thumbnail.SetSize(0, 0);
  Mask.SetSize(0, 0);
  WaveLayers.fill(WaveParams{});
}

int32_t Project::SoundCount() const {
  for (int32_t i = 0; i < kSoundSlots; ++i)
    if (SoundSlots[i].SoundFile.empty()) return i;
  return kSoundSlots;
}

bool Project::LoadProject(const std::filesystem::path& file) {
  LoadError.clear();
  try {
    ProjectFileReader loader;
    Release();
    Allocate();
    ObjectsText.clear();
    loader.ReadProjectFile(file);
    FileRead = true;
    loader.GetBackground(Background);
    loader.GetMask(Mask, {Background.Width(), Background.Height()});
    loader.GetThumbnail(Thumbnail);
    loader.GetWaveParams(WaveLayers);
    loader.GetWeather(Weather);
    loader.GetSoundSlots(SoundSlots);
    FileName = file;
    Title = loader.Title;
    Description = loader.Description;
    LegacySound = loader.LegacySound;
    Width = Background.Width();
    Height = Background.Height();

    const WeatherKind kind = Weather.KindOf();
    if (Weather.Opacity == 0 && kind == WeatherKind::Snow) Weather.Opacity = 9;
    if (Weather.Opacity == 0 && kind == WeatherKind::Rain) Weather.Opacity = 6;
    if (Weather.SizeOrSlant == 0 && kind == WeatherKind::Snow) Weather.SizeOrSlant = 4;

    // Older files name one sound outside the slots: it joins them, looping.
    if (!LegacySound.empty() && !SameText(LegacySound, "<NO SOUND>")) {
      const int32_t i = SoundCount();
      if (i < 8) {  // all eight slots in use: there is no room for it
        SoundSlots[i].SetSoundFile(LegacySound);
        SoundSlots[i].PlayMode = 0;
      }
    }
    LegacySound.clear();

    Ready = true;
    for (size_t i = 0; i < BaseSpeeds.size(); ++i) BaseSpeeds[i] = WaveLayers[i].Speed;
    ObjectsText = loader.ObjectsText;
    if (Objects) Objects->LoadObjects(loader.ObjectsText);
    ReadBuildInfo(loader.BuildInfoText);
    return true;
  } catch (const std::exception& e) {
    LoadError = e.what();
    return false;
  }
}

void Project::ReadBuildInfo(const std::string& text) {
  std::string lines;
  for (const std::string& item : SplitCommaText(text)) {
    lines += item;
    lines += '\n';
  }
  const Ini ini(lines);
  Build.ScrFileName = ini.ReadString("BuildScr", "Filename");
  Build.ScrMusicFile = ini.ReadString("BuildScr", "MusicFile");
  Build.ScrMusic = ini.ReadBool("BuildScr", "Music", false);
  Build.ScrSound = ini.ReadBool("BuildScr", "Sound", true);
  Build.ExeFileName = ini.ReadString("BuildExe", "Filename");
  Build.ExeMusicFile = ini.ReadString("BuildExe", "MusicFile");
  Build.ExeMusic = ini.ReadBool("BuildExe", "Music", false);
  Build.ExeSound = ini.ReadBool("BuildExe", "Sound", true);
}

}  // namespace lumevra
