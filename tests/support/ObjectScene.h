// A scene of twenty objects of every kind (animated GIFs, PNGs with an alpha
// channel, BMPs with a key colour, text), its pictures written by code, for
// the long-running and benchmark scenes. Header-only so that the benchmark
// programs can use it without the test libraries.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "base/Random.h"
#include "engine/ScenePlayer.h"
#include "graphics/FontRaster.h"
#include "graphics/PictureLoader.h"
#include "graphics/PngWriter.h"
#include "objects/ObjectList.h"
#include "objects/ObjectText.h"
#include "package/Project.h"
#include "package/ProjectRecords.h"

namespace lumevra::test {

namespace scene_detail {

inline void PutLe16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

inline void PutLe32(std::string& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// Image data of 2-bit colour indices as GIF LZW codes of a fixed 3 bits: a
// clear code before every two pixels keeps the code table from growing.
inline std::string GifLzw(const std::vector<uint8_t>& indices) {
  std::vector<uint8_t> bytes;
  uint32_t acc = 0;
  int bits = 0;
  auto code = [&](uint32_t c) {
    acc |= c << bits;
    bits += 3;
    while (bits >= 8) {
      bytes.push_back(static_cast<uint8_t>(acc & 0xFF));
      acc >>= 8;
      bits -= 8;
    }
  };
  for (size_t i = 0; i < indices.size(); ++i) {
    if (i % 2 == 0) code(4);  // clear
    code(indices[i] & 3u);
  }
  code(5);  // end of information
  if (bits > 0) bytes.push_back(static_cast<uint8_t>(acc & 0xFF));
  std::string out(1, '\x02');  // minimum code size
  for (size_t at = 0; at < bytes.size(); at += 255) {
    const size_t n = std::min<size_t>(255, bytes.size() - at);
    out += static_cast<char>(n);
    out.append(reinterpret_cast<const char*>(bytes.data() + at), n);
  }
  out += '\0';
  return out;
}

}  // namespace scene_detail

// An animated GIF of `frames` frames (a diagonal band moving across a
// four-colour picture, index 0 transparent), each shown `delayCs`
// hundredths of a second, looping.
inline std::string SceneGif(int32_t width, int32_t height, int32_t frames, int32_t delayCs) {
  using namespace scene_detail;
  std::string out = "GIF89a";
  PutLe16(out, static_cast<uint32_t>(width));
  PutLe16(out, static_cast<uint32_t>(height));
  out += '\x81';  // global colour table of 4 entries
  out += '\0';
  out += '\0';
  out += std::string("\x00\x00\x00\xE0\x30\x30\x30\xA0\xE0\xF0\xF0\xF0", 12);
  out += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
  for (int32_t f = 0; f < frames; ++f) {
    out += std::string("\x21\xF9\x04\x09", 4);  // restore to background, transparent index
    PutLe16(out, static_cast<uint32_t>(delayCs));
    out += '\0';  // transparent index 0
    out += '\0';
    out += '\x2C';
    PutLe32(out, 0);
    PutLe16(out, static_cast<uint32_t>(width));
    PutLe16(out, static_cast<uint32_t>(height));
    out += '\0';
    std::vector<uint8_t> indices(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) {
        const int32_t band = (x + y + f * 3) % 12;
        const bool corner = x < 2 && y < 2;
        indices[static_cast<size_t>(y) * width + x] = corner ? 0 : static_cast<uint8_t>(band < 4 ? 1 : band < 8 ? 2 : 3);
      }
    out += GifLzw(indices);
  }
  out += '\x3B';
  return out;
}

// A PNG whose alpha rises from left to right over a colour gradient.
inline std::string ScenePng(int32_t width, int32_t height) {
  DecodedPicture p;
  p.width = width;
  p.height = height;
  p.pixels.resize(static_cast<size_t>(width) * height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t a = static_cast<uint32_t>(x * 255 / std::max(1, width - 1));
      const uint32_t r = static_cast<uint32_t>(y * 255 / std::max(1, height - 1));
      p.pixels[static_cast<size_t>(y) * width + x] = (a << 24) | (r << 16) | (0x40u << 8) | 0xC0u;
    }
  return EncodePng(p, true);
}

// A 24-bit BMP of `width` x `height` whose pixel (x, y), y counted from
// the top, is colorAt(x, y) as 0xRRGGBB.
template <class ColorAt>
std::string MakeBmp24(int32_t width, int32_t height, ColorAt colorAt) {
  using namespace scene_detail;
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t dataSize = stride * static_cast<uint32_t>(height);
  std::string out = "BM";
  PutLe32(out, 54 + dataSize);
  PutLe32(out, 0);
  PutLe32(out, 54);
  PutLe32(out, 40);
  PutLe32(out, static_cast<uint32_t>(width));
  PutLe32(out, static_cast<uint32_t>(height));  // bottom-up rows
  PutLe16(out, 1);
  PutLe16(out, 24);
  PutLe32(out, 0);
  PutLe32(out, dataSize);
  PutLe32(out, 2835);
  PutLe32(out, 2835);
  PutLe32(out, 0);
  PutLe32(out, 0);
  for (int32_t row = 0; row < height; ++row) {
    const int32_t y = height - 1 - row;
    std::string line;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t c = colorAt(x, y);
      line += static_cast<char>(c & 0xFF);
      line += static_cast<char>((c >> 8) & 0xFF);
      line += static_cast<char>((c >> 16) & 0xFF);
    }
    line.resize(stride, '\0');
    out += line;
  }
  return out;
}

// A green disc on magenta, the magenta (bottom-left) being the key colour.
inline std::string SceneBmp(int32_t width, int32_t height) {
  const double cx = width / 2.0, cy = height / 2.0, r = std::min(width, height) / 2.5;
  return MakeBmp24(width, height, [&](int32_t x, int32_t y) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r ? 0x30D020u : 0xFF00FFu;
  });
}

