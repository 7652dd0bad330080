// SoundEffects: the project's sound effects, one player per sound slot so
// that all eight can sound together, with one common volume. Without all
// eight players it falls back to the system's simple sound call, which can
// play only slot 0.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "package/ProjectRecords.h"
#include "sound/SoundOutput.h"

namespace lumevra {

// A sound the output could not take ("Unable to create the sound buffer").
class SoundError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class SoundEffects {
public:
  static constexpr int kSlots = kSoundSlots;  // one player per slot of the project
  enum : uint8_t { ModeDirect = 0, ModeFallback = 2, ModeSettingUp = 3 };

  // Sets up the eight players from `output` (bound to the saver window).
  // Never fails: any missing player selects the fallback. A null output is
  // the fallback with nowhere to play.
  explicit SoundEffects(SoundOutput* output);
  // StopAll, then the players from the last to the first; errors dropped.
  ~SoundEffects();
  SoundEffects(const SoundEffects&) = delete;
  SoundEffects& operator=(const SoundEffects&) = delete;

  // Files[slot] := file; with players, loads the wave into player `slot`.
  // A file that cannot be read, is no valid wave or makes no buffer raises
  // an error (WaveError or SoundError); the name stays and the slot is
  // silent. A slot outside 0..7 is ignored.
  void AddSound(int slot, const std::filesystem::path& file);
  // 0..100; takes effect at the next Play.
  void SetVolume(int32_t volume) { volume_ = volume; }
  // Nothing for a slot without a file. Players: volume, then play (looping
  // when asked). Fallback: slot 0 only, through the simple call.
  void Play(int slot, bool loop);
  void StopAll();

  uint8_t Mode() const { return mode_; }
  int32_t Volume() const { return volume_; }
  const std::filesystem::path& File(int slot) const { return files_.at(static_cast<size_t>(slot)); }

  // The buffer volume of a common volume, in hundredths of a decibel:
  // 0 at 100, -800 at 80, -4000 at 0. A volume outside 0..100 (a damaged
  // package) stays within the buffer's range, 0 down to -10000.
  static int32_t BufferVolume(int32_t volume);

private:
  SoundOutput* output_;
  std::array<std::unique_ptr<SoundPlayer>, kSlots> players_;
  std::array<bool, kSlots> loaded_{};  // player i holds a sound
  std::array<std::filesystem::path, kSlots> files_;
  uint8_t mode_ = ModeSettingUp;
  int32_t volume_ = 80;
};

}  // namespace lumevra
