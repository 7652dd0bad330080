// When an object is shown, and how opaque it is: the display cycle (wait,
// show, end, redisplay or finish), the appear and disappear fades, and the
// worker step that ties timing, motion and facing together. All time is the
// process tick count, so a manual clock drives it in tests and tools.
#include <cstdint>

#include "base/Clock.h"
#include "base/Rounding.h"
#include "objects/AnimObject.h"

namespace lumevra {

namespace {

uint8_t ClampAlpha(double v) {
  if (!(v > 0)) return 0;  // also NaN
  if (v >= 255) return 255;
  return static_cast<uint8_t>(Round(v));
}

// The tick count as DisplayStart holds it; -1 is reserved for "never again".
// A cycle that starts at that very tick is taken to start one tick earlier.
int32_t CycleTick(uint32_t now) {
  const auto tick = static_cast<int32_t>(now);
  return tick == -1 ? -2 : tick;
}

}  // namespace

uint8_t OpacityAlpha(int32_t opacity) { return ClampAlpha(opacity * 2550.0 / 100.0); }

uint8_t FadeAlpha(int64_t millis, int32_t opacity, int32_t durationSec) {
  if (durationSec <= 0) return OpacityAlpha(opacity);
  // Two roundings: first to a whole percent of the Opacity, then to an alpha.
  double percent = static_cast<double>(millis * 100) * (opacity / 10.0) / (durationSec * 1000.0);
  // Anything past 0..100 % ends clamped anyway; this keeps Round in range.
  if (percent < -1000) percent = -1000;
  if (percent > 1000) percent = 1000;
  const int64_t p = Round(percent);
  return ClampAlpha(static_cast<double>(p * 255) / 100.0);
}

void AnimObject::SetAlpha(uint8_t alpha) {
  Alpha = alpha;
  ApplyAlpha(alpha);
}

void AnimObject::ApplyAlpha(uint8_t) {}

void AnimObject::StartCycle() { DisplayStart = CycleTick(TickCount()); }

bool AnimObject::StepDisplay() {
  // Milliseconds since the cycle began, across the 32-bit wrap.
  const auto elapsed = [this] {
    return int64_t{TicksBetween(static_cast<uint32_t>(DisplayStart.load()), TickCount())};
  };
  const int64_t start = int64_t{CycleDelay} * 1000;
  const bool appearFades = AppearEffect == 1 && AppearEffectDur > 0;

  if (!Displayed && DisplayStart != -1 && elapsed() >= start) {
    Displayed = true;
    // A fade-out may have left the alpha at 0; without a fade-in to raise
    // it, the object comes back at its own Opacity.
    if (!appearFades) SetAlpha(OpacityAlpha(Opacity));
  }

  if (Displayed && DisplayStart != -1) {
    const int64_t t = elapsed();
    if (DisplayDurationType == 1) {
      const int64_t end = (int64_t{CycleDelay} + DisplayDurationSec) * 1000;
      if (t >= end) Displayed = false;
      if (DisappearEffect == 1 && DisappearEffectDur > 0 && t >= end - int64_t{DisappearEffectDur} * 1000)
        SetAlpha(FadeAlpha(end - t, Opacity, DisappearEffectDur));
    }
    // After the fade-out, so that where both windows overlap the rising value stands.
    if (appearFades && t <= start + int64_t{AppearEffectDur} * 1000)
      SetAlpha(FadeAlpha(t - start, Opacity, AppearEffectDur));
    if (DisplayDurationType == 2 && WentOffScreen) Displayed = false;

    if (!Displayed) {
      if (Redisplay) {
        if (ResetPos) ResetPosition();
        CycleDelay = RedisplayDelay;
        StartCycle();
        WentOffScreen = false;
      } else {
        DisplayStart = -1;
      }
    }
  }
  return Displayed;
}

void AnimObject::Tick() {
  if (!StepDisplay()) return;  // hidden objects do not move
  StepMotion();
  const int32_t oldLeft = ScreenLeft();
  ApplyMotion();
  UpdateFacing(oldLeft);
}

}  // namespace lumevra
