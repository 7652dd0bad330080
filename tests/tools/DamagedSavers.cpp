#include "DamagedSavers.h"

#include <functional>
#include <sstream>
#include <stdexcept>

#include "authoring/PackageWriter.h"
#include "authoring/Scene.h"
#include "graphics/JpegWriter.h"
#include "graphics/PngWriter.h"
#include "package/ProjectRecords.h"
#include "support/PictureFixtures.h"
#include "support/SaverFixture.h"
#include "support/TestFiles.h"

namespace lumevra::test {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kHuge = 0x7FFFFFFF;
constexpr uint32_t kMinusOne = 0xFFFFFFFF;

DecodedPicture Gradient(int32_t w, int32_t h) {
  DecodedPicture p;
  p.width = w;
  p.height = h;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      p.pixels.push_back(0xFF000000u | static_cast<uint32_t>(x * 255 / w) << 16 | static_cast<uint32_t>(y * 255 / h));
  return p;
}

// The undamaged saver's parts: the header text, the project file as its
// items, and the media entries in header order.
struct SaverParts {
  std::string header;
  std::vector<std::string> projectItems;
  std::vector<std::string> media;
  std::vector<std::string> mediaNames;  // as the header names them

  std::string Project() const {
    std::string bytes;
    for (const std::string& item : projectItems) bytes += item;
    return bytes;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> entries = {header, Project()};
    entries.insert(entries.end(), media.begin(), media.end());
    return entries;
  }
  // The entry index of the media file named `name`.
  size_t EntryOf(const std::string& name) const {
    for (size_t i = 0; i < mediaNames.size(); ++i)
      if (mediaNames[i] == name) return i + 2;
    throw std::runtime_error("no media " + name);
  }
};

SaverParts MakeParts(const fs::path& dir) {
  fs::create_directories(dir);
  WriteFile(dir / "back.jpg", EncodeJpeg(Gradient(64, 32), 90));
  DecodedPicture mask = Gradient(64, 32);
  for (size_t i = 0; i < mask.pixels.size(); ++i) mask.pixels[i] = i < mask.pixels.size() / 2 ? 0xFF000000u : 0xFF000000u | MaskColor(1);
  WriteFile(dir / "mask.png", EncodePng(mask, false));
  WriteFile(dir / "tune.mp3", "not really music, the headless player only opens it");
  WriteFile(dir / "chime.wav", SmallWave());
  WriteFile(dir / "bell.wav", SmallWave(400));
  std::vector<uint32_t> pixels(64);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (i % 3 ? 0xFF336699u : 0x80FFCC00u);
  WriteFile(dir / "sun.png", MakePng(8, 8, pixels, true));
  WriteFile(dir / "boat.bmp", MakeBmp(4, 4, 24, 0, {}, std::string(48, '\x7F')));
  WriteFile(dir / "cloud.jpg", EncodeJpeg(Gradient(16, 8), 90));
  const std::vector<uint32_t> palette = {0xFF000000u, 0xFFFFFFFFu, 0xFFFF0000u, 0xFF00FF00u};
  const GifFrameSpec first{.width = 4, .height = 3, .indices = std::vector<uint8_t>(12, 1), .transparentIndex = 0,
                          .delayCs = 10};
  const GifFrameSpec second{
      .left = 1, .top = 1, .width = 2, .height = 2, .indices = {2, 3, 3, 2}, .delayCs = 20, .interlaced = true};
  WriteFile(dir / "gull.gif", MakeGif(4, 3, palette, {first, second}));
  std::ostringstream ini;
  ini << "[Scene]\nTitle=" << kDamagedSceneTitle << "\nDescription=Boats at night.\nBackground=back.jpg\n"
      << "Mask=mask.png\nMusic=tune.mp3\nMusicVolume=80\nSoundVolume=70\n"
      << "[Wave0]\nAmplitude=3\nWaveCount=8\nSpeed=20\nDirection=1\nVertWave=1\nPeriod=360\nJitter=2\n"
      << "[Weather]\nKind=snow\nAmount=50\n"
      << "[Sound0]\nFile=chime.wav\nPlayMode=0\n[Sound1]\nFile=bell.wav\nPlayMode=2\nPauseMin=1\n"
      << "[Obj0]\nObjType=IMG\nFilename=sun.png\n[Obj1]\nObjType=IMG\nFilename=boat.bmp\nTransparent=1\n"
      << "[Obj2]\nObjType=IMG\nFilename=cloud.jpg\nMotion=1\n[Obj3]\nObjType=GIF\nFilename=gull.gif\nAnimSpeed=10\n"
      << "[Obj4]\nObjType=TXT\nText=Harbour\\nat night\nFontSize=12\n";
  WriteFile(dir / "scene.ini", ini.str());

  const BuiltScene scene = LoadScene(dir / "scene.ini");
  SaverParts parts;
  parts.header = scene.headerText;
  parts.projectItems = ProjectItems(scene.project);
  for (const auto& m : scene.media) {
    parts.media.push_back(ReadFile(m.file));
    parts.mediaNames.push_back(m.name);
  }
  return parts;
}

// `bytes` with `replacement` written over it at `at`.
std::string Patched(std::string bytes, size_t at, const std::string& replacement) {
  bytes.replace(at, replacement.size(), replacement);
  return bytes;
}

std::string Pack(const std::vector<std::string>& entries) {
  std::string package = PackageWriter::StoredMarker() + Le32(static_cast<uint32_t>(entries.size()));
  for (const std::string& e : entries) package += Le32(static_cast<uint32_t>(e.size())) + e;
  return package;
}

// Where entry k's size field starts in a package of `entries`.
size_t EntryStart(const std::vector<std::string>& entries, size_t k) {
  size_t at = PackageWriter::StoredMarker().size() + 4;
  for (size_t i = 0; i < k; ++i) at += 4 + entries[i].size();
  return at;
}

// Every cut of `bytes` at the given positions, with `expect` for each.
void AddCuts(std::vector<DamagedSaver>& out, const std::string& what, const std::string& bytes,
             const std::vector<size_t>& positions, const std::function<std::string(const std::string&)>& pack,
             const std::function<DamagedExpectation(size_t)>& expect) {
  for (size_t at : positions) {
    if (at >= bytes.size()) continue;
    out.push_back({what + " cut at " + std::to_string(at) + " of " + std::to_string(bytes.size()),
                   pack(bytes.substr(0, at)), expect(at)});
  }
}

const DamagedExpectation kSceneRuns{std::string("project: \"") + kDamagedSceneTitle + "\"", kDamagedSceneTitle};
const DamagedExpectation kProjectRefused{"project: cannot be loaded: ", ""};

}  // namespace