// Writes the pictures into `folder` and returns the objects text of twenty
// objects: five of each kind, mixed through the list, moving in every
// motion kind, some fading, some flipping. `encodeText`: "Text" encoded as
// the project stores it (else plain, as a scene file gives it); file names
// are full paths, or bare names when `bareNames` (a scene file's folder).
inline std::string WriteObjectScene(const std::filesystem::path& folder, bool encodeText, bool bareNames) {
  using namespace scene_detail;
  WriteBytes(folder / "walker.gif", SceneGif(48, 40, 6, 4));
  WriteBytes(folder / "glass.png", ScenePng(64, 48));
  WriteBytes(folder / "disc.bmp", SceneBmp(56, 56));
  auto name = [&](const char* file) { return bareNames ? std::string(file) : (folder / file).string(); };
  std::string text;
  for (int32_t i = 0; i < 20; ++i) {
    const std::string n = std::to_string(i);
    text += "[Obj" + n + "]\r\n";
    const int32_t kind = i % 4;
    if (kind == 0)
      text += "ObjType=GIF\r\nFilename=" + name("walker.gif") + "\r\nTransparent=1\r\nAnimSpeed=" +
              std::to_string(5 + i) + "\r\n";
    else if (kind == 1)
      text += "ObjType=IMG\r\nFilename=" + name("glass.png") + "\r\nTransparent=1\r\nTransparentType=0\r\n";
    else if (kind == 2)
      text += "ObjType=IMG\r\nFilename=" + name("disc.bmp") + "\r\nTransparent=1\r\nTransparentType=0\r\n";
    else {
      const std::string lines = "Object " + n + "\r\nline two";
      text += "ObjType=TXT\r\nText=" + (encodeText ? EncodeObjectText(lines) : std::string("Object " + n + "\\nline two")) +
              "\r\nFont=Arial\r\nFontSize=" + std::to_string(14 + i) + "\r\nPosition=" + std::to_string(i % 9) +
              "\r\nTextColor=" + std::to_string(0x30A0F0 + i) + "\r\n";
    }
    text += "Motion=" + std::to_string(i % 5) + "\r\nMotionSpeed=" + std::to_string(5 + i) +
            "\r\nPosLeftType=4\r\nPosTopType=4\r\nObjFacing=" + std::to_string(i % 3) +
            "\r\nOpacity=" + std::to_string(6 + i % 5) + "\r\nWidthSize=" + std::to_string(60 + 10 * (i % 6)) +
            "\r\nHeightSize=" + std::to_string(60 + 10 * (i % 6)) + "\r\n";
    if (i % 3 == 0)
      text += "DisplayDurationType=1\r\nDisplayDurationSec=2\r\nRedisplayDelay=1\r\nAppearEffect=1\r\n"
              "AppearEffectDur=1\r\nDisappearEffect=1\r\nDisappearEffectDur=1\r\n";
  }
  return text;
}

