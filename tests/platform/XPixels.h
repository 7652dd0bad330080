// Reading a window's pixels back from the X server, for the desktop tests.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace lumevra::test {

// Whether the tests that need an X server can run.
inline bool HaveDisplay() {
  const char* d = std::getenv("DISPLAY");
  return d != nullptr && *d != '\0';
}

// The pixel at (x, y) of `window` as 0xRRGGBB; the window's visual is taken
// to be TrueColor with 8 bits per channel (as a 24-bit virtual screen has).
inline uint32_t ReadRgb(Display* display, unsigned long window, int x, int y) {
  XSync(display, False);
  XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return 0xFFFFFFFFu;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  const auto part = [pixel](unsigned long mask) {
    int shift = 0;
    while (mask != 0 && ((mask >> shift) & 1) == 0) ++shift;
    return static_cast<uint32_t>((pixel & mask) >> shift) & 0xFF;
  };
  const uint32_t rgb = part(image->red_mask) << 16 | part(image->green_mask) << 8 | part(image->blue_mask);
  XDestroyImage(image);
  return rgb;
}

// Every pixel of a window (or the root window) as 0xRRGGBB, row by row;
// empty when the window cannot be read.
inline std::vector<uint32_t> Grab(Display* display, unsigned long window, int width, int height) {
  std::vector<uint32_t> pixels;
  XSync(display, False);
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                            AllPlanes, ZPixmap);
  if (!image) return pixels;
  pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
  XDestroyImage(image);
  return pixels;
}

// The largest difference of one colour channel between two 0xRRGGBB values.
inline int Distance(uint32_t a, uint32_t b) {
  int most = 0;
  for (int shift : {0, 8, 16}) most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return most;
}

}  // namespace lumevra::test