std::string WholePackage(const fs::path& mediaDir) { return Pack(MakeParts(mediaDir).Entries()); }

std::vector<DamagedSaver> DamagedPackages(const fs::path& mediaDir) {
  const SaverParts parts = MakeParts(mediaDir);
  const std::vector<std::string> entries = parts.Entries();
  const std::string whole = Pack(entries);
  const size_t markerSize = PackageWriter::StoredMarker().size();
  const size_t projectEnd = EntryStart(entries, 2);
  std::vector<DamagedSaver> out;

  // Cut inside the marker and the count, and around and inside every entry.
  std::vector<size_t> cuts = {5, markerSize, markerSize + 2, markerSize + 4};
  for (size_t k = 0; k < entries.size(); ++k) {
    const size_t start = EntryStart(entries, k), size = entries[k].size();
    for (size_t at : {start + 2, start + 4, start + 5, start + 4 + size / 2, start + 3 + size}) cuts.push_back(at);
  }
  AddCuts(out, "package", whole, cuts, [](const std::string& s) { return s; }, [&](size_t at) {
    // Once the project is whole the scene runs without what is missing.
    return at >= projectEnd ? DamagedExpectation{"", kDamagedSceneTitle} : DamagedExpectation{"package:", nullptr};
  });

  for (size_t at : {size_t{0}, markerSize - 1})
    out.push_back({"marker byte " + std::to_string(at) + " changed", Patched(whole, at, "?"), {"package: none", ""}});

  struct Count {
    uint32_t value;
    const char* caption;
  };
  for (const Count& c : {Count{0, ""}, Count{1, ""}, Count{2, kDamagedSceneTitle}, Count{kHuge, kDamagedSceneTitle},
                         Count{kMinusOne, nullptr}, Count{static_cast<uint32_t>(entries.size() + 5), kDamagedSceneTitle}})
    out.push_back({"entry count " + std::to_string(c.value), Patched(whole, markerSize, Le32(c.value)), {"package:", c.caption}});

  for (size_t k = 0; k < entries.size(); ++k) {
    const uint32_t size = static_cast<uint32_t>(entries[k].size());
    for (uint32_t lie : {0u, kMinusOne, kHuge, 0x80000000u, size + 1, size - 1, size * 2}) {
      // A lie in a media entry's size spoils only the media from there on.
      const char* caption = k >= 2 ? kDamagedSceneTitle : nullptr;
      out.push_back({"entry " + std::to_string(k) + " says " + std::to_string(lie) + " bytes",
                     Patched(whole, EntryStart(entries, k), Le32(lie)), {"package:", caption}});
    }
  }
  return out;
}

