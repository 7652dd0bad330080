// How frames travel to a backend: a view of 32-bit pixels and a size.
#pragma once

#include <cstdint>

namespace lumevra {

// A 32-bit surface handed to a backend: B, G, R, A bytes per pixel, rows
// top-down, `stride` pixels apart.
struct PixelView {
  const uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;
};

// A width and height in pixels (of a screen, a window, a text line).
struct PixelSize {
  int32_t cx = 0;
  int32_t cy = 0;
};

// A rectangle of pixels: its top left corner and its size.
struct PixelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const PixelRect&) const = default;
};

}  // namespace lumevra
