// A small but complete project for tests: 8 x 6 background, 4 x 3
// thumbnail, a mask using every layer colour, all eight wave layers set,
// snow, two sound slots, objects text and build settings.
#pragma once

#include <string>

#include "authoring/ProjectWriter.h"
#include "graphics/PictureLoader.h"

namespace lumevra::test {

// A solid-colour JPEG of the given size.
std::string SolidJpeg(int32_t width, int32_t height, uint32_t color);

ProjectData SmallProject();

}  // namespace lumevra::test
