#include "weather/Rain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Random.h"
#include "base/Rounding.h"
#include "weather/WeatherCommon.h"

namespace lumevra {

namespace {

// The nominal frame the fall of a drop is scaled against.
constexpr double kRainNominalMs = 50.0;

// Cosine of whole degrees. Right angles are exact so that rain at 90 degrees
// falls straight down without creeping sideways by rounding dust.
double CosDegrees(int32_t angle) {
  const int32_t a = ((angle % 360) + 360) % 360;
  switch (a) {
    case 0: return 1.0;
    case 90: return 0.0;
    case 180: return -1.0;
    case 270: return 0.0;
    default: return std::cos(angle * std::numbers::pi / 180.0);
  }
}

}  // namespace

Rain::Rain() = default;

void Rain::SetAmount(int32_t n) { Amount = std::clamp(n, 0, kMaxAmount); }

void Rain::Populate() {
  const int32_t count = std::clamp(Amount, 0, kMaxAmount);
  const bool drawable = Surface && !Surface->Empty();
  const int32_t w = drawable ? Surface->Width() : 0;
  const int32_t h = drawable ? Surface->Height() : 0;
  Drops.assign(static_cast<size_t>(count), RainDrop{});
  for (RainDrop& d : Drops) {
    d.X = Random(w);
    d.Y = Random(h);
    d.Drift = 1 - Random(3);
    Random(4);  // a fall value of older drops: drawn to keep the sequence, unused
    d.SpeedClass = Random(3) + 2;
    d.LengthFactor = Random(4) + 1;
  }
}

void Rain::Advance() {
  if (!Surface || Surface->Empty()) return;
  const int32_t w = Surface->Width();
  const int32_t h = Surface->Height();
  Elapsed = weather::FrameMs(Elapsed);
  const double step = weather::FrameStep(Elapsed, kRainNominalMs, SpeedIndex, SpeedPercent);
  const double slant = CosDegrees(Angle);

  for (RainDrop& d : Drops) {
    const double fall = d.SpeedClass * step * 3;
    d.Y += fall;
    d.X += slant * fall;
    if (d.X < -20) {
      d.X = w + Random(100);
    } else if (d.X > w + 20) {
      d.X = -Random(100);
    }
    d.SpeedClass = std::clamp(d.SpeedClass, 2, 4);
    if (d.Y > h) d.Y = -Random(100);
  }

  for (const RainDrop& d : Drops) DrawDrop(d);
}

void Rain::DrawDrop(const RainDrop& drop) {
  if (!Surface || Surface->Empty()) return;
  const int32_t o = weather::OpacityTenths(Opacity);
  // A class outside 2..4 only comes from outside Advance; kept in range so
  // the grey level never divides by zero.
  const int32_t c = std::clamp(drop.SpeedClass, 2, 4);
  const double slant = CosDegrees(Angle);

  const int32_t x0 = weather::PixelCoord(drop.X);
  const int32_t y0 = weather::PixelCoord(drop.Y);
  const auto g = static_cast<uint8_t>(55 / (5 - c) + 200);
  const int32_t y1 = weather::PixelCoord(static_cast<double>(c) * drop.LengthFactor * DropLength / 10 + y0);
  const int32_t x1 = weather::PixelCoord(slant * (static_cast<double>(y1) - y0) + x0);
  const int32_t xm = weather::PixelCoord(x0 + (static_cast<double>(x1) - x0) * 6 / 8);
  const int32_t ym = weather::PixelCoord(y0 + (static_cast<double>(y1) - y0) * 6 / 8);

  const uint8_t tailAlpha = weather::ScaledAlpha(150 - (5 - c) * 20, o);
  const uint8_t headAlpha = weather::ScaledAlpha(255 - (5 - c) * 20, o);
  Surface->LineAntialiased(x0, y0, xm, ym, Rgba(g, g, g, tailAlpha), false);
  Surface->LineAntialiased(xm, ym, x1, y1, Rgba(g, g, g, headAlpha), false);
}

}  // namespace lumevra
