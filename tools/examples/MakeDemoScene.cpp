// Makes every picture and sound of the demo scene (examples/demo/demo.ini)
// by code, so that the demo ships no third-party media:
//   lakeside.jpg       the landscape, 1920 x 1080
//   lakeside-mask.png  its water layers
//   sun.png            the sun, with an alpha channel
//   gull.gif           a gull beating its wings, looping
//   water.wav          lapping water, a seamless loop
//   chirp.wav          a bird's call
//   melody.wav         the music
//
//   make_demo_scene OUTDIR
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "DemoLandscape.h"
#include "DemoSounds.h"
#include "DemoSprites.h"
#include "GifWriter.h"
#include "WaveWriter.h"
#include "graphics/JpegWriter.h"
#include "graphics/PngWriter.h"

namespace {

namespace fs = std::filesystem;

void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_demo_scene OUTDIR\n";
    return 2;
  }
  try {
    namespace demo = lumevra::demo;
    const fs::path out = argv[1];
    fs::create_directories(out);
    const demo::Landscape land = demo::PaintLandscape();
    WriteBytes(out / "lakeside.jpg", lumevra::EncodeJpeg(land.picture, 90));
    WriteBytes(out / "lakeside-mask.png", lumevra::EncodePng(land.mask, false));
    WriteBytes(out / "sun.png", lumevra::EncodePng(demo::PaintSun(), true));
    demo::WriteAnimatedGif(out / "gull.gif", demo::PaintGull());
    demo::WriteWav16(out / "water.wav", demo::WaterLoop(), demo::kSoundRate);
    demo::WriteWav16(out / "chirp.wav", demo::BirdChirp(), demo::kSoundRate);
    demo::WriteWav16(out / "melody.wav", demo::Melody(), demo::kSoundRate);
  } catch (const std::exception& e) {
    std::cerr << "make_demo_scene: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
