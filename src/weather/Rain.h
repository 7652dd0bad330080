// Rain: short grey-white streaks falling at one of three speeds, all at
// the same slant, wrapping around the edges.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/Bitmap32.h"

namespace lumevra {

struct RainDrop {
  double X = 0;              // pixels
  double Y = 0;              // pixels
  double Drift = 0;          // -1, 0 or +1; kept with the drop, not used by the movement
  int32_t SpeedClass = 2;    // 2..4: fall speed and brightness
  int32_t LengthFactor = 1;  // 1..4
};

class Rain {
public:
  static constexpr int32_t kMaxAmount = 1000;

  Rain();

  // Amount := n, at most kMaxAmount (a negative count means no drops).
  void SetAmount(int32_t n);
  // Scatters Amount drops over the surface.
  void Populate();
  // Moves every drop by one frame and draws them all.
  void Advance();

  // One drop: a fainter tail and a brighter head, anti-aliased and clipped.
  void DrawDrop(const RainDrop& drop);

  int32_t Amount = 0;
  Bitmap32* Surface = nullptr;  // not owned
  std::vector<RainDrop> Drops;
  int32_t SpeedIndex = 2;
  int32_t SpeedPercent = 100;
  int32_t Elapsed = 0;
  int32_t Opacity = 10;     // tenths, 10 = full
  int32_t DropLength = 10;  // tenths of the base length
  int32_t Angle = 90;       // degrees; 90 = straight down
  bool TimeBased = true;
};

}  // namespace lumevra
