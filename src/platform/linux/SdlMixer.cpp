#include "platform/linux/SdlMixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <initializer_list>

namespace lumevra {

SdlMixer::~SdlMixer() {
  if (state_ != State::Open) return;
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
}

bool SdlMixer::TryOpen() {
  // Events too: the music's end comes back as an event.
  if (SDL_InitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS) != 0) return false;
  for (const int frequency : {44100, 22050}) {
    if (Mix_OpenAudio(frequency, MIX_DEFAULT_FORMAT, 2, 2048) == 0) return true;
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
  return false;
}

bool SdlMixer::Open() {
  if (state_ != State::Closed) return state_ == State::Open;
  state_ = State::Failed;
  if (!TryOpen()) {
    // The driver is chosen when the audio subsystem starts: restart it on
    // the silent one.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (!TryOpen()) return false;
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  silent_ = driver != nullptr && SDL_strcmp(driver, "dummy") == 0;
  Mix_AllocateChannels(kPlayerChannels + 1);
  // Nothing else may pick our channels for "any free channel" playback.
  Mix_ReserveChannels(kPlayerChannels + 1);
  state_ = State::Open;
  return true;
}

int SdlMixer::AcquireChannel() {
  if (!Open()) return -1;
  for (int c = 0; c < kPlayerChannels; ++c) {
    const uint32_t bit = 1u << c;
    if ((channelsInUse_ & bit) == 0) {
      channelsInUse_ |= bit;
      return c;
    }
  }
  return -1;
}

void SdlMixer::ReleaseChannel(int channel) {
  if (channel < 0 || channel >= kPlayerChannels) return;
  if (state_ == State::Open) Mix_HaltChannel(channel);
  channelsInUse_ &= ~(1u << channel);
}

}  // namespace lumevra
