// GIF decoding through giflib, from memory. All frames are kept as stored
// (palette indices plus each frame's graphic control), so that an animation
// can paint them in turn; DecodePicture uses the first frame composed on the
// logical screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "graphics/PictureLoader.h"

namespace lumevra {

// More frames than this end the animation (each frame costs a record even
// when tiny).
inline constexpr size_t kMaxGifFrames = 10000;

// What happens to a frame's area before the next frame is painted.
enum class GifDisposal : uint8_t {
  Unspecified = 0,        // left as it is, as Keep
  Keep = 1,
  RestoreBackground = 2,  // the area is cleared to the background
  RestorePrevious = 3,    // the canvas goes back to what it was before the frame
};

// The graphic control extension's disposal method; the reserved values 4..7
// are Unspecified.
constexpr GifDisposal GifDisposalOf(int32_t stored) {
  return stored >= 1 && stored <= 3 ? static_cast<GifDisposal>(stored) : GifDisposal::Unspecified;
}

struct GifFrame {
  // The frame's rectangle on the logical screen (may reach past it).
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  // width x height palette indices, rows top to bottom (interlacing undone).
  std::vector<uint8_t> indices;
  // The frame's own colour map, else the global one, as Color32 (alpha 255).
  std::vector<uint32_t> palette;
  // From the graphic control extension before the frame.
  bool hasControl = false;        // the frame has such an extension
  int32_t transparentIndex = -1;  // -1: none
  int32_t delayCs = 0;            // hundredths of a second
  GifDisposal disposal = GifDisposal::Unspecified;
};

struct GifAnimation {
  int32_t width = 0;  // the logical screen
  int32_t height = 0;
  std::vector<uint32_t> globalPalette;  // empty when the file has none
  std::vector<GifFrame> frames;         // at least one
  // False when a damaged or over-large frame after the first ended decoding:
  // the frames before it are kept, as a viewer would show them.
  bool complete = true;
};

// Raises PictureError when not even the first frame can be decoded. Stops
// after `maxFrames` frames, or before the frame that would take the
// animation past the limits' frame pixels. Animations play as objects.
GifAnimation DecodeGifAnimation(std::string_view bytes, const PictureLimits& limits = kObjectPictureLimits,
                                size_t maxFrames = kMaxGifFrames);

// Paints the frame's opaque pixels onto `canvas` (screenWidth x screenHeight
// Color32, rows top to bottom), clipped to the screen; transparent pixels
// leave the canvas as it is.
void PaintGifFrame(const GifFrame& frame, int32_t screenWidth, int32_t screenHeight, uint32_t* canvas);

}  // namespace lumevra
