#include "sound/SoundEffects.h"

#include <algorithm>

#include "sound/Wave.h"

namespace lumevra {

namespace {

constexpr uint32_t kSimpleFlags = kSndAsync | kSndNoDefault;

}  // namespace

int32_t SoundEffects::BufferVolume(int32_t volume) {
  const int64_t level = static_cast<int64_t>(volume) * 40 - 4000;
  return static_cast<int32_t>(std::clamp<int64_t>(level, -10000, 0));
}

SoundEffects::SoundEffects(SoundOutput* output) : output_(output) {
  mode_ = ModeSettingUp;
  volume_ = 80;
  if (output_ != nullptr) {
    for (int i = 0; i < kSlots; ++i) {
      std::unique_ptr<SoundPlayer> player;
      try {
        player = output_->CreatePlayer();
      } catch (...) {
        player.reset();
      }
      if (!player) {
        // Every sound needs its own player: with one missing, none of them
        // is used and the simple call takes over.
        for (int j = i - 1; j >= 0; --j) {
          try {
            players_[static_cast<size_t>(j)].reset();
          } catch (...) {
          }
        }
        mode_ = ModeSettingUp;
        break;
      }
      players_[static_cast<size_t>(i)] = std::move(player);
      mode_ = ModeDirect;
    }
  }
  if (mode_ == ModeSettingUp) mode_ = ModeFallback;
}

SoundEffects::~SoundEffects() {
  try {
    StopAll();
  } catch (...) {
  }
  for (int i = kSlots - 1; i >= 0; --i) {
    try {
      players_[static_cast<size_t>(i)].reset();
    } catch (...) {
    }
  }
}

void SoundEffects::AddSound(int slot, const std::filesystem::path& file) {
  if (slot < 0 || slot >= kSlots) return;
  const auto i = static_cast<size_t>(slot);
  files_[i] = file;
  if (mode_ != ModeDirect) return;
  // Until the new sound is in place the slot is silent, so a failure never
  // leaves the previous sound playing under the new name.
  loaded_[i] = false;
  Wave wave;
  wave.LoadFromFile(file);
  if (!players_[i]->Load(wave.Format(), wave.Data(), static_cast<size_t>(wave.Size())))
    throw SoundError("Unable to create the sound buffer");
  loaded_[i] = true;
}

void SoundEffects::Play(int slot, bool loop) {
  if (slot < 0 || slot >= kSlots) return;
  const auto i = static_cast<size_t>(slot);
  if (files_[i].empty()) return;
  if (mode_ == ModeDirect) {
    if (!loaded_[i]) return;
    players_[i]->SetVolume(BufferVolume(volume_));
    players_[i]->Play(loop);
  } else if (slot == 0 && output_ != nullptr) {
    output_->PlaySimple(files_[0], loop ? kSimpleFlags | kSndLoop : kSimpleFlags);
  }
}

void SoundEffects::StopAll() {
  if (mode_ == ModeDirect) {
    for (size_t i = 0; i < players_.size(); ++i)
      if (loaded_[i]) players_[i]->Stop();
  } else if (output_ != nullptr) {
    output_->PlaySimple({}, kSimpleFlags);
  }
}

}  // namespace lumevra
