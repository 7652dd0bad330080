#include "support/SaverFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "authoring/Scene.h"
#include "graphics/JpegWriter.h"
#include "graphics/PngWriter.h"
#include "package/ProjectRecords.h"
#include "support/TestFiles.h"

namespace lumevra::test {

namespace fs = std::filesystem;

namespace {

std::string Le(uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}

DecodedPicture Picture(int32_t w, int32_t h) {
  DecodedPicture p;
  p.width = w;
  p.height = h;
  p.pixels.resize(static_cast<size_t>(w) * h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      p.pixels[static_cast<size_t>(y) * w + x] =
          0xFF000000u | (static_cast<uint32_t>(x * 255 / w) << 16) | (static_cast<uint32_t>(y * 255 / h) << 8) | 0x40;
  return p;
}

DecodedPicture Mask(int32_t w, int32_t h) {
  DecodedPicture p;
  p.width = w;
  p.height = h;
  p.pixels.assign(static_cast<size_t>(w) * h, 0xFF000000u);
  for (int32_t y = h / 2; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) p.pixels[static_cast<size_t>(y) * w + x] = 0xFF000000u | MaskColor(1);
  return p;
}

}  // namespace

std::string SmallWave(size_t samples) {
  std::string data(samples, '\0');
  for (size_t i = 0; i < samples; ++i) data[i] = static_cast<char>(128 + ((i / 8) % 2 ? 40 : -40));
  const std::string fmt = Le(1, 2) + Le(1, 2) + Le(8000, 4) + Le(8000, 4) + Le(1, 2) + Le(8, 2);
  const std::string body = "fmt " + Le(static_cast<uint32_t>(fmt.size()), 4) + fmt + "data" +
                           Le(static_cast<uint32_t>(data.size()), 4) + data;
  return "RIFF" + Le(static_cast<uint32_t>(4 + body.size()), 4) + "WAVE" + body;
}

fs::path BuildRealSaver(const fs::path& folder, const SceneSpec& scene, const fs::path& runtime) {
  fs::create_directories(folder / "build");
  const fs::path built = BuildSaver(folder / "build", scene);
  const fs::path saver = folder / "Real.scr";
  fs::copy_file(runtime, saver, fs::copy_options::overwrite_existing);
  // The stand-in runtime BuildSaver packs behind gives way to the real one.
  const std::string standIn = ReadFile(folder / "build" / "runtime.bin");
  const std::string whole = ReadFile(built);
  std::ofstream(saver, std::ios::binary | std::ios::app) << whole.substr(standIn.size());
  fs::remove_all(folder / "build");
  fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
  return saver;
}

fs::path BuildSaver(const fs::path& dir, const SceneSpec& scene, const std::string& name) {
  const fs::path media = dir / "media";
  fs::create_directories(media);
  WriteFile(media / "back.jpg", EncodeJpeg(Picture(scene.width, scene.height), 95));
  std::ostringstream ini;
  ini << "[Scene]\nTitle=" << scene.title << "\nDescription=" << scene.description << "\nBackground=back.jpg\n";
  if (scene.water) {
    WriteFile(media / "mask.png", EncodePng(Mask(scene.width, scene.height), false));
    ini << "Mask=mask.png\n";
  }
  if (scene.music) {
    WriteFile(media / "tune.mp3", "not really music, the headless player only opens it");
    ini << "Music=tune.mp3\n";
  }
  ini << "MusicVolume=" << scene.musicVolume << "\nSoundVolume=" << scene.soundVolume << "\n";
  if (scene.water)
    ini << "[Wave0]\nAmplitude=3\nWaveCount=8\nSpeed=20\nDirection=1\nVertWave=1\nPeriod=360\n";
  ini << "[Weather]\nKind=" << scene.weather << "\n";
  for (size_t i = 0; i < scene.sounds.size(); ++i) {
    const SceneSound& s = scene.sounds[i];
    const std::string file = "sound" + std::to_string(i) + ".wav";
    WriteFile(media / file, s.valid ? SmallWave() : std::string("this is no wave"));
    ini << "[Sound" << i << "]\nFile=" << file << "\nPlayMode=" << s.playMode << "\nPauseMin=" << s.pauseMin
        << "\nPauseMax=" << s.pauseMax << "\n";
  }
  ini << scene.extra;
  WriteFile(media / "scene.ini", ini.str());
  // The runtime part does not matter to the package search.
  WriteFile(dir / "runtime.bin", "runtime stand-in\n");
  const fs::path out = dir / name;
#ifdef _WIN32
  // Wine's cmd.exe now and then fails to start a program under load: build
  // in-process with the code that scrtool build runs.
  try {
    WriteScreensaver(LoadScene(media / "scene.ini"), out, dir / "runtime.bin");
  } catch (const std::exception& e) {
    ADD_FAILURE() << "building the scene: " << e.what();
  }
#else
  std::string output;
  const std::string command = std::string(LUMEVRA_SCRTOOL) + " build '" + (media / "scene.ini").string() + "' -o '" +
                              out.string() + "' --runtime '" + (dir / "runtime.bin").string() + "' 2>&1";
  EXPECT_EQ(RunCommand(command, output), 0) << output;
#endif
  return out;
}

HeadlessSystem SaverSystem(const fs::path& programFile, std::vector<std::string> args, const fs::path& dir) {
  HeadlessSystem system;
  system.programFile = programFile;
  system.arguments = std::move(args);
  system.tempFolder = dir / "tmp";
  fs::create_directories(system.tempFolder);
  return system;
}

std::vector<fs::path> FilesBelow(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code ec;
  if (!fs::exists(dir, ec)) return files;
  for (const auto& e : fs::recursive_directory_iterator(dir, ec))
    if (e.is_regular_file(ec)) files.push_back(e.path());
  return files;
}

}  // namespace lumevra::test
