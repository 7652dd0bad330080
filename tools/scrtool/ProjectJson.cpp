#include "ProjectJson.h"

#include <fstream>
#include <ostream>
#include <random>

#include "Json.h"
#include "ObjectJson.h"
#include "base/AnsiText.h"
#include "package/PackageExtractor.h"
#include "package/Project.h"
#include "package/ProjectFile.h"

namespace lumevra {

namespace fs = std::filesystem;

namespace {

std::string Str(const std::string& ansi) { return JsonString(AnsiToUtf8(ansi)); }
const char* Bool(bool b) { return b ? "true" : "false"; }

void WriteWave(const WaveParams& w, std::ostream& out) {
  out << "{\"Amplitude\": " << w.Amplitude << ", \"WaveCount\": " << w.WaveCount << ", \"Speed\": " << w.Speed
      << ", \"Direction\": " << w.Direction << ", \"HorzSway\": " << Bool(w.HorzSway)
      << ", \"VertWave\": " << Bool(w.VertWave) << ", \"Perspective\": " << Bool(w.Perspective)
      << ", \"Period\": " << w.Period << ", \"Jitter\": " << w.Jitter
      << ", \"ReservedFlag\": " << Bool(w.ReservedFlag) << ", \"Reflection\": " << Bool(w.Reflection) << "}";
}

}  // namespace

void WriteProjectJson(const Project& p, const ObjectList* objects, bool loaded, std::ostream& out) {
  out << "{\"load_ok\": " << Bool(loaded) << ", \"error\": ";
  if (loaded) out << "null";
  else out << JsonString(p.LoadError);
  out << ", \"title\": " << Str(p.Title) << ", \"description\": " << Str(p.Description)
      << ", \"width\": " << p.Width << ", \"height\": " << p.Height << ", \"thumbnail\": ["
      << p.Thumbnail.Width() << ", " << p.Thumbnail.Height() << "]";

  int64_t counts[7] = {};
  for (int32_t y = 0; y < p.Mask.Height(); ++y)
    for (int32_t x = 0; x < p.Mask.Width(); ++x) ++counts[MaskCode(p.Mask.GetPixel(x, y))];
  out << ", \"mask\": {\"width\": " << p.Mask.Width() << ", \"height\": " << p.Mask.Height() << ", \"counts\": [";
  for (int i = 0; i < 7; ++i) out << (i ? ", " : "") << counts[i];
  out << "]}, \"waves\": [";
  for (size_t i = 0; i < 8; ++i) {
    out << (i ? ", " : "");
    WriteWave(p.WaveLayers[i], out);
  }
  const WeatherParams& w = p.Weather;
  out << "], \"weather\": {\"Kind\": " << w.Kind << ", \"Amount\": " << w.Amount
      << ", \"SpeedIndex\": " << w.SpeedIndex << ", \"SizeOrSlant\": " << w.SizeOrSlant
      << ", \"DropLength\": " << w.DropLength << ", \"Opacity\": " << w.Opacity << "}, \"sounds\": [";
  for (int32_t i = 0; i < p.SoundCount(); ++i) {
    const SoundSlot& s = p.SoundSlots[static_cast<size_t>(i)];
    out << (i ? ", " : "") << "{\"SoundFile\": " << Str(s.SoundFile) << ", \"PlayMode\": " << s.PlayMode
        << ", \"PauseMin\": " << s.PauseMin << ", \"PauseMax\": " << s.PauseMax << "}";
  }
  out << "], \"objects\": ";
  WriteObjectsJson(objects, out);
  const BuildInfo& e = p.Build;
  out << ", \"build\": {\"ExeFileName\": " << Str(e.ExeFileName) << ", \"ExeSound\": " << Bool(e.ExeSound)
      << ", \"ExeMusicFile\": " << Str(e.ExeMusicFile) << ", \"ExeMusic\": " << Bool(e.ExeMusic)
      << ", \"ScrFileName\": " << Str(e.ScrFileName) << ", \"ScrMusicFile\": " << Str(e.ScrMusicFile)
      << ", \"ScrMusic\": " << Bool(e.ScrMusic) << ", \"ScrSound\": " << Bool(e.ScrSound) << "}}";
}

bool LoadCarriedProject(const fs::path& file, Project& project, bool& loaded) {
  if (FindPackage(file)) {
    // Entry 1 into a private scratch file, loaded, then removed.
    std::random_device rd;
    const fs::path scratch = fs::temp_directory_path() / ("scrtool-" + std::to_string(rd()) + ".kap");
    ExtractPackage(file, {fs::path(), scratch});
    loaded = project.LoadProject(scratch);
    std::error_code ec;
    fs::remove(scratch, ec);
    if (!loaded && project.LoadError.empty()) project.LoadError = "the package holds no project";
    return true;
  }
  std::ifstream in(file, std::ios::binary);
  char magic[8] = {};
  in.read(magic, sizeof magic);
  if (in.gcount() != 8 || std::string_view(magic, 8) != kProjectMagic) return false;
  loaded = project.LoadProject(file);
  return true;
}

}  // namespace lumevra
