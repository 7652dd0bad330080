// Where the saver shows its frame on the screen.
#pragma once

#include <cstdint>

namespace lumevra {

struct FrameOffset {
  int32_t x = 0;
  int32_t y = 0;
};

// The frame is centred unless it was stretched to the whole screen (stretched
// without keeping the proportions); a picture larger than the screen gets
// negative offsets and is cut equally on both sides.
inline FrameOffset PresentOffset(bool stretch, bool proportional, int32_t screenW, int32_t screenH,
                                 int32_t pictureW, int32_t pictureH) {
  if (stretch && !proportional) return {};
  return {(screenW - pictureW) / 2, (screenH - pictureH) / 2};
}

}  // namespace lumevra
