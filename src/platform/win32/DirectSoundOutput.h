// Sound-effect players on DirectSound, and the simple one-sound call.
// Supports: one DirectSound object per player at priority level on the saver
// window; a secondary buffer made from the wave's own format record (any
// format the driver accepts), audible while another window has the focus;
// volume in hundredths of a decibel; looping; sndPlaySoundW with the
// caller's flags, an empty path stopping the sound.
// Does not support: players before the window exists (CreatePlayer then
// gives nullptr), streaming (the whole sound sits in one buffer).
#pragma once

#include <functional>

#include "sound/SoundOutput.h"

namespace lumevra {

class DirectSoundOutput final : public SoundOutput {
public:
  // `window` gives the window the players bind to (an HWND as an integer).
  explicit DirectSoundOutput(std::function<intptr_t()> window) : window_(std::move(window)) {}

  std::unique_ptr<SoundPlayer> CreatePlayer() override;
  void PlaySimple(const std::filesystem::path& file, uint32_t flags) override;

private:
  std::function<intptr_t()> window_;
};

}  // namespace lumevra
