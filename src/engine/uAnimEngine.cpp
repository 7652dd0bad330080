#include "engine/uAnimEngine.h"

#include <stdexcept>

#include "base/Random.h"
#include "base/Rounding.h"
#include "base/Ticks.h"
#include "objects/AnimObjects.h"
#include "package/uKAProject.h"
#include "weather/uRain.h"
#include "weather/uSnow.h"

namespace lumevra {

namespace {

constexpr uint32_t kClockColor = 0xFFFFFF;
constexpr int32_t kClockAlpha = 180;
constexpr int32_t kLargestFlake = 8;

}  // namespace

TAnimEngine::TAnimEngine() { CosTable(); }

TAnimEngine::~TAnimEngine() = default;

void TAnimEngine::SetProject(TProject& project) {
  Project = &project;
  Background = &project.Background;
  Mask = &project.Mask;
  SpeedPercent = project.SpeedPercent;
  Objects = dynamic_cast<TAnimObjects*>(project.Objects.get());
  // The old wave state refers to the previous project: nothing steps until Prepare.
  Waves.Bind(nullptr, 0, 0);
}

bool TAnimEngine::HasObjects() const { return Project && Project->Objects && Project->Objects->Count() > 0; }

bool TAnimEngine::UsesFrameSurface() const { return WeatherOn || HasObjects() || ClockOn; }

TBitmap32& TAnimEngine::OutputSurface() { return UsesFrameSurface() ? FrameSurface : WaveSurface; }

void TAnimEngine::Prepare() {
  if (!Project) throw std::logic_error("TAnimEngine::Prepare without a project");
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

  if (Project->Weather.Kind > 0 || HasObjects() || ClockOn) FrameSurface.SetSize(Width, Height);

  Randomize();
  Waves.Bind(&Project->WaveParams, Width, Height);

  AnyReflection = false;
  for (const TWaveParam& p : Project->WaveParams) AnyReflection = AnyReflection || p.Reflection;
  if (AnyReflection) {
    ReflectionImage.SetSize(Width, Height);
    ReflectionImage.Draw(0, 0, *Background);
  } else {
    ReflectionImage.SetSize(0, 0);
  }

  Waves.BuildRowTables(*Background, *Mask, AnyReflection ? &ReflectionImage : nullptr);
  if (AnyReflection) Waves.BuildReflection(*Background, *Mask, ReflectionImage);
  Waves.BuildLayerMap();
  Waves.FillJitter();

  if (Objects) {
    for (size_t i = 0; i < Objects->Count(); ++i) {
      TAnimObject& object = Objects->Items(i);
      object.ScreenRect = TRect{0, 0, Width, Height};
      object.BackWidth = Project->Width;
      object.BackHeight = Project->Height;
      object.Start();
    }
  }

  SetWeather(WeatherOn);
  Step();
  WaveSurface.Assign(*Background);
}

void TAnimEngine::SetWeather(bool on) {
  WeatherOn = on;
  Snow.reset();
  Rain.reset();
  if (!on || !Project) return;
  const TWeatherParam& w = Project->Weather;
  if (w.Kind == 1) {
    Snow = std::make_unique<TSnow>();
    Snow->Surface = &FrameSurface;
    Snow->SetAmount(w.Amount);
    Snow->Populate();
  } else if (w.Kind == 2) {
    Rain = std::make_unique<TRain>();
    Rain->DropLength = 10;
    Rain->SetAmount(100);
    Rain->Surface = &FrameSurface;
    Rain->SetAmount(w.Amount);
    Rain->Populate();
  }
}

void TAnimEngine::Step() {
  if (!Project || !Waves.Params) throw std::logic_error("TAnimEngine::Step before Prepare");
  const uint32_t elapsed = TicksBetween(LastTick, TickCount());
  LastTick = TickCount();

  Waves.Frame(WaveSurface);
  Waves.AdvancePhases(elapsed, SpeedPercent, TimeBased);

  if (UsesFrameSurface()) {
    // Weather or a clock switched on after Prepare still gets a frame to draw on.
    if (FrameSurface.Width() != Width || FrameSurface.Height() != Height) FrameSurface.SetSize(Width, Height);
    FrameSurface.Draw(0, 0, WaveSurface);
  }

  DrawObjects();

  if (WeatherOn) {
    const TWeatherParam& w = Project->Weather;
    if (w.Kind == 1 && Snow) {
      Snow->Elapsed = static_cast<int32_t>(elapsed);
      Snow->SpeedPercent = SpeedPercent;
      Snow->SpeedIndex = w.SpeedIndex;
      Snow->Opacity = w.Opacity;
      Snow->MaxSize = w.SizeOrSlant < kLargestFlake ? w.SizeOrSlant : kLargestFlake;
      Snow->TimeBased = TimeBased;
      Snow->Advance();
    } else if (w.Kind == 2 && Rain) {
      Rain->Elapsed = static_cast<int32_t>(elapsed);
      Rain->SpeedPercent = SpeedPercent;
      Rain->SpeedIndex = w.SpeedIndex;
      Rain->DropLength = w.DropLength;
      Rain->Opacity = w.Opacity;
      Rain->Angle = static_cast<int32_t>(180u - static_cast<uint32_t>(w.SizeOrSlant));
      Rain->TimeBased = TimeBased;
      Rain->Advance();
    }
  }

  if (ClockOn) DrawClock();
}

void TAnimEngine::DrawClock() {
  TBitmap32& out = OutputSurface();
  const ClockPoint at = Clock.CornerPosition(Width, Height);
  Clock.GrabBackground(out, at.x, at.y);
  Clock.Render().DrawTo(out, at.x, at.y);
}

}  // namespace lumevra
