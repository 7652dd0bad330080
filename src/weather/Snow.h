// Snow: white flakes falling over the frame surface, bigger ones faster,
// drifting sideways and wrapping around the edges.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/Bitmap32.h"

namespace lumevra {

struct SnowFlake {
  double X = 0;      // pixels
  double Y = 0;      // pixels
  int32_t Size = 0;  // MaxSize - 2 .. MaxSize once advanced
  double Drift = 0;  // -1, 0 or +1: sideways movement per unit of fall step
};

class Snow {
public:
  static constexpr int32_t kMaxAmount = 1000;

  Snow();

  // Amount := n, at most kMaxAmount (a negative count means no flakes).
  void SetAmount(int32_t n);
  // Scatters Amount flakes over the surface.
  void Populate();
  // Moves every flake by one frame and draws them all.
  void Advance();

  // One flake of size s centred at (x, y), blended white and clipped.
  void DrawFlake(int32_t x, int32_t y, int32_t s);
  // A filled disc of radius r at (x, y) in white with the given alpha.
  void DrawDisc(int32_t x, int32_t y, int32_t r, uint8_t alpha);

  int32_t Amount = 0;
  Bitmap32* Surface = nullptr;  // not owned
  std::vector<SnowFlake> Flakes;
  int32_t SpeedIndex = 2;
  int32_t SpeedPercent = 100;
  int32_t Elapsed = 0;
  int32_t Opacity = 10;  // tenths, 10 = full
  bool TimeBased = true;
  int32_t MaxSize = 8;
};

}  // namespace lumevra
