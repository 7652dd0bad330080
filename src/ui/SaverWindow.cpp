#include "ui/SaverWindow.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "base/AnsiText.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "engine/ScenePlayer.h"
#include "graphics/FontRaster.h"
#include "objects/ObjectList.h"
#include "package/Project.h"
#include "sound/MusicLoop.h"
#include "sound/SoundEffects.h"
#include "sound/SoundOutput.h"
#include "ui/SaverHost.h"
#include "ui/SaverSettings.h"
#include "ui/SharedFolders.h"
#include "ui/System.h"

namespace lumevra {

namespace {

// The smallest rectangle holding both.
PixelRect BoundingRect(const PixelRect& a, const PixelRect& b) {
  const int64_t left = std::min(a.left, b.left), top = std::min(a.top, b.top);
  const int64_t right = std::max(int64_t{a.left} + a.width, int64_t{b.left} + b.width);
  const int64_t bottom = std::max(int64_t{a.top} + a.height, int64_t{b.top} + b.height);
  return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
          static_cast<int32_t>(bottom - top)};
}

}  // namespace

namespace fs = std::filesystem;

namespace {

std::u16string UpperExtension(const fs::path& file) {
  std::u16string ext = file.extension().u16string();
  for (char16_t& c : ext)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return ext;
}

// Runs one closing step; a failure must not keep the others from running.
template <typename F>
void Absorb(F&& step) {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

SaverWindow::SaverWindow(System& system, SaverHost& host, FontRaster* fonts)
    : system_(system), host_(host), fonts_(fonts) {}

SaverWindow::~SaverWindow() {
  // Threads of the objects and the devices must be gone before the host.
  if (Scene) Scene->Release();
  if (MusicPlayer) Absorb([&] { MusicPlayer->Close(); });
  Sounds.reset();
  if (SceneClock) SetClock(ClockBefore);
}

bool SaverWindow::SceneRunning() const { return state_ != State::Closed && Scene && Scene->Loaded(); }

bool SaverWindow::IsWin9x() const {
  const uint8_t code = VersionCodeOf(system_.OsVersion());
  return code == 1 || code == 2 || code == 3 || code == 5;
}

void SaverWindow::ChooseWindowStyle() {
  const auto args = system_.Arguments();
  const fs::path param1 = args.empty() ? fs::path() : fs::u8path(args[0]);
  Windowed = UpperExtension(param1) == u".SCR" && UpperExtension(system_.ProgramFile()) == u".EXE";
  host_.SetWindowed(Windowed);
}

fs::path SaverWindow::PackageFile() const {
  // The authoring tool runs the bare runtime on a built screensaver.
  if (system_.ProgramFile().filename() == fs::path("StandAloneScr.exe")) {
    const auto args = system_.Arguments();
    return args.empty() ? fs::path() : fs::u8path(args[0]);
  }
  return system_.ProgramFile();
}

void SaverWindow::OnShow() {
  if (!SceneClock) {
    ClockBefore = &CurrentClock();
    SceneClock = std::make_unique<PausableClock>(*ClockBefore);
    SetClock(SceneClock.get());
  }
  Randomize();
  Sounds = std::make_unique<SoundEffects>(host_.Sound());
  MusicPlayer = std::make_unique<MusicLoop>(host_.Music());
  Scene = std::make_unique<ScenePlayer>(fonts_, GetSharedImagesFolder(system_));
  Scene->Extract(PackageFile(), system_.CreateExtractionFolder());
  const ResourceSet& resources = Scene->Resources();
  Music = resources.Music;
  MusicFile = resources.MusicFile;
  MusicVolume = resources.MusicVolume;
  SoundVolume = resources.SoundVolume;
  MusicPlayer->MusicFile = MusicFile;
  MusicPlayer->MusicVolume = MusicVolume;

  Sounds->SetVolume(SoundVolume);

  const SaverSettings settings = ReadSaverSettings(SettingsFileToRead(system_), Music);
  Speed = settings.Speed;
  Stretch = settings.Stretch;
  Proportional = settings.Proportional;
  Sound = settings.Sound;
  Music = settings.Music;
  ShowClock = settings.ShowClock && !Windowed;
  ClockPos = static_cast<uint8_t>(settings.ClockPos);
  AllMonitors = settings.AllMonitors;

  Project& project = Scene->GetProject();
  const PixelSize screen = host_.ScreenSize();
  if (Windowed) {
    const PixelSize client = host_.ClientSize();
    WindowSurface = std::make_unique<Bitmap32>();
    WindowSurface->SetSize(client.cx, client.cy);
    const int32_t w = project.Background.Width();
    const int32_t h = project.Background.Height();
    host_.SetPlacement((screen.cx - w) / 2, (screen.cy - h) / 2, w, h);
  } else {
    // One window over every monitor: input anywhere reaches it, and the
    // monitors the scene does not go to stay black.
    Monitors = host_.Monitors();
    PixelRect desktop = Monitors.empty() ? PixelRect{0, 0, screen.cx, screen.cy} : Monitors.front().bounds;
    for (const Monitor& m : Monitors) desktop = BoundingRect(desktop, m.bounds);
    DesktopLeft = desktop.left;
    DesktopTop = desktop.top;
    host_.SetPlacement(desktop.left, desktop.top, desktop.width, desktop.height);
  }

  if (Music) PlayMusic(MusicFile);
  SceneOptions options;
  options.speedPercent = Speed;
  options.stretch = Stretch;
  options.proportional = Proportional;
  options.showClock = ShowClock;
  options.clockCorner = ClockPos;
  // The scene is made for the primary monitor (the window, when windowed).
  options.screen = Windowed ? host_.ClientSize() : screen;
  Scene->Prepare(options);

  LastMouseX = -1;
  LastMouseY = -1;
  host_.SetIdleHandler(true);

  if (!Windowed) {
    host_.HideApplicationWindow();
    host_.SetTopmost();
    if (IsWin9x()) host_.SetScreenSaverRunning(true);
    host_.ShowCursor(false);
  }
  if (Sound) {
    InitSounds();
    TickSounds();
  }
  host_.SetCaption(AnsiToUtf16(project.Title));
}

bool SaverWindow::OnIdle() {
  if (state_ == State::Closed || Asleep) return true;
  try {
    Scene->Step();
    TickSounds();
    PresentFrame();
    // Frames start on a 32 ms beat counted from the previous start, not from
    // the end of the sleep, so that sleeping late does not add up frame
    // after frame; a slow frame is followed at once and the beat starts
    // again from there.
    const uint32_t now = TickCount();
    const int64_t delay = int64_t{kFrameInterval} - int64_t{TicksBetween(LastFrameTick, now)};
    if (delay > 0) {
      SleepMs(static_cast<uint32_t>(delay));
      LastFrameTick += kFrameInterval;
    } else {
      LastFrameTick = now;
    }
  } catch (...) {
    // A bad frame must not end the saver; the next idle call tries again.
  }
  return false;
}

void SaverWindow::PresentFrame() {
  // Input handled inside the frame may have closed the window already.
  if (!SceneRunning()) return;
  const Bitmap32& output = Scene->Frame();
  if (Windowed) {
    if (!WindowSurface) return;
    WindowSurface->DrawStretched(Rect{0, 0, WindowSurface->Width(), WindowSurface->Height()},
                                 Rect{0, 0, output.Width(), output.Height()}, output);
    host_.Present(WindowSurface->View(), 0, 0);
    return;
  }
  const PixelSize primary = host_.ScreenSize();
  const FrameOffset at = Scene->PlaceOn(primary);
  if (Monitors.size() <= 1) {
    host_.Present(output.View(), at.x - DesktopLeft, at.y - DesktopTop);
    return;
  }
  // The primary monitor first, exactly as made; the others by the same
  // rules at their own sizes.
  std::vector<PixelRect>& places = MonitorPlaces;
  places.clear();  // keeps its storage: no allocation per frame
  for (const Monitor& m : Monitors)
    if (m.primary)
      places.push_back({m.bounds.left - DesktopLeft + at.x, m.bounds.top - DesktopTop + at.y, output.Width(),
                        output.Height()});
  if (AllMonitors)
    for (const Monitor& m : Monitors) {
      if (m.primary) continue;
      PixelRect place = Scene->PlaceOnOther({m.bounds.width, m.bounds.height});
      place.left += m.bounds.left - DesktopLeft;
      place.top += m.bounds.top - DesktopTop;
      places.push_back(place);
    }
  host_.PresentPlaced(output.View(), places);
}

void SaverWindow::OnMouseMove(int32_t x, int32_t y) {
  if (Windowed) return;
  if (MouseSkip > 0) {
    --MouseSkip;
    return;
  }
  if (LastMouseX == -1) LastMouseX = x;
  if (LastMouseY == -1) LastMouseY = y;
  if (std::llabs(int64_t{x} - LastMouseX) > 2 || std::llabs(int64_t{y} - LastMouseY) > 2) Close();
  LastMouseX = x;
  LastMouseY = y;
}

void SaverWindow::OnDisplayPower(bool on) {
  if (Windowed || !SceneRunning() || Asleep == !on) return;
  Asleep = !on;
  ObjectList* objects = Scene->Objects();
  if (Asleep) {
    SceneClock->Pause();
    if (objects) objects->PauseWorkers(true);
    if (Sounds) Absorb([&] { Sounds->StopAll(); });
    // Looping sounds start again on waking; pauses between sounds wait on
    // the scene's clock, which stands still meanwhile.
    for (SoundState& s : SoundStates) s.Started = false;
    if (MusicPlayer) Absorb([&] { MusicPlayer->Pause(); });
    host_.SetIdleHandler(false);
  } else {
    SceneClock->Resume();
    if (objects) objects->PauseWorkers(false);
    if (MusicPlayer) Absorb([&] { MusicPlayer->Resume(); });
    host_.SetIdleHandler(true);
  }
}

void SaverWindow::OnMouseDown() {
  if (!Windowed) Close();
}

void SaverWindow::OnKeyDown() {
  if (!Windowed) Close();
}

void SaverWindow::OnResize() {
  if (!Windowed || !WindowSurface) return;
  const PixelSize client = host_.ClientSize();
  WindowSurface->SetSize(client.cx, client.cy);
}

void SaverWindow::Close() {
  if (state_ != State::Running) return;
  if (!CanClose()) return;
  state_ = State::Closing;
  OnClose();
  host_.Close();
}

bool SaverWindow::CanClose() {
  // Newer systems check the password themselves.
  if (!IsWin9x()) return true;
  MouseSkip = 5;
  try {
    return host_.VerifyPassword();
  } catch (...) {
    return true;
  }
}

void SaverWindow::OnClose() {
  if (MusicPlayer) Absorb([&] { MusicPlayer->Close(); });
  Absorb([&] { host_.SetIdleHandler(false); });
  Absorb([&] {
    if (Scene) Scene->RemoveProjectAndSoundFiles();
  });
  state_ = State::Closed;
  // Ends the object threads; the extracted files go at RemoveExtractedFiles.
  Absorb([&] {
    if (Scene) Scene->Release();
  });
  if (!Windowed) {
    Absorb([&] {
      if (IsWin9x()) host_.SetScreenSaverRunning(false);
    });
    Absorb([&] { host_.ShowCursor(true); });
  }
  Absorb([&] {
    if (Sounds) Sounds->StopAll();
  });
  Absorb([&] { Sounds.reset(); });
}

void SaverWindow::RemoveExtractedFiles() {
  WindowSurface.reset();
  if (Scene) Scene->RemoveExtractedFiles();
}

void SaverWindow::InitSounds() {
  if (!SceneRunning() || !Sounds) return;
  const Project& project = Scene->GetProject();
  const int32_t count = std::min<int32_t>(project.SoundCount(), kSoundSlots);
  for (int32_t i = 0; i < count; ++i) {
    SoundState& s = SoundStates[static_cast<size_t>(i)];
    const SoundSlot& slot = project.SoundSlots[static_cast<size_t>(i)];
    s.Active = false;
    s.Started = false;
    s.StartTick = TickCount();
    std::error_code ec;
    const fs::path file = AnsiToPath(slot.SoundFile);
    if (!slot.SoundFile.empty() && fs::is_regular_file(file, ec)) {
      s.Active = true;
      try {
        Sounds->AddSound(i, file);
      } catch (...) {
        s.Active = false;
      }
    }
    if (slot.ModeOf() == SoundPlayMode::RandomPause) s.NextDelay = RandomRange(slot.PauseMin, slot.PauseMax);
    else if (slot.ModeOf() == SoundPlayMode::FixedPause) s.NextDelay = slot.PauseMin;
  }
}

void SaverWindow::TickSounds() {
  if (!SceneRunning() || !Sounds) return;
  const int32_t count = std::min<int32_t>(Scene->GetProject().SoundCount(), kSoundSlots);
  for (int32_t i = 0; i < count && SceneRunning(); ++i) {
    SoundState& s = SoundStates[static_cast<size_t>(i)];
    if (!s.Active) continue;
    const SoundSlot& slot = Scene->GetProject().SoundSlots[static_cast<size_t>(i)];
    const uint32_t now = TickCount();
    // Whole seconds since the pause began, correct across the tick wrap.
    const int64_t elapsed = TicksBetween(static_cast<uint32_t>(s.StartTick), now) / 1000;
    bool play = false;
    const SoundPlayMode mode = slot.ModeOf();
    switch (mode) {
      case SoundPlayMode::Loop:
        if (!s.Started) {
          s.Started = true;
          play = true;
        }
        break;
      case SoundPlayMode::RandomPause:
        if (elapsed >= s.NextDelay) {
          s.StartTick = now;
          s.NextDelay = RandomRange(slot.PauseMin, slot.PauseMax);
          play = true;
        }
        break;
      case SoundPlayMode::FixedPause:
        if (elapsed >= slot.PauseMin) {
          s.StartTick = now;
          play = true;
        }
        break;
      case SoundPlayMode::Never: break;
    }
    if (play) {
      Sounds->Play(i, mode == SoundPlayMode::Loop);
      host_.ProcessMessages();
      if (state_ == State::Closed) return;  // the messages closed the window
    }
  }
}

bool SaverWindow::PlayMusic(const fs::path& file) { return MusicPlayer && MusicPlayer->PlayMusic(file); }

void SaverWindow::OnMusicEnded() {
  if (MusicPlayer) MusicPlayer->OnMusicEnded();
}

}  // namespace lumevra
