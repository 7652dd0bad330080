// Writing JPEG files: the authoring tools store project backgrounds and
// thumbnails as JPEG blocks.
#pragma once

#include <string>

#include "graphics/PictureLoader.h"

namespace lumevra {

// The picture as a baseline JFIF stream (alpha ignored). `quality` is 1..100
// (values outside are clamped). Raises PictureError for a picture without
// pixels or whose pixel count does not match its size.
std::string EncodeJpeg(const DecodedPicture& picture, int quality = 90);

}  // namespace lumevra
