// The sound-effect device: up to eight players bound to the saver window,
// and the system's simple one-sound call as the fallback.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace lumevra {

// One sound-effect player bound to the saver window; it keeps sounding
// while another window has the focus.
class SoundPlayer {
public:
  virtual ~SoundPlayer() = default;
  // A buffer made from the wave's format record (a WAVEFORMATEX, verbatim
  // from the file) and its sample bytes. False when the output cannot make
  // a buffer of that format; the previous sound, if any, is gone then.
  virtual bool Load(const std::vector<uint8_t>& formatRecord, const uint8_t* data, size_t size) = 0;
  // 0 is full volume, -10000 silence.
  virtual void SetVolume(int32_t hundredthsOfDecibel) = 0;
  // Starts from the current position.
  virtual void Play(bool loop) = 0;
  virtual void Stop() = 0;
};

// The system's simple one-sound call: these flags as the system knows them.
inline constexpr uint32_t kSndAsync = 0x0001;
inline constexpr uint32_t kSndNoDefault = 0x0002;
inline constexpr uint32_t kSndLoop = 0x0008;

class SoundOutput {
public:
  virtual ~SoundOutput() = default;
  // A new initialised player; nullptr when the device cannot provide one.
  virtual std::unique_ptr<SoundPlayer> CreatePlayer() = 0;
  // Plays `file` with the system's simple call; an empty path stops the
  // sound that is playing.
  virtual void PlaySimple(const std::filesystem::path& file, uint32_t flags) = 0;
};

}  // namespace lumevra