std::vector<DamagedSaver> DamagedHeaders(const fs::path& mediaDir, const fs::path& outside) {
  const SaverParts parts = MakeParts(mediaDir);
  std::vector<DamagedSaver> out;
  // scrtool info reads the project by its place, whatever the header says.
  auto withHeader = [&](const std::string& what, const std::string& header, const char* caption) {
    std::vector<std::string> entries = parts.Entries();
    entries[0] = header;
    out.push_back({what, Pack(entries), {kSceneRuns.info, caption}});
  };
  auto replaced = [&](const std::string& key, const std::string& value) {
    std::string header = parts.header;
    const size_t at = header.find("\n" + key + "=");
    if (at == std::string::npos) throw std::runtime_error("no header key " + key);
    const size_t end = header.find_first_of("\r\n", at + 1);
    return header.replace(at + 1, end - at - 1, key + "=" + value);
  };
  const std::string soundKey = "Res" + std::to_string(parts.EntryOf("sound0.wav"));
  const std::vector<std::string> unsafe = {
      "../escaped.wav", "../../escaped.wav", "../../../escaped.wav", (outside / "absolute.wav").string(),
      "sub/dir.wav", "sub\\dir.wav", "C:escaped.wav", "C:\\escaped.wav", "\\\\server\\share\\escaped.wav",
      "NUL", "con.wav", "COM1.wav", ".", "..", "", "trailing.", "trailing ", std::string("nul\0byte.wav", 12),
      "KAHeader.dat"};
  for (const std::string& name : unsafe) {
    // The sound is lost, or written over a file the saver already read; the
    // scene itself still runs.
    withHeader("sound named \"" + name + "\"", replaced(soundKey, name), kDamagedSceneTitle);
  }
  // Written over the project before it is read: the saver shows an empty
  // scene, as for any project that is no project.
  withHeader("sound named \"KATemp.kap\"", replaced(soundKey, "KATemp.kap"), "");
  for (const std::string& name : {std::string("../KATemp.kap"), (outside / "KATemp.kap").string(), std::string("..")})
    withHeader("project named \"" + name + "\"", replaced("Res1", name), "");
  withHeader("music file \"../../tune.mp3\"", replaced("MusicFile", "../../tune.mp3"), kDamagedSceneTitle);
  withHeader("music file absolute", replaced("MusicFile", (outside / "tune.mp3").string()), kDamagedSceneTitle);
  withHeader("music file without extension", replaced("MusicFile", "tune"), kDamagedSceneTitle);
  withHeader("music volume -5", replaced("MusicVolume", "-5"), kDamagedSceneTitle);
  withHeader("sound volume 100000", replaced("SoundVolume", "100000"), kDamagedSceneTitle);
  withHeader("music volume not a number", replaced("MusicVolume", "loud"), kDamagedSceneTitle);
  withHeader("ResCount 2000000000", replaced("ResCount", "2000000000"), kDamagedSceneTitle);
  withHeader("ResCount -5", replaced("ResCount", "-5"), nullptr);
  withHeader("Res2000000000 named", parts.header + "Res2000000000=far.wav\n", kDamagedSceneTitle);
  withHeader("Res-1 named", parts.header + "Res-1=minus.wav\n", kDamagedSceneTitle);
  withHeader("Res1 named twice", parts.header + "Res1=again.kap\n", nullptr);
  withHeader("an empty header", "", "");
  withHeader("a header of binary bytes", std::string("\x00\xFF\x01[\x02=\x03\n\r\x7F", 11), "");
  withHeader("a header without its section", parts.header.substr(parts.header.find('\n') + 1), "");
  std::string manyKeys = parts.header;
  for (int i = 0; i < 20000; ++i) manyKeys += "Extra" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  withHeader("a header of 20000 keys", manyKeys, kDamagedSceneTitle);
  std::string manySections = parts.header;
  for (int i = 0; i < 20000; ++i) manySections += "[Header" + std::to_string(i) + "]\nResCount=1\n";
  withHeader("a header of 20000 sections", manySections, kDamagedSceneTitle);
  withHeader("a header line of 1 MB", parts.header + "Long=" + std::string(1 << 20, 'x') + "\n", kDamagedSceneTitle);
  withHeader("a header of nested brackets", "[[[[[[[[[[Header]]]]]]]]]]\n" + parts.header, kDamagedSceneTitle);
  return out;
}

