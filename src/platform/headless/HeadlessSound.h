// The headless sound devices: silent, and recording every call so that tests
// can see what the saver asked of them. Switches make them fail the way a
// missing or broken device would. Time comes from the process tick count, so
// a ManualClock decides when the music ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "sound/MusicDevice.h"
#include "sound/SoundOutput.h"

namespace lumevra {

// One call to the sound output or one of its players.
struct SoundCall {
  enum Kind : uint8_t {
    CreatePlayer,  // player: the new player's index
    CreateFailed,  // player: the index that could not be made
    Load,          // formatSize, dataSize; ok: whether a buffer was made
    SetVolume,     // volume in hundredths of a decibel
    Play,          // loop
    Stop,
    DestroyPlayer,
    PlaySimple,    // file (empty: stop), flags; player -1
  };
  Kind kind = CreatePlayer;
  int player = -1;
  size_t formatSize = 0;
  size_t dataSize = 0;
  bool ok = true;
  int32_t volume = 0;
  bool loop = false;
  std::filesystem::path file;
  uint32_t flags = 0;

  // "play 2 loop", "volume 0 -800", "simple a.wav 11", ...: readable in
  // test failures and easy to compare.
  std::string ToString() const;
};
std::ostream& operator<<(std::ostream& out, const SoundCall& call);

// Players number themselves by the CreatePlayer call that made them, from 0.
// The output must outlive its players: they write to its log.
class HeadlessSoundOutput final : public SoundOutput {
public:
  // No sound device at all: every CreatePlayer gives nullptr.
  bool noDevice = false;
  // The CreatePlayer call with this index gives nullptr (-1: none).
  int failPlayerAt = -1;
  // Every Load reports that no buffer could be made. (A Load without a
  // format record or without bytes fails anyway, as on a real device.)
  bool loadFails = false;

  std::vector<SoundCall> log;

  std::unique_ptr<SoundPlayer> CreatePlayer() override;
  void PlaySimple(const std::filesystem::path& file, uint32_t flags) override;

  // The log as ToString lines; only the calls of one kind when asked.
  std::vector<std::string> Lines() const;
  std::vector<std::string> Lines(SoundCall::Kind kind) const;
  // How many players were handed out so far (failed attempts count too).
  int PlayersRequested() const { return requested_; }

private:
  int requested_ = 0;
};

// One call to the music device.
struct MusicCall {
  enum Kind : uint8_t { Open, SetVolume, Loop, Play, Pause, Close };
  Kind kind = Open;
  std::filesystem::path file;  // Open
  int32_t volume = 0;          // SetVolume
  bool ok = true;              // Open, Loop, Play: the result given

  std::string ToString() const;  // "open a.mp3", "volume 500", "loop", "play", "pause", "close"
};
std::ostream& operator<<(std::ostream& out, const MusicCall& call);

// Plays silently for `lengthMs` after Play. Position and Length are in ms.
class HeadlessMusicDevice final : public MusicDevice {
public:
  bool openFails = false;  // Open fails even for a file that exists
  bool playFails = false;
  bool canLoop = true;  // false: a device that only tells the end
  uint32_t lengthMs = 3000;

  std::vector<MusicCall> log;

  // Fails for a file that does not exist, as a real device would.
  bool Open(const std::filesystem::path& file) override;
  void SetVolume(int32_t volume0to1000) override;
  bool Play(std::function<void()> notify) override;
  void Pause() override;
  bool SetLooping(bool looping) override;
  // min(time since Play, length) while open (looping: the time since Play
  // modulo the length); 0 when closed.
  uint32_t Position() override;
  uint32_t Length() override { return lengthMs; }
  void Close() override;

  // Between frames: once the music has played to its end, it stops and the
  // stored notification runs, once. True when one ran. Nothing after Close.
  bool DeliverNotifications();

  bool IsOpen() const { return open_; }
  bool IsPlaying() const { return playing_; }
  int32_t Volume() const { return volume_; }
  std::vector<std::string> Lines() const;

private:
  bool open_ = false;
  bool playing_ = false;
  bool looping_ = false;
  uint32_t playStart_ = 0;   // tick count at Play, less the position then
  uint32_t position_ = 0;    // where a stopped device stands
  int32_t volume_ = 1000;
  std::function<void()> notify_;
};

}  // namespace lumevra
