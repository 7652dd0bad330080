#include "authoring/ProjectWriter.h"

#include <fstream>
#include <stdexcept>

#include "base/Ini.h"
#include "package/ProjectFile.h"

namespace lumevra {

namespace {

std::string Int32(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}

std::string Counted(const std::string& bytes) {
  if (bytes.size() > static_cast<size_t>(INT32_MAX)) throw std::runtime_error("item too large");
  return Int32(static_cast<int32_t>(bytes.size())) + bytes;
}

template <typename Record>
std::string RecordBytes(const Record& r) {
  std::string s(Record::kRecordSize, '\0');
  r.ToRecord(reinterpret_cast<uint8_t*>(s.data()));
  return s;
}

}  // namespace

std::vector<std::string> ProjectItems(const ProjectData& d) {
  std::vector<std::string> items;
  items.emplace_back(kProjectMagic);
  items.push_back(Counted(d.Title));
  items.push_back(Counted(d.Description));
  items.push_back(Counted(d.ThumbnailJpeg));
  items.push_back(Int32(d.FirstWaveCount));
  std::string waves;
  for (int i = 0; i < 4; ++i) waves += RecordBytes(d.Waves[i]);
  items.push_back(waves);
  std::string mask = Int32(static_cast<int32_t>(d.MaskCodes.size()));
  for (int32_t c : d.MaskCodes) mask += Int32(c);
  items.push_back(mask);
  items.push_back(Counted(d.BackgroundJpeg));
  items.push_back(Counted(d.LegacySound));
  items.push_back(RecordBytes(d.Weather));
  if (!d.WriteTail) return items;
  std::string sounds;
  for (const SoundSlot& s : d.Sounds) sounds += RecordBytes(s);
  items.push_back(sounds);
  items.push_back(Counted(d.ObjectsText));
  items.push_back(Counted(d.BuildInfoText));
  items.push_back(Int32(d.SecondWaveCount));
  std::string more;
  for (int32_t i = 0; i < d.SecondWaveCount && i < 4; ++i) more += RecordBytes(d.Waves[4 + i]);
  items.push_back(more);
  return items;
}

std::string ProjectBytes(const ProjectData& data) {
  std::string bytes;
  for (const std::string& item : ProjectItems(data)) bytes += item;
  return bytes;
}

void WriteProjectFile(const std::filesystem::path& file, const ProjectData& data) {
  const std::string bytes = ProjectBytes(data);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

IntList EncodeMask(int32_t width, int32_t height, const std::vector<uint8_t>& codes) {
  IntList out = {width, height};
  constexpr int64_t kMaxRun = INT32_MAX / 10;
  size_t i = 0;
  while (i < codes.size()) {
    const uint8_t code = codes[i];
    if (code > 6) throw std::runtime_error("mask code outside 0..6");
    size_t j = i;
    while (j < codes.size() && codes[j] == code && static_cast<int64_t>(j - i) < kMaxRun) ++j;
    out.push_back(static_cast<int32_t>((j - i) * 10 + code));
    i = j;
  }
  return out;
}

std::string BuildInfoText(const std::string& scrFileName, const std::string& scrMusicFile, bool scrMusic,
                          bool scrSound, const std::string& exeFileName, const std::string& exeMusicFile,
                          bool exeMusic, bool exeSound) {
  auto b = [](bool v) { return std::string(v ? "1" : "0"); };
  const std::vector<std::string> lines = {
      "[BuildScr]", "Filename=" + scrFileName, "MusicFile=" + scrMusicFile, "Music=" + b(scrMusic),
      "Sound=" + b(scrSound), "", "[BuildExe]", "Filename=" + exeFileName,
      "MusicFile=" + exeMusicFile, "Music=" + b(exeMusic), "Sound=" + b(exeSound)};
  // Each item followed by a comma, as the authoring tool writes it.
  return JoinCommaText(lines) + ",";
}

}  // namespace lumevra
