// TAnimEngine: turns a bound project into frames. It owns the wave and frame
// surfaces, the water state, snow or rain and the clock; it draws the
// project's objects but does not own them. It has no timer or thread of its
// own: the owner calls Step once per frame and shows OutputSurface.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/Waves.h"
#include "engine/uClock.h"
#include "graphics/Bitmap32.h"

namespace lumevra {

class TProject;
class TAnimObjects;
class FontRaster;
class TAnimObject;
class TTextObject;
class TSnow;
class TRain;

class TAnimEngine {
public:
  TAnimEngine();
  ~TAnimEngine();
  TAnimEngine(const TAnimEngine&) = delete;
  TAnimEngine& operator=(const TAnimEngine&) = delete;

  // Binds the project: its picture, mask, wave layers, speed and object
  // list. Calling it again rebinds; Prepare must follow.
  void SetProject(TProject& project);
  // One-time set-up for the bound project; may be repeated after a rebind.
  void Prepare();
  // Frees any snow or rain and, when on, creates what the project's weather
  // Kind asks for (1 snow, 2 rain; anything else nothing).
  void SetWeather(bool on);
  // One frame: water, the copy onto the frame surface when anything is drawn
  // over the waves, objects, weather, clock. Failures propagate.
  void Step();
  // The surface to present after Step.
  TBitmap32& OutputSurface();
  // True when anything is drawn over the waves (weather, objects or clock).
  bool UsesFrameSurface() const;

  void DrawObjects();
  void DrawClock();

  int32_t Height = 0;
  int32_t Width = 0;
  // Phases, layer map, row ranges, jitter and row tables of the water.
  TWaves Waves;
  TBitmap32* Background = nullptr;  // the project's, not owned
  TBitmap32 ReflectionImage;
  TBitmap32* Mask = nullptr;  // the project's, not owned
  TBitmap32 WaveSurface;
  TBitmap32 FrameSurface;
  int32_t SpeedPercent = 100;
  TProject* Project = nullptr;
  std::unique_ptr<TSnow> Snow;
  std::unique_ptr<TRain> Rain;
  bool WeatherOn = false;
  bool AnyReflection = false;
  TAnimObjects* Objects = nullptr;  // the project's list, not owned; may be null
  uint32_t LastTick = 0;
  bool TimeBased = true;
  bool ObjectsOn = true;
  TClock Clock;
  bool ClockOn = false;
  // Text objects are drawn through it; without one they are skipped.
  FontRaster* Fonts = nullptr;  // not owned

private:
  bool HasObjects() const;
  void DrawImageObject(TAnimObject& object, int32_t left, int32_t top, int32_t right, int32_t bottom);
  void DrawTextObject(TTextObject& object);
};

}  // namespace lumevra
