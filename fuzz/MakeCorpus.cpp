// Writes the fuzz targets' seed corpora with the project's own writers and
// the example scene, small enough to keep in the repository:
//   make_fuzz_corpus <source folder> <corpus folder>
// or what holds the package's stored marker, which no file of the
// repository may hold (the runtime would take it for its package): the
// package target's seeds and dictionary, made afresh for each fuzz run:
//   make_fuzz_corpus --package <folder>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "authoring/PackageWriter.h"
#include "authoring/ProjectWriter.h"
#include "authoring/Scene.h"
#include "graphics/JpegWriter.h"
#include "support/PictureFixtures.h"
#include "graphics/PictureLoader.h"

namespace fs = std::filesystem;
using namespace lumevra;

namespace {

fs::path gOut;

void Seed(const std::string& target, const std::string& name, const std::string& bytes) {
  fs::create_directories(gOut / target);
  std::ofstream(gOut / target / name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

DecodedPicture Plain(int32_t width, int32_t height, uint32_t colour) {
  DecodedPicture p;
  p.width = width;
  p.height = height;
  p.pixels.assign(static_cast<size_t>(width) * height, colour);
  return p;
}

// A RIFF wave of 16-bit mono samples, with an odd-sized chunk before the
// data when `oddChunk` (padded as the format asks).
std::string Wave(size_t samples, bool oddChunk) {
  std::string body = "WAVE";
  body += "fmt " + test::Le32(16) + test::Le16(1) + test::Le16(1) + test::Le32(8000) + test::Le32(16000) +
          test::Le16(2) + test::Le16(16);
  if (oddChunk) body += "LIST" + test::Le32(5) + "INFOx" + std::string(1, '\0');
  body += "data" + test::Le32(static_cast<uint32_t>(samples * 2)) + std::string(samples * 2, '\x10');
  return "RIFF" + test::Le32(static_cast<uint32_t>(body.size())) + body;
}

// The example's layers, weather, sounds and objects on a 16 x 12 picture.
ProjectData SmallProject(const BuiltScene& built) {
  ProjectData project = built.project;
  project.BackgroundJpeg = EncodeJpeg(Plain(16, 12, 0xFF305070u), 75);
  project.ThumbnailJpeg = EncodeJpeg(Plain(8, 6, 0xFF305070u), 75);
  std::vector<uint8_t> codes(16 * 12, 0);
  for (size_t i = 16 * 6; i < codes.size(); ++i) codes[i] = i < 16 * 9 ? 1 : 2;
  project.MaskCodes = EncodeMask(16, 12, codes);
  return project;
}

// A program with the package appended (header, a small project, a sound),
// and the dictionary with the stored marker.
void WritePackageSeeds(const fs::path& folder) {
  ProjectData project;
  project.BackgroundJpeg = EncodeJpeg(Plain(16, 12, 0xFF305070u), 75);
  project.ThumbnailJpeg = EncodeJpeg(Plain(8, 6, 0xFF305070u), 75);
  project.MaskCodes = EncodeMask(16, 12, std::vector<uint8_t>(16 * 12, 1));
  project.ObjectsText = "[Obj0]\r\nObjType=TXT\r\nText=hello\r\n";
  PackageWriter writer;
  writer.AddBytes("[Header]\r\nResCount=3\r\nRes0=KAHeader.dat\r\nRes1=Saver.kap\r\nRes2=sound0.wav\r\n"
                  "Music=0\r\nMusicVolume=80\r\nSoundVolume=70\r\n");
  writer.AddBytes(ProjectBytes(project));
  writer.AddBytes(Wave(16, false));
  std::ostringstream program;
  program << std::string(64, '\x90');
  writer.Write(program);
  Seed("package", "small.scr", program.str());
  std::ofstream dict(folder / "package.dict", std::ios::trunc);
  dict << "# The stored marker, the header section and its keys.\n\"" << PackageWriter::StoredMarker()
       << "\"\n\"[Header]\"\n\"ResCount=\"\n\"Res0=\"\n\"Res1=\"\n\"Res2=\"\n\"\\x0d\\x0a\"\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--package") {
    gOut = argv[2];
    WritePackageSeeds(fs::path(argv[2]));
    return 0;
  }
  if (argc != 3) {
    std::cerr << "usage: make_fuzz_corpus <source folder> <corpus folder>\n";
    return 2;
  }
  const fs::path source = argv[1];
  gOut = argv[2];
  const fs::path lake = source / "examples" / "lake";

  // Pictures: every format the loader knows, small.
  Seed("picture", "bird.bmp", ReadAll(lake / "bird.bmp"));
  Seed("picture", "moon.png", ReadAll(lake / "moon.png"));
  Seed("picture", "mask.png", ReadAll(lake / "lake-mask.png"));
  Seed("picture", "small.jpg", EncodeJpeg(Plain(16, 12, 0xFF406080u), 75));
  const std::vector<uint32_t> palette = {0xFF000000u, 0xFFFF0000u, 0xFF00FF00u, 0xFFFFFFFFu};
  const test::GifFrameSpec first{
      .width = 4, .height = 3, .indices = std::vector<uint8_t>(12, 1), .transparentIndex = 0, .delayCs = 10};
  const test::GifFrameSpec second{
      .left = 1, .top = 1, .width = 2, .height = 2, .indices = {2, 3, 3, 2}, .delayCs = 20, .interlaced = true};
  Seed("picture", "two-frames.gif", test::MakeGif(4, 3, palette, {first, second}));
  Seed("picture", "plain.gif", test::MakeGif(2, 2, palette, {{.width = 2, .height = 2, .indices = {0, 1, 2, 3}}}));

  // Waves.
  Seed("wave", "chime.wav", ReadAll(lake / "chime.wav"));
  Seed("wave", "odd-chunk.wav", Wave(40, true));
  Seed("wave", "plain.wav", Wave(16, false));

  // The example scene as the builder reads it, and as it packs it.
  const BuiltScene built = LoadScene(lake / "lake.ini");
  Seed("ini", "lake-scene.ini", ReadAll(lake / "lake.ini"));
  Seed("ini", "header.ini", built.headerText);
  Seed("ini", "settings.ini",
       "; written by hand\r\n[Config]\r\nSpeed=100\r\nStretch=1\r\nProportional=0\r\nSound=1\r\nMusic=1\r\n"
       "ClockPos=1\r\nShowClock=0\r\nAllMonitors=1\r\n");
  Seed("objects", "lake-objects.txt", built.project.ObjectsText);
  Seed("objects", "kinds.txt",
       "[Obj0]\r\nObjType=GIF\r\nFilename=a.gif\r\nAnimSpeed=5\r\nMotion=3\r\n[Obj1]\r\nObjType=TXT\r\n"
       "Text=two|lines\r\nFontSize=14\r\nAppearEffect=2\r\n[Obj2]\r\nObjType=IMG\r\nFilename=b.png\r\nOpacity=4\r\n");

  Seed("project", "small.kap", ProjectBytes(SmallProject(built)));
  ProjectData tailless = SmallProject(built);
  tailless.WriteTail = false;
  Seed("project", "no-tail.kap", ProjectBytes(tailless));

  // Scenes for the builder, whose folder holds back.png and mask.png.
  Seed("scene", "small.ini",
       "[Scene]\r\nTitle=Seed\r\nBackground=back.png\r\nMask=mask.png\r\n[Wave0]\r\nAmplitude=3\r\nWaveCount=5\r\n"
       "[Weather]\r\nKind=snow\r\nAmount=40\r\n[Obj0]\r\nObjType=TXT\r\nText=hello\\nthere\r\nMotion=2\r\n");
  Seed("scene", "lake.ini", ReadAll(lake / "lake.ini"));
  std::cout << "seeds written to " << gOut << "\n";
  return 0;
}
