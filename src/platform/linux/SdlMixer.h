// The audio device shared by the sound-effect players and the music.
// Supports: opening SDL2_mixer lazily on first use, at 44100 Hz and else
// 22050 Hz; when no output opens (no sound card, no sound server) the silent
// "dummy" driver is taken, so the saver runs quietly instead of failing.
// Nine mixing channels: 0..7 are the eight players, 8 is the simple call.
// Does not support: choosing an output device, or reopening after a failure.
#pragma once

#include <cstdint>

namespace lumevra {

class SdlMixer {
public:
  static constexpr int kPlayerChannels = 8;
  static constexpr int kSimpleChannel = 8;

  SdlMixer() = default;
  ~SdlMixer();
  SdlMixer(const SdlMixer&) = delete;
  SdlMixer& operator=(const SdlMixer&) = delete;

  // Opens the device on first use; false when no driver at all can play.
  bool Open();
  // Whether the silent stand-in driver is the one playing.
  bool Silent() const { return silent_; }

  // A free player channel 0..7, or -1 when all are taken or nothing plays.
  int AcquireChannel();
  void ReleaseChannel(int channel);

private:
  bool TryOpen();

  enum class State { Closed, Open, Failed };
  State state_ = State::Closed;
  bool silent_ = false;
  uint32_t channelsInUse_ = 0;  // one bit per player channel
};

}  // namespace lumevra
