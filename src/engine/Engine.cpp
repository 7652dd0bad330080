#include "engine/Engine.h"

#include <algorithm>
#include <stdexcept>

#include "base/Clock.h"
#include "base/Random.h"
#include "base/Rounding.h"
#include "objects/ObjectList.h"
#include "package/Project.h"
#include "weather/Rain.h"
#include "weather/Snow.h"

namespace lumevra {

namespace {

constexpr uint32_t kClockColor = 0xFFFFFF;
constexpr int32_t kClockAlpha = 180;
constexpr int32_t kLargestFlake = 8;
// Fewer pixels than this per band are copied faster than a band is handed
// out; a few bands per thread let a thread that is through early take more.
constexpr int64_t kMinCopyBandPixels = int64_t{1} << 16;
constexpr int64_t kCopyBandsPerThread = 4;

}  // namespace

Engine::Engine(int32_t threads) : Pool(std::make_unique<WorkerPool>(threads)) { CosTable(); }

void Engine::SetThreads(int32_t threads) { Pool = std::make_unique<WorkerPool>(threads); }

Engine::~Engine() = default;

void Engine::SetProject(Project& project, ObjectList* objects) {
  BoundProject = &project;
  Background = &project.Background;
  Mask = &project.Mask;
  SpeedPercent = project.SpeedPercent;
  Objects = objects;
  // The old wave state refers to the previous project: nothing steps until Prepare.
  Water.Bind(nullptr, 0, 0);
}

bool Engine::HasObjects() const { return Objects && Objects->Count() > 0; }

bool Engine::UsesFrameSurface() const { return WeatherOn || HasObjects() || ClockOn; }

Bitmap32& Engine::OutputSurface() { return UsesFrameSurface() ? FrameSurface : WaveSurface; }

void Engine::Prepare() {
  if (!BoundProject) throw std::logic_error("Engine::Prepare without a project");
  LastTick = TickCount();

  Width = Background->Width();
  Height = Background->Height();
  WaveSurface.SetSize(Width, Height);

  Clock.Color = kClockColor;
  Clock.Alpha = kClockAlpha;
  if (ClockOn) {
    const auto side = static_cast<int32_t>(Round(Width / 8.0));
    Clock.SetSize(side, side);
  }

  if (BoundProject->Weather.SwitchedOn() || HasObjects() || ClockOn) FrameSurface.SetSize(Width, Height);

  Randomize();
  Water.Bind(&BoundProject->WaveLayers, Width, Height);

  AnyReflection = false;
  for (const WaveParams& p : BoundProject->WaveLayers) AnyReflection = AnyReflection || p.Reflection;
  if (AnyReflection) {
    ReflectionImage.SetSize(Width, Height);
    ReflectionImage.Draw(0, 0, *Background);
  } else {
    ReflectionImage.SetSize(0, 0);
  }

  Water.BuildRowTables(*Background, *Mask, AnyReflection ? &ReflectionImage : nullptr);
  if (AnyReflection) Water.BuildReflection(*Background, *Mask, ReflectionImage);
  Water.BuildLayerMap();
  Water.FillJitter();

  if (Objects) {
    for (size_t i = 0; i < Objects->Count(); ++i) {
      AnimObject& object = Objects->Items(i);
      object.ScreenRect = Rect{0, 0, Width, Height};
      object.BackWidth = BoundProject->Width;
      object.BackHeight = BoundProject->Height;
      object.Start();
    }
  }

  SetWeather(WeatherOn);
  Step();
  WaveSurface.Assign(*Background);
}

void Engine::SetWeather(bool on) {
  WeatherOn = on;
  SnowFall.reset();
  RainFall.reset();
  if (!on || !BoundProject) return;
  const WeatherParams& w = BoundProject->Weather;
  if (w.KindOf() == WeatherKind::Snow) {
    SnowFall = std::make_unique<Snow>();
    SnowFall->Surface = &FrameSurface;
    SnowFall->SetAmount(w.Amount);
    SnowFall->Populate();
  } else if (w.KindOf() == WeatherKind::Rain) {
    RainFall = std::make_unique<Rain>();
    RainFall->DropLength = 10;
    RainFall->SetAmount(100);
    RainFall->Surface = &FrameSurface;
    RainFall->SetAmount(w.Amount);
    RainFall->Populate();
  }
}

void Engine::Step() {
  if (!BoundProject || !Water.Params) throw std::logic_error("Engine::Step before Prepare");
  const uint32_t elapsed = TicksBetween(LastTick, TickCount());
  LastTick = TickCount();

  Water.Frame(WaveSurface, Pool.get());
  Water.AdvancePhases(elapsed, SpeedPercent, TimeBased);

  if (UsesFrameSurface()) {
    // Weather or a clock switched on after Prepare still gets a frame to draw on.
    if (FrameSurface.Width() != Width || FrameSurface.Height() != Height) FrameSurface.SetSize(Width, Height);
    CopyWavesToFrame();
  }

  DrawObjects();

  if (WeatherOn) {
    const WeatherParams& w = BoundProject->Weather;
    if (w.KindOf() == WeatherKind::Snow && SnowFall) {
      SnowFall->Elapsed = static_cast<int32_t>(elapsed);
      SnowFall->SpeedPercent = SpeedPercent;
      SnowFall->SpeedIndex = w.SpeedIndex;
      SnowFall->Opacity = w.Opacity;
      SnowFall->MaxSize = w.SizeOrSlant < kLargestFlake ? w.SizeOrSlant : kLargestFlake;
      SnowFall->TimeBased = TimeBased;
      SnowFall->Advance();
    } else if (w.KindOf() == WeatherKind::Rain && RainFall) {
      RainFall->Elapsed = static_cast<int32_t>(elapsed);
      RainFall->SpeedPercent = SpeedPercent;
      RainFall->SpeedIndex = w.SpeedIndex;
      RainFall->DropLength = w.DropLength;
      RainFall->Opacity = w.Opacity;
      RainFall->Angle = static_cast<int32_t>(180u - static_cast<uint32_t>(w.SizeOrSlant));
      RainFall->TimeBased = TimeBased;
      RainFall->Advance();
    }
  }

  if (ClockOn) DrawClock();
}

void Engine::CopyWavesToFrame() {
  const int64_t pixels = int64_t{Width} * Height;
  const auto bands =
      static_cast<int32_t>(std::min<int64_t>(Pool->Threads() * kCopyBandsPerThread, pixels / kMinCopyBandPixels));
  // An opaque surface draws as row copies, each band's rows on their own;
  // any other mode keeps the single draw.
  if (Pool->Threads() == 1 || bands <= 1 || WaveSurface.Mode != DrawMode::dmOpaque) {
    FrameSurface.Draw(0, 0, WaveSurface);
    return;
  }
  Pool->Run(bands, [&](int32_t k) {
    const Rect rows{0, static_cast<int32_t>(int64_t{Height} * k / bands), Width,
                    static_cast<int32_t>(int64_t{Height} * (k + 1) / bands)};
    FrameSurface.DrawStretched(rows, rows, WaveSurface);
  });
}

void Engine::DrawClock() {
  Bitmap32& out = OutputSurface();
  const ClockPoint at = Clock.CornerPosition(Width, Height);
  Clock.GrabBackground(out, at.x, at.y);
  Clock.Render().DrawTo(out, at.x, at.y);
}

}  // namespace lumevra
