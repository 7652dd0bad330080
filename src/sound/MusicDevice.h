// Music through the system's media player.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

namespace lumevra {

class MusicDevice {
public:
  virtual ~MusicDevice() = default;
  // False when the file cannot be played (missing, unknown type, no device).
  virtual bool Open(const std::filesystem::path& file) = 0;
  // 0..1000; a device without volume control ignores it.
  virtual void SetVolume(int32_t volume0to1000) = 0;
  // Before Play: at the end, play on from the start by itself, with no gap
  // and no notification. False when the device cannot; its owner then
  // starts the file again at each end. Open resets it.
  virtual bool SetLooping(bool looping) = 0;
  // Plays from the current position. When playing stops, `notify` runs on
  // the user-interface thread, between frames, never inside a call here.
  virtual bool Play(std::function<void()> notify) = 0;
  // Stops playing and keeps the position: the next Play goes on from there.
  // No notification comes for a paused play.
  virtual void Pause() = 0;
  // Comparable units: Position() >= Length() once the end is reached.
  virtual uint32_t Position() = 0;
  virtual uint32_t Length() = 0;
  // Stops and releases the file; nothing when nothing is open.
  virtual void Close() = 0;
};

}  // namespace lumevra
