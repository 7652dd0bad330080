// Shared helpers of the snow and rain tests: surfaces, pixel comparison and
// a fixed random seed that is released after each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/Random.h"
#include "graphics/Bitmap32.h"

namespace lumevra::testing_weather {

inline constexpr Color32 kBlack = Rgba(0, 0, 0, 255);

inline void Fill(Bitmap32& bmp, int32_t w, int32_t h, Color32 color = kBlack) {
  bmp.SetSize(w, h);
  bmp.Clear(color);
}

// Lists up to a few differing pixels; empty when the surfaces match.
inline std::string PixelDiff(const Bitmap32& actual, const Bitmap32& expected) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height()) return "size differs";
  std::string out;
  int shown = 0;
  for (int32_t y = 0; y < actual.Height(); ++y)
    for (int32_t x = 0; x < actual.Width(); ++x)
      if (actual.GetPixel(x, y) != expected.GetPixel(x, y) && shown++ < 6)
        out += "(" + std::to_string(x) + "," + std::to_string(y) + ") got " +
               std::to_string(actual.GetPixel(x, y)) + " want " + std::to_string(expected.GetPixel(x, y)) + "; ";
  return out;
}

// Count of pixels that are no longer the background colour.
inline int CountChanged(const Bitmap32& bmp, Color32 background = kBlack) {
  int n = 0;
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x) n += bmp.GetPixel(x, y) != background;
  return n;
}

// Fixed generator for the test; clock seeding again afterwards.
class SeededTest : public ::testing::Test {
protected:
  void TearDown() override { SetFixedSeed(std::nullopt); }
};

}  // namespace lumevra::testing_weather
