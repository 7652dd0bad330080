#include "platform/linux/SdlMusic.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumevra {

namespace {

// Read by the mixer's finished hook on the audio thread.
std::atomic<uint32_t> gEventType{0};
std::atomic<uint32_t> gPlaying{0};

void PostFinished() {
  SDL_Event event{};
  event.type = gEventType.load(std::memory_order_relaxed);
  event.user.code = static_cast<Sint32>(gPlaying.load(std::memory_order_relaxed));
  SDL_PushEvent(&event);
}

uint32_t Milliseconds(double seconds) {
  if (!(seconds >= 0.0)) return 0;
  const double ms = std::round(seconds * 1000.0);
  return ms >= double(std::numeric_limits<uint32_t>::max() - 1) ? std::numeric_limits<uint32_t>::max() - 1
                                                                 : static_cast<uint32_t>(ms);
}

}  // namespace

uint32_t SdlMusic::FinishedEventType() {
  static const uint32_t type = [] {
    const Uint32 t = SDL_RegisterEvents(1);
    return t == static_cast<Uint32>(-1) ? 0u : t;
  }();
  gEventType.store(type, std::memory_order_relaxed);
  return type;
}

SdlMusic::SdlMusic(std::shared_ptr<SdlMixer> mixer) : mixer_(std::move(mixer)) {}

SdlMusic::~SdlMusic() { Close(); }

bool SdlMusic::Open(const std::filesystem::path& file) {
  Close();
  if (file.empty() || !mixer_->Open()) return false;
  music_ = Mix_LoadMUS(file.c_str());
  return music_ != nullptr;
}

void SdlMusic::SetVolume(int32_t volume0to1000) {
  if (music_ == nullptr) return;
  Mix_VolumeMusic(std::clamp(volume0to1000, 0, 1000) * MIX_MAX_VOLUME / 1000);
}

bool SdlMusic::Play(std::function<void()> notify) {
  if (music_ == nullptr || FinishedEventType() == 0) return false;
  notify_ = std::move(notify);
  finished_ = false;
  if (paused_) {
    paused_ = false;
    Mix_ResumeMusic();
    return true;
  }
  gPlaying.store(++play_, std::memory_order_relaxed);
  Mix_HookMusicFinished(PostFinished);
  return Mix_PlayMusic(music_, looping_ ? -1 : 1) == 0;
}

bool SdlMusic::SetLooping(bool looping) {
  looping_ = looping;
  return true;
}

void SdlMusic::Pause() {
  if (music_ == nullptr || paused_ || !Mix_PlayingMusic()) return;
  paused_ = true;
  Mix_PauseMusic();
}

uint32_t SdlMusic::Length() {
  if (music_ == nullptr) return 0;
  const double seconds = Mix_MusicDuration(music_);
  return seconds >= 0.0 ? Milliseconds(seconds) : std::numeric_limits<uint32_t>::max();
}

uint32_t SdlMusic::Position() {
  if (music_ == nullptr) return 0;
  // Decoders that cannot tell their position still make the end visible.
  if (finished_) return std::max(Milliseconds(Mix_GetMusicPosition(music_)), Length());
  return Milliseconds(Mix_GetMusicPosition(music_));
}

void SdlMusic::Close() {
  notify_ = nullptr;
  finished_ = false;
  paused_ = false;
  looping_ = false;
  if (music_ == nullptr) return;
  // Halting reports an end too; the cleared notification drops it.
  Mix_HaltMusic();
  Mix_FreeMusic(music_);
  music_ = nullptr;
}

bool SdlMusic::HandleEvent(const SDL_Event& event) {
  const uint32_t type = gEventType.load(std::memory_order_relaxed);
  if (type == 0 || event.type != type) return false;
  if (static_cast<uint32_t>(event.user.code) != play_ || music_ == nullptr || !notify_) return true;
  finished_ = true;
  // The handler may close and reopen this device: it runs from a copy.
  const std::function<void()> notify = notify_;
  notify();
  return true;
}

}  // namespace lumevra
