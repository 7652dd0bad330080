// The saver window's media player: plays the package's music in an endless
// loop, by the device's own looping where it has one (no gap between the
// end and the start), else re-opening the file each time it has played to
// its end.
#pragma once

#include <cstdint>
#include <filesystem>

#include "sound/MusicDevice.h"

namespace lumevra {

class MusicLoop {
public:
  // A null device plays nothing (every PlayMusic fails).
  explicit MusicLoop(MusicDevice* device) : device_(device) {}
  ~MusicLoop();
  MusicLoop(const MusicLoop&) = delete;
  MusicLoop& operator=(const MusicLoop&) = delete;

  // Open, volume MusicVolume x 10, looping asked for, play with notification. True when every
  // step succeeded; a failure stops there.
  bool PlayMusic(const std::filesystem::path& file);
  // Each notification: at the end (position >= length) close and play
  // MusicFile again; otherwise only re-arm. Errors absorbed.
  void OnMusicEnded();
  // Stops the music and releases the device; nothing when never opened.
  void Close();
  // Holds the music where it is (the display sleeps); Resume plays on from
  // there. Nothing when no music is open.
  void Pause();
  void Resume();

  bool IsOpen() const { return open_; }
  bool IsPaused() const { return paused_; }

  std::filesystem::path MusicFile;  // what the restart plays
  int32_t MusicVolume = 100;        // 0..100

private:
  MusicDevice* device_;
  std::filesystem::path fileName_;
  bool open_ = false;
  bool notify_ = false;
  bool paused_ = false;
};

}  // namespace lumevra
