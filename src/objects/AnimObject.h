// AnimObject: what every animated object (GIF, image, text) holds: its keys,
// the state of its motion and display timing, and its own in-memory INI.
// The keys live in one INI section per object, "Obj" + the object's position
// in the list; an object reads and writes only its own section.
//
// Construction starts nothing: no thread, no file access. Prepare sets up a
// display cycle; from then on each Tick (one worker step) advances the
// timing, the fades, the motion and the facing. All time is TickCount and
// all chance the shared generator, so a manual clock and a fixed seed make
// every step repeatable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "base/Ini.h"
#include "graphics/Bitmap32.h"
#include "graphics/FontRaster.h"
#include "objects/ObjectThread.h"
#include "objects/RelaxedField.h"

namespace lumevra {

// One key of an object as loaded, for tools that describe a scene.
using ObjectKeyValue = std::variant<int64_t, bool, double, std::string>;
using ObjectKeyList = std::vector<std::pair<std::string, ObjectKeyValue>>;

// Bits of OffScreenEdges, from the letters of "OffScreenOpt".
inline constexpr uint8_t kEdgeTop = 1;
inline constexpr uint8_t kEdgeBottom = 2;
inline constexpr uint8_t kEdgeLeft = 4;
inline constexpr uint8_t kEdgeRight = 8;

// The set of edges named by the letters T, B, L, R anywhere in the value
// (upper case only; other characters are ignored).
uint8_t ParseOffScreenEdges(std::string_view letters);
// The letters of the set bits in the order T, B, L, R ("" for none).
std::string OffScreenEdgesText(uint8_t edges);

// How an object moves ("Motion"). The bouncing generator turns at the
// edges of the movement area; the wanderer drifts and turns now and then.
enum class ObjectMotion : uint8_t {
  None = 0,
  Wander = 1,
  Bounce = 2,            // both axes follow the bouncing generator
  BounceHorizontal = 3,  // x only
  BounceVertical = 4,    // y only
  WrapHorizontal = 5,    // one way along x, re-entering at the other side
  WrapVertical = 6,      // one way along y
  Ellipse = 7,           // round an ellipse inscribed in the area
  Jitter = 9,            // small random shakes around the current place
};
// The stored value; 8 and anything past 9 do not move the object.
constexpr ObjectMotion MotionOf(uint8_t stored) {
  return stored <= 7 || stored == 9 ? static_cast<ObjectMotion>(stored) : ObjectMotion::None;
}

// The direction an object starts in ("InitialDir"); the axis a value leaves
// open is chosen at random.
enum class StartDirection : uint8_t {
  Random = 0, Left, Right, Up, Down, UpLeft, UpRight, DownLeft, DownRight,
};
// The stored value; anything past 8 is Random.
constexpr StartDirection StartDirectionOf(uint8_t stored) {
  return stored <= 8 ? static_cast<StartDirection>(stored) : StartDirection::Random;
}

// Where a start coordinate lies on its axis of the movement area
// ("PosLeftType", "PosTopType").
enum class StartPlace : uint8_t {
  KeyValue = 0,     // "PosLeft" / "PosTop" as given
  NearEdge = 1,     // left / top
  FarEdge = 2,      // right / bottom
  Middle = 3,
  RandomInside = 4,
  RandomOutside = 5,
};
// The stored value; anything past 5 is KeyValue.
constexpr StartPlace StartPlaceOf(uint8_t stored) {
  return stored <= 5 ? static_cast<StartPlace>(stored) : StartPlace::KeyValue;
}

// "Obj" + index in decimal: the section of the object at that list position.
std::string ObjectSection(int32_t index);

// The surface alpha of an Opacity in tenths: Opacity x 25.5 rounded, halves
// to even, within 0..255 (0, 26, 51, 76, 102, 128, ..., 255).
uint8_t OpacityAlpha(int32_t opacity);

// The alpha of a fade at `millis` into (or before the end of) a fade of
// `durationSec` seconds: percent = Round(millis x 100 x Opacity / 10 /
// (durationSec x 1000)), alpha = Round(percent x 255 / 100), within 0..255.
// A duration of 0 or less has no fade: the full Opacity alpha.
uint8_t FadeAlpha(int64_t millis, int32_t opacity, int32_t durationSec);

// What a missing "OffScreenOpt" stands for: all four edges.
inline constexpr std::string_view kDefaultOffScreenOpt = "TBLR";

class AnimObject {
public:
  virtual ~AnimObject() = default;
  AnimObject(const AnimObject&) = delete;
  AnimObject& operator=(const AnimObject&) = delete;

  // "GIF", "IMG" or "TXT": the "ObjType" value of the kind.
  virtual std::string_view ObjType() const = 0;

  // Clears Keys and writes the common keys into the object's own section;
  // each kind adds "ObjType" and its keys. Returns the whole INI text.
  virtual std::string SaveToText();
  // Replaces Keys with the parsed text and reads the common keys of the
  // object's own section. Bad values take the defaults; it never fails.
  void LoadFromText(std::string_view text);
  // Each kind: parses the text, reads its own keys, then LoadFromText.
  virtual void LoadObjectFromText(std::string_view text) = 0;

  // Every key-backed field under its key name, in the order SaveToText
  // writes them (without the computed "Left" and "Top"), then the kind's.
  virtual ObjectKeyList DescribeKeys() const;

