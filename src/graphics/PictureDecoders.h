// The per-format decoders behind DecodePicture, and the size check they all
// apply before allocating any pixels. Internal to the graphics library.
#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/PictureLoader.h"

namespace lumevra {

// Raises PictureError unless width x height is a picture we are willing to
// allocate: both sides positive, neither above the limits' side, the area
// not above their pixels. `format` names the format in the message.
void CheckPictureSize(int64_t width, int64_t height, const PictureLimits& limits, const char* format);

// Raises PictureError when `available` bytes cannot hold a picture whose
// smallest possible encoding takes `needed` bytes: a header that promises
// far more pixels than its file could carry is refused before the pixels
// are allocated.
void CheckEnoughData(uint64_t needed, uint64_t available, const char* format);

DecodedPicture DecodePng(std::string_view bytes, const PictureLimits& limits);
DecodedPicture DecodeGif(std::string_view bytes, const PictureLimits& limits);  // the first frame
DecodedPicture DecodeBmp(std::string_view bytes, const PictureLimits& limits);

}  // namespace lumevra
