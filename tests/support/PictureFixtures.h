// Small pictures made in memory with the format libraries' own writers (and
// BMP bytes by hand), for the tests and the fuzz seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumevra::test {

// B,G,R,A pixels (Color32), rows top to bottom.
std::string MakePng(int32_t width, int32_t height, const std::vector<uint32_t>& pixels, bool withAlpha);
std::string MakeGreyPng(int32_t width, int32_t height, const std::vector<uint8_t>& grey);

struct GifFrameSpec {
  int32_t left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> indices;  // rows top to bottom
  int32_t transparentIndex = -1;
  int32_t delayCs = 0;
  bool interlaced = false;
  std::vector<uint32_t> localPalette = {};  // empty: use the global one
  // A graphic control extension is written when a transparent index or a
  // delay needs one, or when this asks for it.
  bool controlBlock = false;
};
// Palettes are Color32 values; their size must be a power of two.
std::string MakeGif(int32_t screenWidth, int32_t screenHeight, const std::vector<uint32_t>& globalPalette,
                    const std::vector<GifFrameSpec>& frames);

// A JPEG of ink values C, M, Y, K per pixel, stored inverted with the
// marker that says so, as most CMYK files are.
std::string MakeInvertedCmykJpeg(int32_t width, int32_t height, const std::vector<uint8_t>& cmyk);

// File header + 40-byte info header + palette (4 bytes an entry) + pixels.
std::string MakeBmp(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression,
                    const std::vector<uint32_t>& palette, const std::string& pixelData,
                    const std::vector<uint32_t>& masks = {});

// Little-endian integers as bytes.
std::string Le16(uint16_t v);
std::string Le32(uint32_t v);

}  // namespace lumevra::test
