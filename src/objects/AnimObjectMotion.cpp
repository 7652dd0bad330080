// Where an object's centre is: the movement area and start position chosen by
// Prepare, and the three position generators that every step advances (the
// bouncer, the wanderer and the step counter). The motion kind only picks
// which generator the centre follows.
#include <cmath>
#include <cstdint>
#include <numbers>

#include "base/Random.h"
#include "base/Rounding.h"
#include "objects/AnimObject.h"

namespace lumevra {

namespace {

// Area sides come from keys and may be anything: side arithmetic is done
// wide and pinned to the int32 range, so no key value overflows.
int32_t Pin(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// n / 2 toward zero, for a difference of two int32 sides.
int64_t HalfWide(int64_t n) { return n / 2; }

// Step counters run for the life of the saver: they wrap instead of overflowing.
int32_t Inc(int32_t n) { return static_cast<int32_t>(static_cast<uint32_t>(n) + 1u); }

// A start coordinate along one axis between the sides lo and hi.
int32_t StartCoordinate(StartPlace place, int32_t keyValue, int32_t lo, int32_t hi) {
  const int64_t mid = lo + HalfWide(int64_t{hi} - lo);
  switch (place) {
    case StartPlace::NearEdge: return lo;
    case StartPlace::FarEdge: return hi;
    case StartPlace::Middle: return Pin(mid);
    case StartPlace::RandomInside: return RandomRange(lo, hi);
    case StartPlace::RandomOutside: {
      // Outside the area: a draw in the near half is taken as lo - r, one in
      // the far half is mirrored beyond hi.
      const int32_t r = RandomRange(lo, hi);
      return r < mid ? Pin(int64_t{lo} - r) : Pin(2 * int64_t{hi} - r);
    }
    case StartPlace::KeyValue: break;
  }
  return keyValue;
}

// Frame size over background size. A background of no size would make the
// factor infinite and push every drawn edge out of range; such an object is
// drawn unscaled instead.
double AxisScale(int32_t frameSize, int32_t backSize) {
  if (backSize <= 0) return 1.0;
  return static_cast<double>(frameSize) / backSize;
}

}  // namespace

void AnimObject::Prepare() {
  Randomize();

  CycleDelay = DisplaySec;
  Displayed = DisplaySec == 0;
  StartCycle();
  SetAlpha(OpacityAlpha(Opacity));

  StepCount = 0;
  Flipped = false;
  WanderSteps = 0;
  WanderStepLimit = Random(300) + 50;
  WanderRangeX = Random(1000);
  WanderRangeY = Random(1000);

  const int32_t hw = Half(ImgWidth), hh = Half(ImgHeight);
  const Rect base = MotionAreaType != 0 ? MoveAreaRect : Rect{0, 0, BackWidth, BackHeight};
  // The right and bottom margins follow the drawn size; left and top keep
  // the natural half size.
  const int64_t scaledHw = Round(static_cast<double>(int64_t{hw} * WidthSize) / 100.0);
  const int64_t scaledHh = Round(static_cast<double>(int64_t{hh} * HeightSize) / 100.0);
  if (RestrictArea)
    MoveArea = {Pin(int64_t{base.Left} + hw), Pin(int64_t{base.Top} + hh),
                Pin(base.Right - scaledHw), Pin(base.Bottom - scaledHh)};
  else
    MoveArea = {Pin(int64_t{base.Left} - hw), Pin(int64_t{base.Top} - hh),
                Pin(base.Right + scaledHw), Pin(base.Bottom + scaledHh)};

  PosLeft = StartCoordinate(StartPlaceOf(PosLeftType), PosLeft, MoveArea.Left, MoveArea.Right);
  PosTop = StartCoordinate(StartPlaceOf(PosTopType), PosTop, MoveArea.Top, MoveArea.Bottom);

  ResetPosition();
}

void AnimObject::ResetPosition() {
  WentOffScreen = false;
  DirX = Sign();
  DirY = Sign();
  switch (StartDirectionOf(InitialDir)) {
    case StartDirection::Left: DirX = -1; break;
    case StartDirection::Right: DirX = 1; break;
    case StartDirection::Up: DirY = -1; break;
    case StartDirection::Down: DirY = 1; break;
    case StartDirection::UpLeft: DirX = -1; DirY = -1; break;
    case StartDirection::UpRight: DirX = 1; DirY = -1; break;
    case StartDirection::DownLeft: DirX = -1; DirY = 1; break;
    case StartDirection::DownRight: DirX = 1; DirY = 1; break;
    case StartDirection::Random: break;
  }
  WanderDirX = WrapDirX = DirX;
  WanderDirY = WrapDirY = DirY;

  ScaleX = AxisScale(ScreenRect.Right, BackWidth);
  ScaleY = AxisScale(ScreenRect.Bottom, BackHeight);

  SetPosX(PosLeft);
  SetPosY(PosTop);
  BounceX = WanderX = PosLeft;
  BounceY = WanderY = PosTop;

  Speed = Pin(int64_t{MotionSpeed} * 10);
}

void AnimObject::StepMotion() {
  const int32_t L = MoveArea.Left, T = MoveArea.Top, R = MoveArea.Right, B = MoveArea.Bottom;
  const double perMille = Speed / 1000.0;

  BounceX += Random(1000) * (perMille * DirX) / 100;
  BounceY += Random(1000) * (perMille * DirY) / 100;

  // Off-screen: the generator has passed a chosen edge of the background
  // (not just of the area) while travelling outwards.
  using M = ObjectMotion;
  const M motion = MotionOf(Motion);
  if (motion == M::Bounce || motion == M::BounceHorizontal || motion == M::WrapHorizontal)
    WentOffScreen = (BounceX <= L && BounceX < 0 && DirX == -1 && (OffScreenEdges & kEdgeLeft)) ||
                    (BounceX >= R && BounceX > BackWidth && DirX == 1 && (OffScreenEdges & kEdgeRight));
  if ((motion == M::Bounce || motion == M::BounceVertical || motion == M::WrapVertical) && !WentOffScreen)
    WentOffScreen = (BounceY <= T && BounceY < 0 && DirY == -1 && (OffScreenEdges & kEdgeTop)) ||
                    (BounceY >= B && BounceY > BackHeight && DirY == 1 && (OffScreenEdges & kEdgeBottom));

  if (BounceX <= L) DirX = 1;
  if (BounceY <= T) DirY = 1;
  if (BounceX >= R) DirX = -1;
  if (BounceY >= B) DirY = -1;

  WanderX += Random(WanderRangeX) * (perMille * WanderDirX) / 100;
  WanderY += Random(WanderRangeY) * (perMille * WanderDirY) / 100;

  WanderSteps = Inc(WanderSteps);
  if (WanderX <= L || WanderX >= R || WanderY <= T || WanderY >= B) WanderSteps = WanderStepLimit;

  if (WanderSteps >= WanderStepLimit) {
    if (motion == M::Wander)
      WentOffScreen =
          (WanderY <= T && WanderY < 0 && WanderDirY == -1 && (OffScreenEdges & kEdgeTop)) ||
          (WanderY >= B && WanderY > BackHeight && WanderDirY == 1 && (OffScreenEdges & kEdgeBottom)) ||
          (WanderX <= L && WanderX < 0 && WanderDirX == -1 && (OffScreenEdges & kEdgeLeft)) ||
          (WanderX >= R && WanderX > BackWidth && WanderDirX == 1 && (OffScreenEdges & kEdgeRight));
    // The horizontal direction turns rarely, the vertical one at every re-pick.
    if (Random(10) == 0) WanderDirX = Sign();
    WanderDirY = Random(3) - 1;
    if (WanderX <= L) WanderDirX = 1;
    if (WanderX >= R) WanderDirX = -1;
    if (WanderY <= T) WanderDirY = 1;
    if (WanderY >= B) WanderDirY = -1;
    WanderStepLimit = Random(300) + 50;
    WanderRangeX = Random(800) + 200;
    WanderRangeY = Random(1000);
    WanderSteps = 0;
  }

  StepCount = Inc(StepCount);
}

void AnimObject::ApplyMotion() {
  const int64_t L = MoveArea.Left, T = MoveArea.Top, R = MoveArea.Right, B = MoveArea.Bottom;
  switch (MotionOf(Motion)) {
    case ObjectMotion::Wander:
      SetPosX(WanderX);
      SetPosY(WanderY);
      break;
    case ObjectMotion::Bounce:
      SetPosX(BounceX);
      SetPosY(BounceY);
      break;
    case ObjectMotion::BounceHorizontal: SetPosX(BounceX); break;
    case ObjectMotion::BounceVertical: SetPosY(BounceY); break;
    case ObjectMotion::WrapHorizontal: {
      // One-way travel: while the bouncer runs against WrapDirX the centre
      // follows its mirror image, so it re-enters at the opposite side.
      const double m = static_cast<double>(L + R) - BounceX;
      SetPosX(WrapDirX < 0 ? (DirX > 0 ? m : BounceX) : (DirX > 0 ? BounceX : m));
      break;
    }
    case ObjectMotion::WrapVertical: {
      const double m = static_cast<double>(T + B) - BounceY;
      SetPosY(WrapDirY < 0 ? (DirY > 0 ? m : BounceY) : (DirY > 0 ? BounceY : m));
      break;
    }
    case ObjectMotion::Ellipse: {
      // An ellipse inscribed in the area, from its bottom point, clockwise
      // on the screen by Speed / 1000 degrees a step.
      const double a = -static_cast<double>(StepCount) * std::numbers::pi / 180.0 * Speed / 1000.0;
      const double cx = static_cast<double>(L + HalfWide(R - L));
      const double cy = static_cast<double>(T + HalfWide(B - T));
      SetPosX(std::sin(a) * static_cast<double>(HalfWide(R - L) - Half(ImgWidth)) + cx);
      SetPosY(std::cos(a) * static_cast<double>(HalfWide(B - T) - Half(ImgHeight)) + cy);
      break;
    }
    case ObjectMotion::Jitter: {
      // Jitter: a random walk of at most 4 x Speed / 1000 per step and axis.
      const double dx = static_cast<double>(Random(9) - 4) * Speed / 1000.0;
      SetPosX(PosX + dx);
      const double dy = static_cast<double>(Random(9) - 4) * Speed / 1000.0;
      SetPosY(PosY + dy);
      break;
    }
    case ObjectMotion::None: break;
  }
}

void AnimObject::UpdateFacing(int32_t oldLeft) {
  const int32_t newLeft = ScreenLeft();
  // Standing still horizontally keeps the facing the object had.
  if (ObjFacing == 1)
    Flipped = DirFlip && (newLeft < oldLeft || (newLeft == oldLeft && Flipped));
  else if (ObjFacing == 0)
    Flipped = DirFlip && (newLeft > oldLeft || (newLeft == oldLeft && Flipped));
}

}  // namespace lumevra
