// A scene file for the builder, with a small picture and mask beside it:
// it builds, or fails with the scene or picture error, and whatever it packs
// is a file that exists.
#include <cstdint>
#include <filesystem>

#include "FuzzSupport.h"
#include "authoring/Scene.h"
#include "graphics/PictureLoader.h"
#include "graphics/PngWriter.h"

namespace fs = std::filesystem;
using namespace lumevra;

namespace {

void WritePicture(const fs::path& file, uint32_t colour) {
  DecodedPicture picture;
  picture.width = 8;
  picture.height = 6;
  picture.pixels.assign(48, colour);
  fuzz::WriteBytes(file, EncodePng(picture, false));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path folder = fuzz::Scratch() / "scene";
  static const bool made = [&] {
    fs::create_directories(folder);
    WritePicture(folder / "back.png", 0xFF336699u);
    WritePicture(folder / "mask.png", 0xFF000000u);
    return true;
  }();
  (void)made;
  const fs::path sceneFile = folder / "scene.ini";
  fuzz::WriteBytes(sceneFile, fuzz::AsText(data, size));
  try {
    const BuiltScene scene = LoadScene(sceneFile);
    for (const BuiltScene::Media& media : scene.media) fuzz::Require(fs::exists(media.file), "a packed file is missing");
  } catch (const SceneError&) {
  } catch (const PictureError&) {
  }
  return 0;
}
