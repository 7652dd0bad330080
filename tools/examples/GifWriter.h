// Writing looping animated GIFs (through giflib) for the generated example
// scenes: one palette, full-size frames, one transparent index.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumevra::demo {

struct IndexedAnimation {
  int32_t width = 0, height = 0;
  // At most 256 entries, R, G, B.
  std::vector<std::array<uint8_t, 3>> palette;
  // One index per pixel, rows top to bottom, width x height per frame.
  std::vector<std::vector<uint8_t>> frames;
  int32_t delayCs = 10;          // hundredths of a second per frame
  int32_t transparentIndex = -1;  // -1: none
};

// The animation as a GIF stream, looping for ever, each frame cleared to
// the background before the next (so transparent pixels stay see-through).
// Throws std::runtime_error for a malformed animation.
std::string EncodeAnimatedGif(const IndexedAnimation& a);

// The same, written to `file`; throws std::runtime_error when it cannot.
void WriteAnimatedGif(const std::filesystem::path& file, const IndexedAnimation& a);

}  // namespace lumevra::demo
