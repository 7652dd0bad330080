// A PNG writer for tools: rendered frames and generated example pictures.
#pragma once

#include <string>

#include "graphics/PictureLoader.h"

namespace lumevra {

// The picture as a PNG stream: RGBA when `withAlpha`, else RGB (alpha
// dropped). Throws PictureError for a picture whose pixels do not match
// its size.
std::string EncodePng(const DecodedPicture& picture, bool withAlpha);

}  // namespace lumevra