std::vector<DamagedSaver> DamagedProjects(const fs::path& mediaDir) {
  const SaverParts parts = MakeParts(mediaDir);
  const std::vector<std::string>& items = parts.projectItems;
  std::vector<DamagedSaver> out;
  auto withProject = [&](const std::string& what, const std::string& project, const DamagedExpectation& expect) {
    std::vector<std::string> entries = parts.Entries();
    entries[1] = project;
    out.push_back({what, Pack(entries), expect});
  };
  // Items 0..9 (magic to weather) must be whole; from the sound slots on, a
  // failure keeps what was read.
  constexpr size_t kRequiredItems = 10;
  auto withItem = [&](size_t item, const std::string& bytes) {
    std::vector<std::string> changed = items;
    changed[item] = bytes;
    std::string project;
    for (const std::string& i : changed) project += i;
    return project;
  };

  size_t at = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const DamagedExpectation expect = i < kRequiredItems ? kProjectRefused : kSceneRuns;
    const std::string project = parts.Project();
    if (items[i].size() > 1)
      withProject("project cut inside item " + std::to_string(i), project.substr(0, at + items[i].size() / 2), expect);
    withProject("project cut before item " + std::to_string(i), project.substr(0, at), expect);
    at += items[i].size();
  }
  withProject("project magic wrong", withItem(0, "NotAProj"), {"Incorrect Project File!", ""});

  // Counted items that lie about their length: title, description,
  // thumbnail, background, legacy sound; then the optional texts.
  for (size_t item : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{8}, size_t{11}, size_t{12}}) {
    const std::string& bytes = items[item];
    const uint32_t length = static_cast<uint32_t>(bytes.size() - 4);
    for (uint32_t lie : {kMinusOne, kHuge, length + 100, 0x80000000u}) {
      // A longer item swallows what follows, which then cannot be read; but
      // the last required items may swallow only the optional ones, and the
      // project loads without them.
      DamagedExpectation expect = item < kRequiredItems ? kProjectRefused : kSceneRuns;
      if ((item == 7 || item == 8) && lie == length + 100) expect = {"project: ", nullptr};
      withProject("project item " + std::to_string(item) + " says " + std::to_string(lie) + " bytes",
                  withItem(item, Patched(bytes, 0, Le32(lie))), expect);
    }
  }

  // The mask: its count, its size against the picture's, its codes.
  const std::string& mask = items[6];
  auto maskWith = [&](const std::string& what, const std::string& bytes, const DamagedExpectation& expect) {
    withProject("mask " + what, withItem(6, bytes), expect);
  };
  maskWith("count -1", Patched(mask, 0, Le32(kMinusOne)), kProjectRefused);
  maskWith("count huge", Patched(mask, 0, Le32(kHuge)), kProjectRefused);
  // Fewer than two codes give no size: the scene has no water.
  maskWith("count 1", Le32(1) + mask.substr(4, 4), kSceneRuns);
  maskWith("of no codes", Le32(0), kSceneRuns);
  maskWith("32 x 64 for a 64 x 32 picture", Patched(mask, 4, Le32(32) + Le32(64)),
           {"differs from the picture's", ""});
  maskWith("0 x 0", Patched(mask, 4, Le32(0) + Le32(0)), {"differs from the picture's", ""});
  maskWith("65535 x 65535", Patched(mask, 4, Le32(65535) + Le32(65535)), {"differs from the picture's", ""});
  maskWith("-64 x 32", Patched(mask, 4, Le32(static_cast<uint32_t>(-64))), {"differs from the picture's", ""});
  maskWith("code 7", Patched(mask, 12, Le32(17)), kProjectRefused);
  maskWith("code -10", Patched(mask, 12, Le32(static_cast<uint32_t>(-10))), kProjectRefused);
  maskWith("run past the picture", Patched(mask, 12, Le32(100000 * 10)), kProjectRefused);
  maskWith("runs short of the picture", Le32(3) + mask.substr(4, 8) + Le32(10), kSceneRuns);

  // The pictures.
  const std::string& background = items[7];
  const std::string jpeg = background.substr(4);
  auto counted = [](const std::string& s) { return Le32(static_cast<uint32_t>(s.size())) + s; };
  withProject("background JPEG cut in half", withItem(7, counted(jpeg.substr(0, jpeg.size() / 2))), kProjectRefused);
  withProject("background not a JPEG", withItem(7, counted(EncodePng(Gradient(64, 32), false))), kProjectRefused);
  withProject("background empty", withItem(7, counted("")), kProjectRefused);
  // The SOF0 frame header's height and width.
  const size_t sof = jpeg.find("\xFF\xC0");
  withProject("background JPEG says 8000 x 8000", withItem(7, counted(Patched(jpeg, sof + 5, "\x1F\x40\x1F\x40"))),
              kProjectRefused);
  withProject("background JPEG says 65535 x 65535", withItem(7, counted(Patched(jpeg, sof + 5, "\xFF\xFF\xFF\xFF"))),
              kProjectRefused);
  withProject("background JPEG says 0 high", withItem(7, counted(Patched(jpeg, sof + 5, std::string("\0\0", 2)))),
              kProjectRefused);
  withProject("thumbnail not a JPEG", withItem(3, counted("garbage")), kProjectRefused);

  // Records with values no author writes.
  withProject("weather of kind 99", withItem(9, Patched(items[9], 0, Le32(99))), kSceneRuns);
  withProject("snow of 2^31 flakes", withItem(9, Patched(items[9], 4, Le32(kHuge))), kSceneRuns);
  withProject("weather record of 0xFF bytes", withItem(9, std::string(items[9].size(), '\xFF')), kSceneRuns);
  withProject("rain record of 0x7F bytes", withItem(9, Le32(2) + std::string(items[9].size() - 4, '\x7F')), kSceneRuns);
  withProject("wave records of 0xFF bytes", withItem(5, std::string(items[5].size(), '\xFF')), kSceneRuns);
  withProject("wave records of 0x7F bytes", withItem(5, std::string(items[5].size(), '\x7F')), kSceneRuns);
  withProject("wave records of zeros", withItem(5, std::string(items[5].size(), '\0')), kSceneRuns);
  withProject("sound slots of 0xFF bytes", withItem(10, std::string(items[10].size(), '\xFF')), kSceneRuns);
  withProject("sound slots of 0x7F bytes", withItem(10, std::string(items[10].size(), '\x7F')), kSceneRuns);
  withProject("second wave count -1", withItem(13, Le32(kMinusOne)), kSceneRuns);
  withProject("second wave count huge", withItem(13, Le32(kHuge)), kSceneRuns);

  // The objects text: garbage, huge counts, unknown kinds, extreme keys,
  // many objects, one key repeated.
  auto withObjects = [&](const std::string& what, const std::string& text) {
    withProject("objects " + what, withItem(11, counted(text)), kSceneRuns);
  };
  withObjects("of binary bytes", std::string("\x00\x01\xFF,[Obj\x00]\n", 10));
  withObjects("count huge", "[Objects]\r\nCount=2000000000\r\n");
  withObjects("count -1", "[Objects]\r\nCount=-1\r\n");
  withObjects("of an unknown kind", "[Obj0]\r\nObjType=XYZ\r\nFilename=obj0.png\r\n");
  std::string extreme = "[Obj0]\r\nObjType=IMG\r\nFilename=obj0.png\r\n";
  for (const char* key : {"PosLeft", "PosTop", "Opacity", "MotionSpeed", "AppearEffectDur", "ObjWidth", "ObjHeight",
                          "Delay", "AnimSpeed", "FontSize", "RotAngle"})
    extreme += std::string(key) + "=2147483647\r\n";
  withObjects("with every number at its largest", extreme);
  std::string negative = extreme;
  for (size_t p = negative.find("2147483647"); p != std::string::npos; p = negative.find("2147483647", p + 1))
    negative.replace(p, 10, "-2147483648");
  withObjects("with every number at its smallest", negative);
  std::string many;
  for (int i = 0; i < 3000; ++i)
    many += "[Obj" + std::to_string(i) + "]\r\nObjType=" + (i % 2 ? "IMG" : "TXT") + "\r\nFilename=missing.png\r\n";
  withObjects("3000 of them", many);
  std::string repeated = "[Obj0]\r\nObjType=TXT\r\n";
  for (int i = 0; i < 50000; ++i) repeated += "Text=again\r\n";
  withObjects("with one key 50000 times", repeated);
  withObjects("with a 1 MB text", "[Obj0]\r\nObjType=TXT\r\nText=" + std::string(1 << 20, 'w') + "\r\n");
  withObjects("with a font size of a million", "[Obj0]\r\nObjType=TXT\r\nText=big\r\nFontSize=1000000\r\n");
  return out;
}

