#include "authoring/Scene.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "authoring/PackageWriter.h"
#include "base/AnsiText.h"
#include "base/Ini.h"
#include "graphics/Bitmap32.h"
#include "graphics/JpegWriter.h"
#include "graphics/PictureLoader.h"
#include "objects/ObjectText.h"
#include "package/PackageExtractor.h"
#include "package/ProjectFile.h"

namespace lumevra {

namespace fs = std::filesystem;

namespace {

constexpr int32_t kThumbWidth = 80;
constexpr int32_t kThumbHeight = 60;

class SceneReader {
public:
  explicit SceneReader(const fs::path& file) : file_(file), dir_(file.parent_path()) {
    if (!ini_.LoadFromFile(file)) throw SceneError(file.string() + ": cannot read the scene file");
  }

  [[noreturn]] void Fail(const std::string& section, const std::string& key, const std::string& what) const {
    std::string where = file_.string();
    if (!section.empty()) where += " [" + section + "]";
    if (!key.empty()) where += " " + key;
    throw SceneError(where + ": " + what);
  }

  bool Has(const std::string& section, const std::string& key) const { return ini_.ValueExists(section, key); }
  bool HasSection(const std::string& section) const { return ini_.SectionExists(section); }
  std::string String(const std::string& section, const std::string& key, const std::string& def = "") const {
    return ini_.ReadString(section, key, def);
  }

  int32_t Int(const std::string& section, const std::string& key, int32_t def, int32_t lo = INT32_MIN,
              int32_t hi = INT32_MAX) const {
    const auto text = ini_.Find(section, key);
    if (!text) return def;
    const auto v = ParseInteger(*text);
    if (!v) Fail(section, key, "not an integer: '" + *text + "'");
    if (*v < lo || *v > hi)
      Fail(section, key, std::to_string(*v) + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    return *v;
  }
  bool Bool(const std::string& section, const std::string& key, bool def) const {
    return Int(section, key, def ? 1 : 0) != 0;
  }

  // A file named by a key, relative to the scene; it must exist.
  fs::path File(const std::string& section, const std::string& key) const {
    const std::string value = String(section, key);
    if (value.empty()) Fail(section, key, "no file given");
    fs::path p = AnsiToPath(value);
    if (p.is_relative()) p = dir_ / p;
    std::error_code ec;
    if (!fs::is_regular_file(p, ec)) Fail(section, key, "no such file: " + p.string());
    return p;
  }

  DecodedPicture Picture(const std::string& section, const std::string& key, std::string* bytes = nullptr,
                         const PictureLimits& limits = kBackgroundPictureLimits) const {
    const fs::path p = File(section, key);
    try {
      std::string data = ReadAll(p);
      DecodedPicture pic = DecodePicture(data, limits);
      if (bytes) *bytes = std::move(data);
      return pic;
    } catch (const std::exception& e) {
      Fail(section, key, p.string() + ": " + e.what());
    }
  }

  static std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) throw std::runtime_error("cannot read");
    return data;
  }

