// Sound-effect players on SDL2_mixer.
// Supports: eight players, one mixing channel each; a player's sound is the
// wave's own format record and sample bytes, wrapped as an in-memory wave
// file (any encoding the mixer's wave reader knows: PCM, IEEE float, ADPCM,
// mu-law, A-law); volume in hundredths of a decibel; looping; the simple
// one-sound call on a channel of its own.
// Does not support: the simple call's synchronous mode (it always plays
// asynchronously) or a default sound for a missing file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/linux/SdlMixer.h"
#include "sound/SoundOutput.h"

struct Mix_Chunk;

namespace lumevra {

// The mixer's volume (0..128) for a level in hundredths of a decibel:
// 128 * 10^(level / 2000), so 0 -> 128, -800 -> 51, -4000 -> 1, -10000 -> 0.
int MixVolumeFromHundredthsOfDecibel(int32_t hundredthsOfDecibel);

// A complete RIFF/WAVE file around a format record and its sample bytes;
// empty when the parts cannot make one (no record, or too large).
std::vector<uint8_t> BuildWaveFile(const std::vector<uint8_t>& formatRecord, const uint8_t* data, size_t size);

class SdlSound final : public SoundOutput {
public:
  explicit SdlSound(std::shared_ptr<SdlMixer> mixer);
  ~SdlSound() override;

  std::unique_ptr<SoundPlayer> CreatePlayer() override;
  void PlaySimple(const std::filesystem::path& file, uint32_t flags) override;

private:
  std::shared_ptr<SdlMixer> mixer_;
  Mix_Chunk* simple_ = nullptr;
};

}  // namespace lumevra