std::vector<DamagedSaver> DamagedMedia(const fs::path& mediaDir) {
  const SaverParts parts = MakeParts(mediaDir);
  std::vector<DamagedSaver> out;
  auto withMedia = [&](const std::string& name, const std::string& what, const std::string& bytes) {
    std::vector<std::string> entries = parts.Entries();
    entries[parts.EntryOf(name)] = bytes;
    out.push_back({name + " " + what, Pack(entries), kSceneRuns});
  };

  // The wave: cut at every chunk boundary, lying sizes, impossible formats.
  const std::string wave = parts.media[parts.EntryOf("sound0.wav") - 2];
  for (size_t at : {size_t{0}, size_t{4}, size_t{8}, size_t{12}, size_t{16}, size_t{20}, size_t{28}, size_t{36},
                    size_t{40}, size_t{44}, size_t{45}, wave.size() / 2, wave.size() - 1})
    withMedia("sound0.wav", "cut at " + std::to_string(at), wave.substr(0, at));
  struct Patch {
    const char* what;
    size_t at;
    std::string bytes;
  };
  const Patch wavePatches[] = {
      {"RIFF size huge", 4, Le32(kHuge)},
      {"RIFF size 0", 4, Le32(0)},
      {"not RIFF", 0, "RIFX"},
      {"not WAVE", 8, "AVI "},
      {"fmt size huge", 16, Le32(kHuge)},
      {"fmt size 2", 16, Le32(2)},
      {"not PCM", 20, std::string("\x55\x00", 2)},
      {"no channels", 22, std::string("\0\0", 2)},
      {"65535 channels", 22, "\xFF\xFF"},
      {"rate 0", 24, Le32(0)},
      {"rate 2^32 - 1", 24, Le32(kMinusOne)},
      {"block align 0", 32, std::string("\0\0", 2)},
      {"0 bits", 34, std::string("\0\0", 2)},
      {"7 bits", 34, std::string("\x07\x00", 2)},
      {"64 bits", 34, std::string("\x40\x00", 2)},
      {"data size huge", 40, Le32(kHuge)},
      {"data size -1", 40, Le32(kMinusOne)},
      {"no data chunk", 36, "junk"},
  };
  for (const Patch& p : wavePatches) withMedia("sound0.wav", p.what, Patched(wave, p.at, p.bytes));
  withMedia("sound0.wav", "odd chunk before fmt",
            wave.substr(0, 12) + "LIST" + Le32(3) + "abc" + wave.substr(12));

  // Each object picture: cut short, wrong magic, impossible sizes.
  struct PictureDamage {
    const char* name;
    std::vector<Patch> patches;  // sizes in the format's own header
  };
  const PictureDamage pictures[] = {
      {"obj0.png", {{"65535 x 65535", 16, std::string("\0\0\xFF\xFF\0\0\xFF\xFF", 8)},
                    {"0 x 0", 16, std::string(8, '\0')},
                    {"8000 x 8000", 16, std::string("\0\0\x1F\x40\0\0\x1F\x40", 8)}}},
      {"obj1.bmp", {{"100000 x 100000", 18, Le32(100000) + Le32(100000)},
                    {"0 x 0", 18, Le32(0) + Le32(0)},
                    {"-2^31 high", 22, Le32(0x80000000u)},
                    {"8000 x 8000", 18, Le32(8000) + Le32(8000)}}},
      {"obj2.jpg", {}},
      {"obj3.gif", {{"screen 65535 x 65535", 6, "\xFF\xFF\xFF\xFF"},
                    {"screen 0 x 0", 6, std::string(4, '\0')},
                    {"screen 8000 x 8000", 6, "\x40\x1F\x40\x1F"}}},
  };
  for (const PictureDamage& d : pictures) {
    const std::string bytes = parts.media[parts.EntryOf(d.name) - 2];
    for (size_t at : {size_t{0}, size_t{3}, size_t{12}, bytes.size() / 4, bytes.size() / 2, bytes.size() - 2})
      withMedia(d.name, "cut at " + std::to_string(at), bytes.substr(0, at));
    withMedia(d.name, "with a wrong magic", Patched(bytes, 0, "XX"));
    for (const Patch& p : d.patches) withMedia(d.name, p.what, Patched(bytes, p.at, p.bytes));
  }
  const std::string jpeg = parts.media[parts.EntryOf("obj2.jpg") - 2];
  const size_t sof = jpeg.find("\xFF\xC0");
  withMedia("obj2.jpg", "says 65535 x 65535", Patched(jpeg, sof + 5, "\xFF\xFF\xFF\xFF"));
  withMedia("obj2.jpg", "says 5000 x 5000", Patched(jpeg, sof + 5, "\x13\x88\x13\x88"));
  // No screen size, and the first frame's offset far out: the screen would
  // come from the frame.
  const std::string gif = parts.media[parts.EntryOf("obj3.gif") - 2];
  const size_t descriptor = gif.find('\x2C', 13 + 12);
  withMedia("obj3.gif", "with no screen and its first frame far away",
            Patched(Patched(gif, 6, std::string(4, '\0')), descriptor + 1, "\x80\x3E\x80\x3E"));

  withMedia("music.mp3", "empty", "");
  withMedia("music.mp3", "of binary bytes", std::string("\xFF\xFB\x90\x00\xFF\xFF", 6));
  return out;
}

}  // namespace lumevra::test
