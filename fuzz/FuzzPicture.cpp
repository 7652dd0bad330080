// A picture of any format, detected by content: it decodes to a picture of
// the size it says within the limits, or fails with the picture error; a
// GIF's frames stay within the limits too.
#include <cstdint>

#include "FuzzSupport.h"
#include "graphics/GifDecoder.h"
#include "graphics/PictureLoader.h"

using namespace lumevra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::AsText(data, size);
  try {
    const DecodedPicture picture = DecodePicture(bytes);
    fuzz::Require(picture.width > 0 && picture.height > 0 && picture.width <= kBackgroundPictureLimits.maxSide &&
                      picture.height <= kBackgroundPictureLimits.maxSide &&
                      int64_t{picture.width} * picture.height <= kBackgroundPictureLimits.maxPixels,
                  "a picture's size is out of bounds");
    fuzz::Require(picture.pixels.size() == static_cast<size_t>(picture.width) * picture.height,
                  "a picture's pixels do not fill its size");
  } catch (const PictureError&) {
  }
  if (DetectPictureFormat(bytes) == PictureFormat::Gif) {
    try {
      const GifAnimation animation = DecodeGifAnimation(bytes);
      fuzz::Require(int64_t{animation.width} * animation.height <= kObjectPictureLimits.maxPixels,
                    "an animation's screen is larger than the limit");
      int64_t pixels = 0;
      for (const GifFrame& frame : animation.frames) {
        fuzz::Require(frame.indices.size() == static_cast<size_t>(frame.width) * frame.height,
                      "a frame's indices do not fill it");
        pixels += int64_t{frame.width} * frame.height;
      }
      fuzz::Require(pixels <= kObjectPictureLimits.maxFramePixels, "the frames hold more pixels than the limit");
    } catch (const PictureError&) {
    }
  }
  return 0;
}
