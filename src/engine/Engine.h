// Engine: turns a bound project into frames. It owns the wave and frame
// surfaces, the water state, snow or rain and the clock; it draws the
// project's objects but does not own them. It has no timer of its own: the
// owner calls Step once per frame and shows OutputSurface. Within a step
// the water pass and the copy onto the frame surface are shared out in
// bands of rows over the engine's worker pool; with one thread they run on
// the caller alone.
#pragma once

#include <cstdint>
#include <memory>

#include "base/WorkerPool.h"
#include "engine/ClockOverlay.h"
#include "engine/Waves.h"
#include "graphics/Bitmap32.h"

namespace lumevra {

class Project;
class ObjectList;
class FontRaster;
class Snow;
class Rain;

class Engine {
public:
  // `threads` (1 .. WorkerPool::kMaxThreads) share each frame's passes.
  explicit Engine(int32_t threads = WorkerPool::HardwareThreads());
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Binds the project (its picture, mask, wave layers and speed) and the
  // objects drawn over it (may be null). Calling it again rebinds; Prepare
  // must follow.
  void SetProject(Project& project, ObjectList* objects);
  // One-time set-up for the bound project; may be repeated after a rebind.
  void Prepare();
  // Frees any snow or rain and, when on, creates what the project's weather
  // Kind asks for (1 snow, 2 rain; anything else nothing).
  void SetWeather(bool on);
  // One frame: water, the copy onto the frame surface when anything is drawn
  // over the waves, objects, weather, clock. Failures propagate.
  void Step();
  // The surface to present after Step.
  Bitmap32& OutputSurface();
  // True when anything is drawn over the waves (weather, objects or clock).
  bool UsesFrameSurface() const;

  void DrawObjects();
  void DrawClock();

  // The threads of the frame passes: a new pool of `threads` (clamped to
  // 1 .. WorkerPool::kMaxThreads); not while a Step runs.
  void SetThreads(int32_t threads);
  int32_t Threads() const { return Pool->Threads(); }

  int32_t Height = 0;
  int32_t Width = 0;
  // Phases, layer map, row ranges, jitter and row tables of the water.
  Waves Water;
  Bitmap32* Background = nullptr;  // the project's, not owned
  Bitmap32 ReflectionImage;
  Bitmap32* Mask = nullptr;  // the project's, not owned
  Bitmap32 WaveSurface;
  Bitmap32 FrameSurface;
  int32_t SpeedPercent = 100;
  Project* BoundProject = nullptr;  // set by SetProject
  std::unique_ptr<Snow> SnowFall;
  std::unique_ptr<Rain> RainFall;
  bool WeatherOn = false;
  bool AnyReflection = false;
  ObjectList* Objects = nullptr;  // not owned; may be null
  uint32_t LastTick = 0;
  bool TimeBased = true;
  bool ObjectsOn = true;
  ClockOverlay Clock;
  bool ClockOn = false;
  // Text objects are drawn through it; without one they are skipped.
  FontRaster* Fonts = nullptr;  // not owned

private:
  bool HasObjects() const;
  // FrameSurface.Draw(0, 0, WaveSurface), in bands of rows over the pool.
  void CopyWavesToFrame();

  std::unique_ptr<WorkerPool> Pool;
};

}  // namespace lumevra
