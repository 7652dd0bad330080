#include "platform/linux/SdlSound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace lumevra {

namespace {

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

class SdlPlayer final : public SoundPlayer {
public:
  SdlPlayer(std::shared_ptr<SdlMixer> mixer, int channel) : mixer_(std::move(mixer)), channel_(channel) {}
  ~SdlPlayer() override {
    mixer_->ReleaseChannel(channel_);
    Free();
  }

  bool Load(const std::vector<uint8_t>& formatRecord, const uint8_t* data, size_t size) override {
    Free();
    const std::vector<uint8_t> file = BuildWaveFile(formatRecord, data, size);
    if (file.empty() || file.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    if (rw == nullptr) return false;
    chunk_ = Mix_LoadWAV_RW(rw, 1);
    return chunk_ != nullptr;
  }

  void SetVolume(int32_t hundredthsOfDecibel) override {
    Mix_Volume(channel_, MixVolumeFromHundredthsOfDecibel(hundredthsOfDecibel));
  }

  // Like a sound buffer: playing again while sounding changes nothing, and
  // a stopped sound resumes where it stopped.
  void Play(bool loop) override {
    if (chunk_ == nullptr) return;
    if (paused_) {
      paused_ = false;
      Mix_Resume(channel_);
      return;
    }
    if (Mix_Playing(channel_)) return;
    Mix_PlayChannel(channel_, chunk_, loop ? -1 : 0);
  }

  void Stop() override {
    if (paused_ || !Mix_Playing(channel_)) return;
    Mix_Pause(channel_);
    paused_ = true;
  }

private:
  void Free() {
    if (chunk_ == nullptr) return;
    // A paused channel stays paused through a halt: resume it first.
    if (paused_) Mix_Resume(channel_);
    Mix_HaltChannel(channel_);
    Mix_FreeChunk(chunk_);
    chunk_ = nullptr;
    paused_ = false;
  }

  std::shared_ptr<SdlMixer> mixer_;
  int channel_;
  Mix_Chunk* chunk_ = nullptr;
  bool paused_ = false;
};

}  // namespace

int MixVolumeFromHundredthsOfDecibel(int32_t hundredthsOfDecibel) {
  if (hundredthsOfDecibel >= 0) return MIX_MAX_VOLUME;
  const double v = MIX_MAX_VOLUME * std::pow(10.0, hundredthsOfDecibel / 2000.0);
  return std::clamp(static_cast<int>(std::lround(v)), 0, MIX_MAX_VOLUME);
}

std::vector<uint8_t> BuildWaveFile(const std::vector<uint8_t>& formatRecord, const uint8_t* data, size_t size) {
  if (formatRecord.empty() || (data == nullptr && size > 0)) return {};
  // Chunks of odd length carry a pad byte.
  const uint64_t fmtBytes = formatRecord.size() + (formatRecord.size() & 1);
  const uint64_t dataBytes = uint64_t{size} + (size & 1);
  const uint64_t riffBytes = 4 + 8 + fmtBytes + 8 + dataBytes;
  if (riffBytes > std::numeric_limits<uint32_t>::max() || formatRecord.size() > std::numeric_limits<uint32_t>::max())
    return {};
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(8 + riffBytes));
  PutTag(out, "RIFF");
  PutU32(out, static_cast<uint32_t>(riffBytes));
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutU32(out, static_cast<uint32_t>(formatRecord.size()));
  out.insert(out.end(), formatRecord.begin(), formatRecord.end());
  if (formatRecord.size() & 1) out.push_back(0);
  PutTag(out, "data");
  PutU32(out, static_cast<uint32_t>(size));
  if (size > 0) out.insert(out.end(), data, data + size);
  if (size & 1) out.push_back(0);
  return out;
}

SdlSound::SdlSound(std::shared_ptr<SdlMixer> mixer) : mixer_(std::move(mixer)) {}

SdlSound::~SdlSound() {
  if (simple_ == nullptr) return;
  Mix_HaltChannel(SdlMixer::kSimpleChannel);
  Mix_FreeChunk(simple_);
}

std::unique_ptr<SoundPlayer> SdlSound::CreatePlayer() {
  const int channel = mixer_->AcquireChannel();
  if (channel < 0) return nullptr;
  return std::make_unique<SdlPlayer>(mixer_, channel);
}

void SdlSound::PlaySimple(const std::filesystem::path& file, uint32_t flags) {
  if (!mixer_->Open()) return;
  // A new call always ends the sound that is playing.
  Mix_HaltChannel(SdlMixer::kSimpleChannel);
  if (simple_ != nullptr) {
    Mix_FreeChunk(simple_);
    simple_ = nullptr;
  }
  if (file.empty()) return;
  simple_ = Mix_LoadWAV(file.c_str());
  if (simple_ == nullptr) return;
  Mix_PlayChannel(SdlMixer::kSimpleChannel, simple_, (flags & kSndLoop) ? -1 : 0);
}

}  // namespace lumevra
