#include "ui/FStndAlneScr.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "base/AnsiText.h"
#include "base/Random.h"
#include "base/Ticks.h"
#include "engine/FitBackground.h"
#include "engine/uAnimEngine.h"
#include "objects/AnimObjects.h"
#include "package/uKAProject.h"
#include "sound/Music.h"
#include "sound/uSoundEffect.h"
#include "ui/SaverSettings.h"
#include "ui/uConfig.h"

namespace lumevra {

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

TfmStndAlneScr::TfmStndAlneScr(System& system, SaverHost& host, FontRaster* fonts)
    : system_(system), host_(host), fonts_(fonts) {}

TfmStndAlneScr::~TfmStndAlneScr() {
  // Threads of the objects and the devices must be gone before the host.
  Engine.reset();
  Project.reset();
  if (MediaPlayer) Absorb([&] { MediaPlayer->Close(); });
  SoundPlayer.reset();
}

bool TfmStndAlneScr::IsWin9x() const {
  const uint8_t code = VersionCodeOf(system_.OsVersion());
  return code == 1 || code == 2 || code == 3 || code == 5;
}

void TfmStndAlneScr::FormCreate() {
  const auto args = system_.Arguments();
  const fs::path param1 = args.empty() ? fs::path() : fs::u8path(args[0]);
  Windowed = UpperExtension(param1) == u".SCR" && UpperExtension(system_.ProgramFile()) == u".EXE";
  host_.SetWindowed(Windowed);
}

fs::path TfmStndAlneScr::PackageFile() const {
  // The authoring tool runs the bare runtime on a built screensaver.
  if (system_.ProgramFile().filename() == fs::path("StandAloneScr.exe")) {
    const auto args = system_.Arguments();
    return args.empty() ? fs::path() : fs::u8path(args[0]);
  }
  return system_.ProgramFile();
}

void TfmStndAlneScr::FormShow() {
  Randomize();
  SoundPlayer = std::make_unique<TSoundEffect>(host_.Sound());
  MediaPlayer = std::make_unique<TMediaPlayer>(host_.Music());
  Project = std::make_unique<TProject>(MakeAnimObjectsFactory(GetSharedImagesFolder(system_)));

  Resources = ExtractResources(PackageFile(), system_.TempFolder(), system_.ProgramFile(), *Project);
  extracted_ = true;
  Music = Resources.Music;
  MusicFile = Resources.MusicFile;
  MusicVolume = Resources.MusicVolume;
  SoundVolume = Resources.SoundVolume;
  MediaPlayer->MusicFile = MusicFile;
  MediaPlayer->MusicVolume = MusicVolume;

  SoundPlayer->SetVolume(SoundVolume);

  const SaverSettings settings = ReadSaverSettings(SettingsFileName(system_.ProgramFile()), Music);
  Speed = settings.Speed;
  Stretch = settings.Stretch;
  Proportional = settings.Proportional;
  Sound = settings.Sound;
  Music = settings.Music;
  ShowClock = settings.ShowClock && !Windowed;
  ClockPos = static_cast<uint8_t>(settings.ClockPos);

  Engine = std::make_unique<TAnimEngine>();
  Engine->Fonts = fonts_;

  const TextExtent screen = host_.ScreenSize();
  if (Windowed) {
    const TextExtent client = host_.ClientSize();
    WindowSurface = std::make_unique<TBitmap32>();
    WindowSurface->SetSize(client.cx, client.cy);
    const int32_t w = Project->Background.Width();
    const int32_t h = Project->Background.Height();
    host_.SetPlacement((screen.cx - w) / 2, (screen.cy - h) / 2, w, h);
  } else {
    host_.SetPlacement(0, 0, screen.cx, screen.cy);
  }

  if (Stretch) {
    const TextExtent client = host_.ClientSize();
    FitBackground(Proportional, *Project, client.cx, client.cy);
  }
  if (Music) PlayMusic(MusicFile);
  Project->SetSpeedPercent(Speed);

  Engine->SetProject(*Project);
  Engine->ClockOn = ShowClock;
  Engine->Clock.Corner = ClockPos;
  Engine->Prepare();
  Engine->SetWeather(Project->Weather.Kind > 0);

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
  host_.SetCaption(AnsiToUtf16(Project->Title));
}

bool TfmStndAlneScr::IdleFrame() {
  if (Tag == -1) return true;
  try {
    Engine->Step();
    TickSounds();
    PresentFrame();
    // A frame starts at most every 32 ms; a slow frame is followed at once.
    const int64_t delay = int64_t{kFrameInterval} - int64_t{TicksBetween(LastFrameTick, TickCount())};
    if (delay > 0) SleepMs(static_cast<uint32_t>(delay));
    LastFrameTick = TickCount();
  } catch (...) {
    // A bad frame must not end the saver; the next idle call tries again.
  }
  return false;
}

void TfmStndAlneScr::PresentFrame() {
  // Input handled inside the frame may have closed the window already.
  if (Tag == -1 || !Engine) return;
  const TBitmap32& output = Engine->OutputSurface();
  if (Windowed) {
    if (!WindowSurface) return;
    WindowSurface->DrawStretched(TRect{0, 0, WindowSurface->Width(), WindowSurface->Height()},
                                 TRect{0, 0, output.Width(), output.Height()}, output);
    host_.Present(WindowSurface->View(), 0, 0);
    return;
  }
  int32_t x = 0;
  int32_t y = 0;
  if (!Stretch || Proportional) {
    const TextExtent screen = host_.ScreenSize();
    const int32_t w = Engine->Background ? Engine->Background->Width() : 0;
    const int32_t h = Engine->Background ? Engine->Background->Height() : 0;
    x = (screen.cx - w) / 2;
    y = (screen.cy - h) / 2;
  }
  host_.Present(output.View(), x, y);
}

void TfmStndAlneScr::FormMouseMove(int32_t x, int32_t y) {
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

void TfmStndAlneScr::FormMouseDown() {
  if (!Windowed) Close();
}

void TfmStndAlneScr::FormKeyDown() {
  if (!Windowed) Close();
}

void TfmStndAlneScr::FormResize() {
  if (!Windowed || !WindowSurface) return;
  const TextExtent client = host_.ClientSize();
  WindowSurface->SetSize(client.cx, client.cy);
}

void TfmStndAlneScr::Close() {
  if (closing_) return;
  if (!FormCloseQuery()) return;
  closing_ = true;
  FormClose();
  host_.Close();
}

bool TfmStndAlneScr::FormCloseQuery() {
  // Newer systems check the password themselves.
  if (!IsWin9x()) return true;
  MouseSkip = 5;
  try {
    return host_.VerifyPassword();
  } catch (...) {
    return true;
  }
}

void TfmStndAlneScr::FormClose() {
  if (MediaPlayer) Absorb([&] { MediaPlayer->Close(); });
  Absorb([&] { host_.SetIdleHandler(false); });
  Absorb([&] {
    // Only files this extraction made: a slot that was never re-pointed
    // still names a file of the author's, which is not ours to delete.
    auto ours = [&](const fs::path& f) {
      return !f.empty() && std::find(Resources.Created.begin(), Resources.Created.end(), f) != Resources.Created.end();
    };
    std::error_code ec;
    if (Project)
      for (int32_t i = 0; i < Project->SoundCount() && i < 8; ++i) {
        const fs::path f = AnsiToPath(Project->SoundSlots[static_cast<size_t>(i)].SoundFile);
        if (ours(f)) fs::remove(f, ec);
      }
    if (ours(Resources.ProjectFile)) fs::remove(Resources.ProjectFile, ec);
  });
  Tag = -1;
  Absorb([&] { Engine.reset(); });
  Absorb([&] { Project.reset(); });
  if (!Windowed) {
    Absorb([&] {
      if (IsWin9x()) host_.SetScreenSaverRunning(false);
    });
    Absorb([&] { host_.ShowCursor(true); });
  }
  Absorb([&] {
    if (SoundPlayer) SoundPlayer->StopAll();
  });
  Absorb([&] { SoundPlayer.reset(); });
}

void TfmStndAlneScr::FormDestroy() {
  WindowSurface.reset();
  if (!extracted_) return;
  extracted_ = false;
  DeleteResources(Resources);
}

void TfmStndAlneScr::InitSounds() {
  if (!Project || !SoundPlayer) return;
  const int32_t count = std::min(Project->SoundCount(), 8);
  for (int32_t i = 0; i < count; ++i) {
    SoundState& s = SoundStates[static_cast<size_t>(i)];
    const SoundSlot& slot = Project->SoundSlots[static_cast<size_t>(i)];
    s.Active = false;
    s.Started = false;
    s.StartTick = TickCount();
    std::error_code ec;
    const fs::path file = AnsiToPath(slot.SoundFile);
    if (!slot.SoundFile.empty() && fs::is_regular_file(file, ec)) {
      s.Active = true;
      try {
        SoundPlayer->AddSound(i, file);
      } catch (...) {
        s.Active = false;
      }
    }
    if (slot.PlayMode == 1) s.NextDelay = RandomRange(slot.PauseMin, slot.PauseMax);
    else if (slot.PlayMode == 2) s.NextDelay = slot.PauseMin;
  }
}

void TfmStndAlneScr::TickSounds() {
  if (!Project || !SoundPlayer) return;
  const int32_t count = std::min(Project->SoundCount(), 8);
  for (int32_t i = 0; i < count && Project; ++i) {
    SoundState& s = SoundStates[static_cast<size_t>(i)];
    if (!s.Active) continue;
    const SoundSlot& slot = Project->SoundSlots[static_cast<size_t>(i)];
    const uint32_t now = TickCount();
    // Whole seconds since the pause began, correct across the tick wrap.
    const int64_t elapsed = TicksBetween(static_cast<uint32_t>(s.StartTick), now) / 1000;
    bool play = false;
    switch (slot.PlayMode) {
      case 0:
        if (!s.Started) {
          s.Started = true;
          play = true;
        }
        break;
      case 1:
        if (elapsed >= s.NextDelay) {
          s.StartTick = now;
          s.NextDelay = RandomRange(slot.PauseMin, slot.PauseMax);
          play = true;
        }
        break;
      case 2:
        if (elapsed >= slot.PauseMin) {
          s.StartTick = now;
          play = true;
        }
        break;
      default: break;
    }
    if (play) {
      SoundPlayer->Play(i, slot.PlayMode == 0);
      host_.ProcessMessages();
      if (Tag == -1) return;  // the messages closed the window
    }
  }
}

bool TfmStndAlneScr::PlayMusic(const fs::path& file) { return MediaPlayer && MediaPlayer->PlayMusic(file); }

void TfmStndAlneScr::MediaPlayerNotify() {
  if (MediaPlayer) MediaPlayer->MediaPlayerNotify();
}

}  // namespace lumevra
