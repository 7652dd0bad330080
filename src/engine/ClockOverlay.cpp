#include "engine/ClockOverlay.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <numbers>
#include <utility>

#include "base/Rounding.h"
#include "graphics/Canvas.h"
#include "graphics/Polygon32.h"

namespace lumevra {

namespace {

constexpr int32_t kMargin = 10;

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// The point `length` from the centre at `degrees` clockwise from twelve o'clock.
ClockPoint PointAt(int32_t cx, int32_t cy, double degrees, double length) {
  const double a = Radians(degrees);
  return {static_cast<int32_t>(Round(std::sin(a) * length) + cx),
          static_cast<int32_t>(cy - Round(std::cos(a) * length))};
}

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

ClockTime LocalClockTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int32_t>(ms)};
}

ClockOverlay::ClockOverlay() : timeSource_(LocalClockTime) {
  SetSize(100, 100);
  FaceStyle = 1;
}

void ClockOverlay::SetTimeSource(ClockTimeSource source) {
  timeSource_ = source ? std::move(source) : ClockTimeSource(LocalClockTime);
}

void ClockOverlay::SetSize(int32_t width, int32_t height) {
  Face.SetSize(width, height);
  ClockWidth = width;
  ClockHeight = height;
  const int32_t cx = width / 2, cy = height / 2;
  const int32_t R = cy - kMargin;
  // Minute marks reach in to 19/20 of the tick radius, hour marks to 85%.
  const auto r1 = static_cast<double>(Round(static_cast<double>(R) * 19 / 20));
  const auto r2 = static_cast<double>(Round(R * 8.5 / 10));
  for (int32_t i = 1; i <= 60; ++i) {
    OuterPoints[i] = PointAt(cx, cy, 6.0 * i, R);
    InnerPoints[i] = PointAt(cx, cy, 6.0 * i, i % 5 == 0 ? r2 : r1);
  }
}

ClockPoint ClockOverlay::CornerPosition(int32_t W, int32_t H) const {
  const int32_t right = Clamp32(int64_t{W} - ClockWidth - kMargin);
  const int32_t bottom = Clamp32(int64_t{H} - ClockHeight - kMargin);
  switch (static_cast<ClockCorner>(Corner)) {
    case ClockCorner::TopLeft: return {kMargin, kMargin};
    case ClockCorner::TopRight: return {right, kMargin};
    case ClockCorner::BottomLeft: return {kMargin, bottom};
    case ClockCorner::BottomRight: return {right, bottom};
  }
  return {};
}

void ClockOverlay::GrabBackground(const Bitmap32& frame, int32_t x, int32_t y) {
  const Rect src{x, y, Clamp32(int64_t{x} + Face.Width()), Clamp32(int64_t{y} + Face.Height())};
  // Only what the frame holds is copied; a size cut short by the clamp
  // would stretch, so such a far-off rectangle copies nothing.
  if (src.Width() != Face.Width() || src.Height() != Face.Height()) return;
  Face.DrawFrom(Rect{0, 0, Face.Width(), Face.Height()}, src, frame);
}

Color32 ClockOverlay::MarkColor() const {
  const RGBBytes c = SplitRGB(Color);
  return Rgba(c.r, c.g, c.b, static_cast<uint8_t>(std::clamp(Alpha, 0, 255)));
}

Bitmap32& ClockOverlay::Render() {
  if (Face.Empty()) return Face;
  DrawFace();
  DrawHands(timeSource_());
  return Face;
}

void ClockOverlay::DrawFace() {
  // Tick marks need no text; the font is handed over for a numeral face.
  Face.Font = ClockFont;
  if (FaceStyle != 1) return;
  const Color32 mark = MarkColor();
  const Color32 shadow = Rgba(0, 0, 0, 100);
  for (int32_t i = 1; i <= 60; ++i) {
    const ClockPoint o = OuterPoints[i], n = InnerPoints[i];
    if (i % 5 != 0) {
      Face.LineAntialiased(o.x + 1, o.y + 1, n.x + 1, n.y + 1, shadow, false);
      Face.LineAntialiased(o.x, o.y, n.x, n.y, mark, false);
    } else {
      DrawBar(Face, o.x + 1, o.y + 1, n.x + 1, n.y + 1, 1, shadow);
      DrawBar(Face, o.x, o.y, n.x, n.y, 1, mark);
    }
  }
}

void ClockOverlay::DrawHands(const ClockTime& t) {
  // The hour as a 12-hour clock shows it: 1..12.
  int32_t h = ((t.hour % 12) + 12) % 12;
  if (h == 0) h = 12;
  const int32_t cx = Face.Width() / 2, cy = Face.Height() / 2;
  const auto L = static_cast<double>(Round(cy * 8.0 / 10));
  const auto Lh = static_cast<double>(Round(cy * 5.0 / 10));
  const ClockPoint s = PointAt(cx, cy, 6.0 * t.second, L);
  const ClockPoint m = PointAt(cx, cy, 6.0 * t.minute, L);
  const ClockPoint hr = PointAt(cx, cy, 30.0 * h + t.minute / 2.0, Lh);
  const Color32 mark = MarkColor();

  DrawBar(Face, cx + 1, cy + 1, m.x + 1, m.y + 1, 1, Rgba(0, 0, 0, 80));
  DrawBar(Face, cx, cy, m.x, m.y, 1, mark);
  DrawBar(Face, cx + 1, cy + 1, hr.x + 1, hr.y + 1, 1, Rgba(0, 0, 0, 100));
  DrawBar(Face, cx, cy, hr.x, hr.y, 1, mark);
  Face.LineAntialiased(cx + 1, cy + 1, s.x + 1, s.y + 1, Rgba(0, 0, 0, 80), false);
  Face.LineAntialiased(cx, cy, s.x, s.y, mark, false);

  // The centre cap: grey outline, filled with the clock colour, opaque.
  Canvas canvas(Face);
  canvas.Pen.Width = 1;
  canvas.Pen.Color = WinColor32(0x707070);
  const RGBBytes c = SplitRGB(Color);
  canvas.Brush.Color = Rgba(c.r, c.g, c.b);
  canvas.Brush.Style = BrushStyle::bsSolid;
  canvas.Ellipse(cx - 4, cy - 4, cx + 4, cy + 4);
}

void ClockOverlay::DrawBar(Bitmap32& surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t w,
                     Color32 color) {
  // Widened across x and then across y: whichever direction the bar takes,
  // one of the two has area, so the bar is about 2w thick.
  // Corners beyond the fixed-point range are held at its edge.
  auto at = [](int64_t x, int64_t y) {
    return ToFixedPoint(static_cast<int32_t>(std::clamp<int64_t>(x, -32768, 32767)),
                      static_cast<int32_t>(std::clamp<int64_t>(y, -32768, 32767)));
  };
  const int64_t X0 = x0, Y0 = y0, X1 = x1, Y1 = y1, W = w;
  Polygon32 polygon;
  polygon.Antialiased = true;
  polygon.Add(at(X0 - W, Y0));
  polygon.Add(at(X0 + W, Y0));
  polygon.Add(at(X1 + W, Y1));
  polygon.Add(at(X1 - W, Y1));
  polygon.DrawFill(surface, color);
  polygon.Clear();
  polygon.Add(at(X0, Y0 + W));
  polygon.Add(at(X0, Y0 - W));
  polygon.Add(at(X1, Y1 - W));
  polygon.Add(at(X1, Y1 + W));
  polygon.DrawFill(surface, color);
}

}  // namespace lumevra