  const Ini& ini() const { return ini_; }

private:
  fs::path file_;
  fs::path dir_;
  Ini ini_;
};

// A JPEG stream for the project: a JPEG file as it is, anything else converted.
std::string AsJpeg(const DecodedPicture& picture, std::string bytes) {
  if (DetectPictureFormat(bytes) == PictureFormat::Jpeg) return bytes;
  return EncodeJpeg(picture, 90);
}

DecodedPicture MakeThumbnail(const DecodedPicture& background) {
  Bitmap32 source, thumb;
  source.Assign(background);
  source.Filter = StretchFilter::sfDraft;
  thumb.SetSize(kThumbWidth, kThumbHeight);
  thumb.DrawStretched(Rect{0, 0, kThumbWidth, kThumbHeight},
                      Rect{0, 0, background.width, background.height}, source);
  DecodedPicture out;
  out.width = kThumbWidth;
  out.height = kThumbHeight;
  out.pixels.assign(thumb.Bits(), thumb.Bits() + kThumbWidth * kThumbHeight);
  return out;
}

void ReadWaves(const SceneReader& r, ProjectData& d) {
  for (int i = 0; i < 8; ++i) {
    const std::string s = "Wave" + std::to_string(i);
    WaveParams& w = d.Waves[i];
    w.SetLoaderDefaults();
    w.Amplitude = r.Int(s, "Amplitude", w.Amplitude);
    w.WaveCount = r.Int(s, "WaveCount", w.WaveCount);
    w.Speed = r.Int(s, "Speed", w.Speed);
    w.Direction = r.Int(s, "Direction", w.Direction, 0, 5);
    w.HorzSway = r.Bool(s, "HorzSway", w.HorzSway);
    w.VertWave = r.Bool(s, "VertWave", w.VertWave);
    w.Perspective = r.Bool(s, "Perspective", w.Perspective);
    w.Period = r.Int(s, "Period", w.Period);
    w.Jitter = r.Int(s, "Jitter", w.Jitter);
    w.ReservedFlag = r.Bool(s, "ReservedFlag", false);
    w.Reflection = r.Bool(s, "Reflection", false);
  }
}

void ReadWeather(const SceneReader& r, ProjectData& d) {
  WeatherParams& w = d.Weather;
  const std::string kind = r.String("Weather", "Kind", "0");
  if (SameText(kind, "none")) w.Kind = static_cast<int32_t>(WeatherKind::None);
  else if (SameText(kind, "snow")) w.Kind = static_cast<int32_t>(WeatherKind::Snow);
  else if (SameText(kind, "rain")) w.Kind = static_cast<int32_t>(WeatherKind::Rain);
  else w.Kind = r.Int("Weather", "Kind", 0, 0, 2);
  w.Amount = r.Int("Weather", "Amount", 0, 0);
  w.SpeedIndex = r.Int("Weather", "SpeedIndex", 10, 0, 20);
  w.SizeOrSlant = r.Int("Weather", "SizeOrSlant", 0);
  w.DropLength = r.Int("Weather", "DropLength", 10);
  w.Opacity = r.Int("Weather", "Opacity", 0, 0, 10);
}

std::string BareName(const fs::path& p) { return PathToAnsi(p.filename()); }

void ReadSounds(const SceneReader& r, ProjectData& d, BuiltScene& scene) {
  int32_t count = 0;
  for (int i = 0; i < 8; ++i) {
    const std::string s = "Sound" + std::to_string(i);
    if (!r.HasSection(s)) continue;
    if (i != count) r.Fail(s, "", "sound slots must be numbered from Sound0 without gaps");
    const fs::path file = r.File(s, "File");
    SoundSlot& slot = d.Sounds[i];
    slot.SoundFile = BareName(file);
    if (slot.SoundFile.size() > SoundSlot::kMaxFileName) r.Fail(s, "File", "the file name is longer than 255 bytes");
    slot.PlayMode = r.Int(s, "PlayMode", 0, 0, 2);
    slot.PauseMin = r.Int(s, "PauseMin", 0, 0);
    slot.PauseMax = r.Int(s, "PauseMax", slot.PauseMin, slot.PauseMin);
    scene.media.push_back({file, "sound" + std::to_string(i) + FileExtension(slot.SoundFile)});
    ++count;
  }
}

// The objects text: sections renumbered Obj0.. in scene order, "Text"
// encoded, "Filename" reduced to the bare name of the packed picture.
void ReadObjects(const SceneReader& r, ProjectData& d, BuiltScene& scene) {
  Ini out;
  int32_t index = 0;
  for (const std::string& section : r.ini().SectionNames()) {
    if (section.size() < 4 || !SameText(section.substr(0, 3), "Obj") ||
        section.find_first_not_of("0123456789", 3) != std::string::npos)
      continue;
    const std::string type = r.String(section, "ObjType");
    if (type != "GIF" && type != "IMG" && type != "TXT")
      r.Fail(section, "ObjType", "must be GIF, IMG or TXT, not '" + type + "'");
    if (index > 100) r.Fail(section, "", "a project holds at most 101 objects");
    const std::string target = "Obj" + std::to_string(index);
    for (const std::string& key : r.ini().SectionKeys(section)) {
      std::string value = r.String(section, key);
      if (SameText(key, "Text")) {
        std::string text;
        for (size_t i = 0; i < value.size(); ++i) {
          if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
            text += "\r\n";
            ++i;
          } else {
            text += value[i];
          }
        }
        value = EncodeObjectText(text);
      } else if (SameText(key, "Filename")) {
        if (type == "TXT") continue;
        const fs::path file = r.File(section, key);
        // The saver would show nothing for a picture it cannot decode as an
        // object: say so now.
        r.Picture(section, key, nullptr, kObjectPictureLimits);
        value = BareName(file);
        scene.media.push_back({file, "obj" + std::to_string(index) + FileExtension(value)});
      }
      out.WriteString(target, key, value);
    }
    if (type != "TXT" && !r.Has(section, "Filename")) r.Fail(section, "Filename", "a picture object needs a file");
    ++index;
  }
  d.ObjectsText = index ? out.GetText() : std::string();
}

}  // namespace

