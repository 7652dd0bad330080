// Small helpers shared by snow and rain: the time step of one frame and the
// guarded conversions of the weather settings.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/Rounding.h"
#include "package/ProjectRecords.h"

namespace lumevra::weather {

// A pause longer than this (the machine slept, the clock jumped) counts as a
// short frame of kPauseFrameMs.
inline constexpr int32_t kLongPauseMs = 1000;
inline constexpr int32_t kPauseFrameMs = 10;

// The elapsed milliseconds actually used for one frame. A negative value is
// an unsigned tick difference beyond 2^31, i.e. a very long pause as well.
inline int32_t FrameMs(int32_t elapsed) {
  return (elapsed > kLongPauseMs || elapsed < 0) ? kPauseFrameMs : elapsed;
}

// The speed percentage of a weather speed index; out-of-range indexes take
// the nearest step.
inline int32_t SpeedStepOf(int32_t speedIndex) {
  const int32_t last = static_cast<int32_t>(SpeedSteps.size()) - 1;
  return SpeedSteps[static_cast<size_t>(std::clamp(speedIndex, 0, last))];
}

// The movement unit of one frame: elapsed / nominal x step% / 100 x speed% / 100,
// evaluated left to right. A negative speed would move the weather backwards
// past the edges it never wraps at, so it counts as standing still.
inline double FrameStep(int32_t elapsed, double nominalMs, int32_t speedIndex, int32_t speedPercent) {
  return FrameMs(elapsed) / nominalMs * SpeedStepOf(speedIndex) / 100.0 *
         std::max(speedPercent, 0) / 100.0;
}

// Opacity in tenths, kept to 0..10 so that every alpha stays within 0..255.
inline int32_t OpacityTenths(int32_t opacity) { return std::clamp(opacity, 0, 10); }

// round(base x opacity x 10 / 100), low 8 bits.
inline uint8_t ScaledAlpha(int64_t base, int32_t opacity) {
  return static_cast<uint8_t>(Round(static_cast<double>(base) * opacity * 10 / 100) & 0xFF);
}

// Far beyond any surface, yet safely inside int32 after offsets are added.
inline constexpr double kCoordLimit = 1.0e9;

// round(v) as a drawing coordinate; positions beyond the limit are pinned
// there (they draw nothing visible either way).
inline int32_t PixelCoord(double v) {
  return static_cast<int32_t>(Round(std::clamp(v, -kCoordLimit, kCoordLimit)));
}

}  // namespace lumevra::weather
