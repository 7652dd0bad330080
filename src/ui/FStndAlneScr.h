// TfmStndAlneScr: the window of saver mode. When shown it reads the
// settings, extracts the package, loads the project, prepares the engine and
// starts music and sounds; then it shows a frame from every idle call until
// the user moves the mouse, clicks or presses a key. The backend owns the
// real window (SaverHost) and delivers its events here.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "graphics/Bitmap32.h"
#include "package/uProjectExtractor.h"
#include "platform/Platform.h"

namespace lumevra {

class TAnimEngine;
class TProject;
class TSoundEffect;
class TMediaPlayer;

// Scheduling of one sound slot.
struct SoundState {
  bool Active = false;   // the slot's file exists and loaded
  bool Started = false;  // a looping slot has been started
  int64_t StartTick = 0;  // tick count when the current pause began
  int64_t NextDelay = 0;  // seconds of pause before the next play
};

class TfmStndAlneScr final : public SaverEvents {
public:
  static constexpr uint32_t kFrameInterval = 32;  // ms from one frame start to the next

  TfmStndAlneScr(System& system, SaverHost& host, FontRaster* fonts);
  ~TfmStndAlneScr() override;
  TfmStndAlneScr(const TfmStndAlneScr&) = delete;
  TfmStndAlneScr& operator=(const TfmStndAlneScr&) = delete;

  // Decides the windowed test run and tells the host the window style.
  void FormCreate();
  // SaverEvents
  void FormShow() override;
  bool IdleFrame() override;
  void FormMouseMove(int32_t x, int32_t y) override;
  void FormMouseDown() override;
  void FormKeyDown() override;
  void FormResize() override;
  // Asks whether closing is allowed; if so closes and ends the host's loop.
  void Close() override;

  bool FormCloseQuery();
  void FormClose();
  // At the end of the process: the remaining extracted files and the folder.
  void FormDestroy();
  void PresentFrame();
  void InitSounds();
  void TickSounds();
  bool PlayMusic(const std::filesystem::path& file);
  void MediaPlayerNotify();

  // The file whose package is shown: the one named by parameter 1 when the
  // program file is exactly "StandAloneScr.exe", else the program itself.
  std::filesystem::path PackageFile() const;

  // Window-level values.
  bool Windowed = false;
  int32_t LastMouseX = -1;
  int32_t LastMouseY = -1;
  int32_t MouseSkip = 0;
  uint32_t LastFrameTick = 0;
  int32_t Tag = 0;  // -1 once closed: idle calls do nothing

  // Settings and header values.
  bool Stretch = true;
  bool Proportional = false;
  bool Sound = true;
  bool Music = false;
  bool ShowClock = false;
  uint8_t ClockPos = 1;
  int32_t Speed = 100;
  int32_t MusicVolume = 100;
  int32_t SoundVolume = 100;
  std::filesystem::path MusicFile;

  ResourceSet Resources;  // TempDir, ResFiles, ProjectFile of the extraction
  std::unique_ptr<TProject> Project;
  std::unique_ptr<TAnimEngine> Engine;
  std::unique_ptr<TSoundEffect> SoundPlayer;
  std::unique_ptr<TMediaPlayer> MediaPlayer;
  std::unique_ptr<TBitmap32> WindowSurface;  // windowed test run only
  std::array<SoundState, 8> SoundStates{};

private:
  bool IsWin9x() const;

  System& system_;
  SaverHost& host_;
  FontRaster* fonts_;
  bool closing_ = false;
  bool extracted_ = false;
};

}  // namespace lumevra