BuiltScene LoadScene(const fs::path& sceneFile) {
  const SceneReader r(sceneFile);
  BuiltScene scene;
  ProjectData& d = scene.project;
  d.Title = r.String("Scene", "Title");
  d.Description = r.String("Scene", "Description");

  std::string bgBytes;
  const DecodedPicture background = r.Picture("Scene", "Background", &bgBytes);
  d.BackgroundJpeg = AsJpeg(background, std::move(bgBytes));
  if (r.Has("Scene", "Thumbnail")) {
    std::string thumbBytes;
    const DecodedPicture thumb = r.Picture("Scene", "Thumbnail", &thumbBytes);
    d.ThumbnailJpeg = AsJpeg(thumb, std::move(thumbBytes));
  } else {
    d.ThumbnailJpeg = EncodeJpeg(MakeThumbnail(background), 90);
  }

  std::vector<uint8_t> codes(static_cast<size_t>(background.width) * background.height, 0);
  if (r.Has("Scene", "Mask")) {
    const DecodedPicture mask = r.Picture("Scene", "Mask");
    if (mask.width != background.width || mask.height != background.height)
      r.Fail("Scene", "Mask", "the mask is " + std::to_string(mask.width) + " x " + std::to_string(mask.height) +
                                  ", the background " + std::to_string(background.width) + " x " +
                                  std::to_string(background.height));
    // Only the six layer colours count; every other colour is no layer.
    for (size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<uint8_t>(MaskCode(mask.pixels[i] & 0x00FFFFFF));
  }
  d.MaskCodes = EncodeMask(background.width, background.height, codes);

  ReadWaves(r, d);
  ReadWeather(r, d);

  std::vector<std::string> names = {"KAHeader.dat", "KATemp.kap"};
  std::string musicFile;
  if (r.Has("Scene", "Music")) {
    const fs::path music = r.File("Scene", "Music");
    // Only the name: the author's folders are no business of the package.
    musicFile = BareName(music);
    scene.media.push_back({music, "music" + FileExtension(BareName(music))});
  }
  ReadSounds(r, d, scene);
  ReadObjects(r, d, scene);

  d.BuildInfoText = BuildInfoText(r.String("BuildScr", "Filename"), r.String("BuildScr", "MusicFile"),
                                  r.Bool("BuildScr", "Music", false), r.Bool("BuildScr", "Sound", true),
                                  r.String("BuildExe", "Filename"), r.String("BuildExe", "MusicFile"),
                                  r.Bool("BuildExe", "Music", false), r.Bool("BuildExe", "Sound", true));

  Ini header;
  for (const auto& m : scene.media) names.push_back(m.name);
  header.WriteInteger("Header", "ResCount", static_cast<int32_t>(names.size()));
  for (size_t i = 0; i < names.size(); ++i) header.WriteString("Header", "Res" + std::to_string(i), names[i]);
  header.WriteBool("Header", "Music", !musicFile.empty());
  header.WriteString("Header", "MusicFile", musicFile);
  header.WriteInteger("Header", "MusicVolume", r.Int("Scene", "MusicVolume", 100, 0, 100));
  header.WriteInteger("Header", "SoundVolume", r.Int("Scene", "SoundVolume", 100, 0, 100));
  header.WriteBool("Header", "Sound", !d.Sounds[0].SoundFile.empty());
  scene.headerText = header.GetText();
  return scene;
}

void WriteScreensaver(const BuiltScene& scene, const fs::path& out, const fs::path& runtime) {
  PackageWriter w;
  w.AddBytes(scene.headerText);
  w.AddBytes(ProjectBytes(scene.project));
  for (const auto& m : scene.media) w.AddFile(m.file);
  w.WriteFile(out, runtime);
}

}  // namespace lumevra
