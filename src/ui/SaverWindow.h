// SaverWindow: the window of saver mode. When shown it reads the settings,
// extracts and prepares the scene and starts music and sounds; then it
// shows a frame from every idle call until the user moves the mouse, clicks
// or presses a key. The backend owns the real window (SaverHost) and
// delivers its events here.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "base/Clock.h"
#include "graphics/Bitmap32.h"
#include "graphics/FontRaster.h"
#include "package/ProjectRecords.h"
#include "ui/SaverHost.h"
#include "ui/System.h"

namespace lumevra {

class ScenePlayer;
class SoundEffects;
class MusicLoop;

// Scheduling of one sound slot.
struct SoundState {
  bool Active = false;   // the slot's file exists and loaded
  bool Started = false;  // a looping slot has been started
  int64_t StartTick = 0;  // tick count when the current pause began
  int64_t NextDelay = 0;  // seconds of pause before the next play
};

class SaverWindow final : public SaverEvents {
public:
  static constexpr uint32_t kFrameInterval = 32;  // ms from one frame start to the next

  // Running: frames are shown. Closing: closing was allowed and the close
  // steps run. Closed: the scene is gone and idle calls do nothing.
  enum class State { Running, Closing, Closed };

  SaverWindow(System& system, SaverHost& host, FontRaster* fonts);
  ~SaverWindow() override;
  SaverWindow(const SaverWindow&) = delete;
  SaverWindow& operator=(const SaverWindow&) = delete;

  // Decides the windowed test run and tells the host the window style.
  void ChooseWindowStyle();
  // SaverEvents
  void OnShow() override;
  bool OnIdle() override;
  void OnMouseMove(int32_t x, int32_t y) override;
  void OnMouseDown() override;
  void OnKeyDown() override;
  // Asleep: no frames, objects and sounds paused, the loop waits for events,
  // and the scene's clock stands still, so on waking everything goes on
  // where it was.
  void OnDisplayPower(bool on) override;
  void OnResize() override;
  // Asks whether closing is allowed; if so closes and ends the host's loop.
  void Close() override;

  // The 95/98/ME password check; true allows closing.
  bool CanClose();
  // Stops music and sounds, ends the scene and restores the cursor.
  void OnClose();
  // At the end of the process: the extracted files and their folder.
  void RemoveExtractedFiles();
  void PresentFrame();
  void InitSounds();
  void TickSounds();
  bool PlayMusic(const std::filesystem::path& file);
  void OnMusicEnded();

  // The file whose package is shown: the one named by parameter 1 when the
  // program file is exactly "StandAloneScr.exe", else the program itself.
  std::filesystem::path PackageFile() const;
  State CurrentState() const { return state_; }

  // Window-level values.
  bool Windowed = false;
  bool Asleep = false;  // the display is off
  int32_t LastMouseX = -1;
  int32_t LastMouseY = -1;
  int32_t MouseSkip = 0;
  uint32_t LastFrameTick = 0;

  // Settings and header values.
  bool Stretch = true;
  bool Proportional = false;
  bool Sound = true;
  bool Music = false;
  bool ShowClock = false;
  uint8_t ClockPos = 1;
  bool AllMonitors = true;
  int32_t Speed = 100;
  int32_t MusicVolume = 100;
  int32_t SoundVolume = 100;
  std::filesystem::path MusicFile;

  // The scene's time: installed as the process's tick source from OnShow to
  // the window's end, so that the display's sleep counts for nobody.
  // Declared before the scene, whose threads read it, so it outlives them.
  std::unique_ptr<PausableClock> SceneClock;
  Clock* ClockBefore = nullptr;
  std::unique_ptr<ScenePlayer> Scene;
  std::unique_ptr<SoundEffects> Sounds;
  std::unique_ptr<MusicLoop> MusicPlayer;
  std::unique_ptr<Bitmap32> WindowSurface;  // windowed test run only
  // Full screen: the monitors the window covers, and its top left on the
  // desktop (the corner of all monitors together).
  std::vector<Monitor> Monitors;
  std::vector<PixelRect> MonitorPlaces;  // where the last frame went, one per monitor showing it
  int32_t DesktopLeft = 0;
  int32_t DesktopTop = 0;
  std::array<SoundState, kSoundSlots> SoundStates{};

private:
  bool IsWin9x() const;
  bool SceneRunning() const;

  System& system_;
  SaverHost& host_;
  FontRaster* fonts_;
  State state_ = State::Running;
};

}  // namespace lumevra
