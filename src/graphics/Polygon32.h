// Polygon32: fills contours of 16.16 fixed-point points onto a surface,
// optionally anti-aliased by sub-sample coverage. The clock draws its hands
// and hour marks with it.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/Bitmap32.h"

namespace lumevra {

struct FixedPoint {
  int32_t X = 0, Y = 0;
  bool operator==(const FixedPoint&) const = default;
};

// An integer pixel coordinate in 16.16 fixed point (wrapping beyond +-32767).
inline constexpr int32_t Fixed(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) << 16); }
inline constexpr FixedPoint ToFixedPoint(int32_t x, int32_t y) { return {Fixed(x), Fixed(y)}; }

enum class PolyFillMode { pfAlternate, pfWinding };

class Polygon32 {
public:
  Polygon32() { Clear(); }

  // Appends to the last contour.
  void Add(FixedPoint p) { contours_.back().push_back(p); }
  // Starts a new contour.
  void NewLine() { contours_.emplace_back(); }
  // Back to one empty contour.
  void Clear() { contours_.assign(1, {}); }
  const std::vector<std::vector<FixedPoint>>& Contours() const { return contours_; }

  // Fills every contour of at least three points with the colour, blended at
  // the colour's alpha times the pixel's coverage; every contour is closed
  // for filling. Only pixels inside the surface's clip rectangle are touched.
  void DrawFill(Bitmap32& surface, Color32 color) const;

  // Sub-samples per pixel on each axis when Antialiased.
  int32_t SubSamples() const;

  bool Antialiased = false;
  // 0: 32, 1: 16, 2: 8, 3: 4, 4: 2 sub-samples per axis; above 4: none.
  uint8_t AntialiasMode = 2;
  bool Closed = true;
  PolyFillMode FillMode = PolyFillMode::pfAlternate;

private:
  std::vector<std::vector<FixedPoint>> contours_;
};

}  // namespace lumevra