  // Draws the object onto the frame. A picture is stretched into `place`;
  // a text keeps to its own place on the frame and needs `fonts` (without
  // one it is not drawn).
  virtual void DrawOnto(Bitmap32& frame, const Rect& place, FontRaster* fonts) = 0;
  // The picture file this object shows; null for a kind without one (text).
  virtual std::string* PictureFile() { return nullptr; }
  const std::string* PictureFile() const { return const_cast<AnimObject*>(this)->PictureFile(); }
  // Caller-driven stepping for tools and tests: the worker (and a GIF's
  // frame painter) takes no steps of its own, only StepNow's.
  virtual void SetManualStepping(bool manual) { Worker.SetManual(manual); }
  // One step, as the worker (and a GIF's painter) would take it.
  virtual void StepNow() { Worker.StepNow(); }
  // While the display sleeps the worker takes no steps; afterwards a worker
  // that was running goes on from the state it had.
  void PauseWorker(bool paused);

  // Left and top edge of the drawn picture in frame pixels.
  int32_t ScreenLeft() const;
  int32_t ScreenTop() const;
  void SetPosX(double x);
  void SetPosY(double y);

  // Starts the first display cycle: timing, movement area, start position
  // and the Opacity alpha. The picture kinds load their picture first (its
  // size shapes the area), then call this.
  virtual void Prepare();
  // New direction, scale and start position; on Prepare and on redisplay.
  void ResetPosition();
  // One step of the bouncing and wandering generators and the step counter.
  void StepMotion();
  // One worker step: display timing, fades, motion and facing.
  void Tick();

  // Sets Alpha and hands it to the kind (ApplyAlpha).
  void SetAlpha(uint8_t alpha);
  // Where the kind shows the alpha that Opacity and the fades give.
  virtual void ApplyAlpha(uint8_t alpha);

  // Stop, Prepare, then the worker steps the object; Running = true. A
  // second Start restarts the timing, area and position afresh.
  void Start();
  // Pauses the worker when running; the object keeps its state.
  virtual void Stop();
  // Stop, then ends the worker for good. Whoever frees the object calls it
  // first (the list, or the most-derived destructor), so no step runs while
  // the object's surfaces are released.
  void Shutdown();

  // Position and the generators of motion (background units).
  Relaxed<double> PosX;
  Relaxed<double> PosY;
  int32_t StepCount = 0;
  double BounceX = 0;
  int32_t DirX = 0;
  double BounceY = 0;
  int32_t DirY = 0;
  int32_t WanderRangeX = 500;
  int32_t WanderRangeY = 1000;
  int32_t Width = 0;   // "Width": stored and written back only
  int32_t Height = 0;  // "Height": stored and written back only
  int32_t BackWidth = 0;
  int32_t BackHeight = 0;
  Relaxed<double> ScaleX;
  Relaxed<double> ScaleY;
  bool Scaled = false;
  int32_t Speed = 100;
  Rect MoveAreaRect;
  Rect MoveArea;
  Rect ScreenRect;
  uint8_t Motion = 0;
  int32_t ImgWidth = 0;
  int32_t ImgHeight = 0;
  int32_t PosTop = 0;
  int32_t PosLeft = 0;
  uint8_t ObjFacing = 0;
  int32_t DisplaySec = 0;
  uint8_t DisplayDurationType = 0;
  int32_t DisplayDurationSec = 0;
  int32_t DisplayDurationCycle = 0;  // "DIsplayDurationCycle": stored and written back only
  int32_t MotionSpeed = 0;
  uint8_t MotionAreaType = 0;
  int32_t Opacity = 0;
  uint8_t InitialPos = 0;  // written only
  uint8_t InitialDir = 0;
  bool DirFlip = false;
  int32_t Index = 0;
  uint8_t PosTopType = 0;
  uint8_t PosLeftType = 0;
  Relaxed<bool> Flipped;
  Relaxed<bool> Displayed;
  Relaxed<bool> Running;
  double WanderX = 0;
  double WanderY = 0;
  int32_t WanderDirX = 0;
  int32_t WanderDirY = 0;
  int32_t WanderSteps = 0;
  int32_t WanderStepLimit = 0;
  bool Redisplay = false;
  bool ResetPos = false;
  Relaxed<bool> Visible{true};
  Relaxed<int32_t> DisplayStart;  // tick count of the current cycle; -1 = never again
  bool RestrictArea = false;
  int32_t WrapDirX = 0;
  int32_t WrapDirY = 0;
  int32_t HeightSize = 0;
  int32_t WidthSize = 0;
  int32_t RedisplayTimes = 0;  // stored and written back only
  int32_t RedisplayDelay = 0;
  uint8_t OffScreenEdges = 0;
  bool WentOffScreen = false;
  int32_t CycleDelay = 0;
  uint8_t AppearEffect = 0;
  int32_t AppearEffectDur = 0;
  uint8_t DisappearEffect = 0;
  int32_t DisappearEffectDur = 0;
  Relaxed<int32_t> CachedLeft;
  Relaxed<int32_t> CachedTop;
  Relaxed<uint8_t> Alpha{255};  // the last alpha Opacity or a fade gave
  Ini Keys;
  ObjectThread Worker{[this] { Tick(); }};
  bool workerPaused_ = false;  // suspended by PauseWorker (UI thread only)

protected:
  // Reseeds the shared generator; everything else starts at the values above.
  AnimObject();

  std::string Section() const { return ObjectSection(Index); }

private:
  // Copies the generator of the motion kind to the position (one Tick).
  void ApplyMotion();
  // Mirrors the picture to face the way its drawn left edge moved.
  void UpdateFacing(int32_t oldLeft);
  // The display and fade part of Tick; false when the object stays hidden.
  bool StepDisplay();
  // A new display cycle from now, waiting CycleDelay seconds.
  void StartCycle();
};

}  // namespace lumevra
