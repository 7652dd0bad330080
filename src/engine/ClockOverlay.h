// ClockOverlay: the small analog clock drawn in one corner of every frame. It has
// no background of its own: each frame the engine copies the piece of the
// frame under it into Face, the clock draws marks and hands onto that copy,
// and the engine puts the copy back, so marks and hands look semi-transparent
// over the moving picture.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "graphics/Bitmap32.h"
#include "graphics/FontRaster.h"

namespace lumevra {

// The corner of the frame the clock sits in, as the settings store it
// ("ClockPos"). Any other stored value puts the clock at (0, 0).
enum class ClockCorner : uint8_t { TopLeft = 0, TopRight = 1, BottomLeft = 2, BottomRight = 3 };

struct ClockTime {
  int32_t hour = 0, minute = 0, second = 0, millisecond = 0;
};
// Where Render reads the time from; the default is the local time of day.
using ClockTimeSource = std::function<ClockTime()>;
// The local time of day (hour 0..23).
ClockTime LocalClockTime();

struct ClockPoint {
  int32_t x = 0, y = 0;
};

class ClockOverlay {
public:
  ClockOverlay();  // Face sized 100 x 100, FaceStyle 1

  // Sizes Face and computes the tick geometry.
  void SetSize(int32_t width, int32_t height);
  // Where Face goes on a frame of W x H: 10 pixels in from the chosen
  // corner. A Corner outside 0..3 gives (0, 0).
  ClockPoint CornerPosition(int32_t W, int32_t H) const;
  // 1:1 copy of the frame rectangle (x, y, x + ClockWidth, y + ClockHeight)
  // into Face; what lies outside the frame leaves Face as it was.
  void GrabBackground(const Bitmap32& frame, int32_t x, int32_t y);
  // Tick marks, then the hands at the time source's time, onto Face.
  Bitmap32& Render();
  // The thick line of hands and hour marks: two anti-aliased quadrilaterals
  // of half-width w, one widened across x and one across y.
  void DrawBar(Bitmap32& surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t w,
               Color32 color);
  void SetTimeSource(ClockTimeSource source);

  Bitmap32 Face;
  // Entries 1..60 are used; entry 0 stays (0, 0).
  std::array<ClockPoint, 61> OuterPoints{};
  std::array<ClockPoint, 61> InnerPoints{};
  int32_t Alpha = 255;
  uint32_t Color = 0xFFFFFF;  // 0x00RRGGBB
  uint8_t FaceStyle = 1;      // 1: tick marks
  uint8_t Corner = 1;         // a ClockCorner as stored in the settings
  int32_t ClockHeight = 100, ClockWidth = 100;
  // Given to Face before drawing; only a numeral face would use it, and
  // tick marks draw no text.
  FontSpec ClockFont{"Tahoma", PointsToPixels(10), true, false};

private:
  Color32 MarkColor() const;
  void DrawFace();
  void DrawHands(const ClockTime& t);

  ClockTimeSource timeSource_;
};

}  // namespace lumevra