// The twenty objects over a patterned `width` x `height` picture, as a scene
// file ("scene.ini", bare file names) in `folder`; returns its path.
inline std::filesystem::path WriteObjectSceneFile(const std::filesystem::path& folder, int32_t width,
                                                  int32_t height) {
  const std::string objects = WriteObjectScene(folder, false, true);
  DecodedPicture back;
  back.width = width;
  back.height = height;
  back.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (size_t i = 0; i < back.pixels.size(); ++i)
    back.pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
  scene_detail::WriteBytes(folder / "back.png", EncodePng(back, false));
  scene_detail::WriteBytes(folder / "scene.ini", "[Scene]\r\nTitle=Objects\r\nBackground=back.png\r\n" + objects);
  return folder / "scene.ini";
}

// A project built in code around an objects text: a background of
// `width` x `height` (water on its lower half when `water`), time standing
// still until a frame moves it, a fixed seed and caller-driven objects, so
// the same frames come out on every run. Unless `manual`, the objects run
// on their own threads (on the same clock) as in the saver.
struct ObjectSceneRig {
  ManualClock clock{1000};
  ScopedClock scoped{clock};
  ScenePlayer scene;
  Project& project = scene.GetProject();
  Engine& engine = scene.GetEngine();

  ObjectSceneRig(int32_t width, int32_t height, const std::string& objectsText, FontRaster* fonts = nullptr,
                 bool water = false, uint64_t seed = 7, bool manual = true) {
    SetFixedSeed(seed);
    project.Background.SetSize(width, height);
    project.Mask.SetSize(width, height);
    for (int32_t y = 0; y < height; ++y) {
      Color32* bg = project.Background.ScanLine(y);
      Color32* m = project.Mask.ScanLine(y);
      for (int32_t x = 0; x < width; ++x) {
        bg[x] = Rgba(static_cast<uint8_t>(x * 3 + y), static_cast<uint8_t>(y * 5), static_cast<uint8_t>(x ^ y));
        m[x] = water && y >= height / 2 ? LayerColors[1 + static_cast<size_t>(x / 64 % 3)] : 0x00FFFFFFu;
      }
    }
    project.Width = width;
    project.Height = height;
    for (auto& p : project.WaveLayers) p.SetLoaderDefaults();
    Objects().SetManualStepping(manual);
    Objects().LoadObjects(objectsText);
    project.ObjectsText = objectsText;
    engine.Fonts = fonts;
    scene.Prepare(SceneOptions{});
  }
  ~ObjectSceneRig() { SetFixedSeed(std::nullopt); }

  ObjectList& Objects() { return *scene.Objects(); }

  // One frame `stepMs` after the last: the objects' steps, then the engine's.
  void Frame(uint32_t stepMs = 32) {
    Objects().StepFor(clock, stepMs);
    engine.Step();
  }

  std::vector<Color32> Pixels() {
    const Bitmap32& out = engine.OutputSurface();
    return {out.Bits(), out.Bits() + static_cast<size_t>(out.Width()) * static_cast<size_t>(out.Height())};
  }
};

}  // namespace lumevra::test
