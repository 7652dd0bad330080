#include "package/uKAProject.h"

#include "base/Ini.h"
#include "package/uFileIO.h"

namespace lumevra {

TProject::TProject(TProjectObjectsFactory objects) : objectsFactory_(std::move(objects)) {
  Allocate();
}

TProject::~TProject() { Release(); }

void TProject::Allocate() {
  Ready = false;
  Thumbnail.SetSize(0, 0);
  Background.SetSize(0, 0);
  Mask.SetSize(0, 0);
  WaveParams.fill(TWaveParam{});
  Weather = TWeatherParam{};
  Objects = objectsFactory_ ? objectsFactory_() : nullptr;
}

void TProject::Release() {
  Objects.reset();
  Weather = TWeatherParam{};
  Background.SetSize(0, 0);
  Thumbnail.SetSize(0, 0);
  Mask.SetSize(0, 0);
  WaveParams.fill(TWaveParam{});
}

int32_t TProject::SoundCount() const {
  for (int32_t i = 0; i < 8; ++i)
    if (SoundSlots[i].SoundFile.empty()) return i;
  return 8;
}

bool TProject::LoadProject(const std::filesystem::path& file) {
  LoadError.clear();
  try {
    TFileLoader loader;
    Release();
    Allocate();
    ObjectsText.clear();
    loader.ReadProjectFile(file);
    FileRead = true;
    loader.GetMask(Mask);
    loader.GetBackground(Background);
    loader.GetThumbnail(Thumbnail);
    loader.GetWaveParams(WaveParams);
    loader.GetWeather(Weather);
    loader.GetSoundSlots(SoundSlots);
    FileName = file;
    Title = loader.Title;
    Description = loader.Description;
    LegacySound = loader.LegacySound;
    Width = Background.Width();
    Height = Background.Height();

    if (Weather.Opacity == 0 && Weather.Kind == 1) Weather.Opacity = 9;
    if (Weather.Opacity == 0 && Weather.Kind == 2) Weather.Opacity = 6;
    if (Weather.SizeOrSlant == 0 && Weather.Kind == 1) Weather.SizeOrSlant = 4;

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
    for (size_t i = 0; i < 8; ++i) BaseSpeeds[i] = WaveParams[i].Speed;
    ObjectsText = loader.ObjectsText;
    if (Objects) Objects->LoadObjects(loader.ObjectsText);
    ReadBuildInfo(loader.BuildInfoText);
    return true;
  } catch (const std::exception& e) {
    LoadError = e.what();
    return false;
  }
}

void TProject::ReadBuildInfo(const std::string& text) {
  std::string lines;
  for (const std::string& item : SplitCommaText(text)) {
    lines += item;
    lines += '\n';
  }
  const Ini ini(lines);
  ExtraInfo.ScrFileName = ini.ReadString("BuildScr", "Filename");
  ExtraInfo.ScrMusicFile = ini.ReadString("BuildScr", "MusicFile");
  ExtraInfo.ScrMusic = ini.ReadBool("BuildScr", "Music", false);
  ExtraInfo.ScrSound = ini.ReadBool("BuildScr", "Sound", true);
  ExtraInfo.ExeFileName = ini.ReadString("BuildExe", "Filename");
  ExtraInfo.ExeMusicFile = ini.ReadString("BuildExe", "MusicFile");
  ExtraInfo.ExeMusic = ini.ReadBool("BuildExe", "Music", false);
  ExtraInfo.ExeSound = ini.ReadBool("BuildExe", "Sound", true);
}

}  // namespace lumevra
