// A project file: it loads with consistent sizes, or fails with a message
// and leaves a consistent, empty project.
#include <cstdint>

#include "FuzzSupport.h"
#include "objects/ObjectList.h"
#include "package/Project.h"

using namespace lumevra;

namespace {

bool Consistent(const Bitmap32& b) { return b.Empty() == (b.Width() <= 0 || b.Height() <= 0); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto file = fuzz::Scratch() / "saver.kap";
  fuzz::WriteBytes(file, fuzz::AsText(data, size));
  Project project([] { return std::make_unique<ObjectList>(); });
  const bool loaded = project.LoadProject(file);
  fuzz::Require(loaded || !project.LoadError.empty(), "a failed load says nothing");
  for (const Bitmap32* b : {&project.Background, &project.Thumbnail, &project.Mask})
    fuzz::Require(Consistent(*b), "a picture's size and pixels disagree");
  if (loaded) {
    fuzz::Require(project.Width == project.Background.Width() && project.Height == project.Background.Height(),
                  "the project's size is not its picture's");
    fuzz::Require(project.Mask.Empty() || (project.Mask.Width() == project.Width &&
                                           project.Mask.Height() == project.Height),
                  "the mask's size is not the picture's");
    fuzz::Require(project.SoundCount() >= 0 && project.SoundCount() <= 8, "sound slots out of range");
  }
  return 0;
}
