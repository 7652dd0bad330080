// Music on SDL2_mixer.
// Supports: every file type the mixer decodes (WAV, Ogg Vorbis, MP3, FLAC,
// MIDI through its synthesiser, ...), volume 0..1000, one play to the end with
// the end reported on the user-interface thread, position and length in
// milliseconds. The end is an SDL event posted from the audio thread; the
// thread that pumps SDL events hands it to HandleEvent, which runs the
// notification there.
// Does not support: more than one device per process (the mixer has one
// music stream), or a length for streams that cannot tell theirs (Length is
// then the largest value and Position reaches it at the end).
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/linux/SdlMixer.h"
#include "sound/MusicDevice.h"

union SDL_Event;
typedef struct _Mix_Music Mix_Music;

namespace lumevra {

class SdlMusic final : public MusicDevice {
public:
  explicit SdlMusic(std::shared_ptr<SdlMixer> mixer);
  ~SdlMusic() override;

  bool Open(const std::filesystem::path& file) override;
  void SetVolume(int32_t volume0to1000) override;
  bool Play(std::function<void()> notify) override;
  void Pause() override;
  bool SetLooping(bool looping) override;
  uint32_t Position() override;
  uint32_t Length() override;
  void Close() override;

  // Runs the notification when `event` is this device's end of play; true
  // when the event was one of this device's (also a stale one).
  bool HandleEvent(const SDL_Event& event);
  // The SDL event type of an end of play; registered once per process.
  static uint32_t FinishedEventType();

private:
  std::shared_ptr<SdlMixer> mixer_;
  Mix_Music* music_ = nullptr;
  std::function<void()> notify_;
  bool finished_ = false;
  bool looping_ = false;  // SDL_mixer plays the file again at its end
  bool paused_ = false;  // Play resumes instead of starting again
  // Each Play has its number; an end reported for an earlier one is stale.
  uint32_t play_ = 0;
};

}  // namespace lumevra
