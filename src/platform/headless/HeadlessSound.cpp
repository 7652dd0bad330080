#include "platform/headless/HeadlessSound.h"

#include <algorithm>
#include <ostream>

#include "base/Clock.h"
#include "sound/SoundOutput.h"

namespace lumevra {

namespace {

class HeadlessSoundPlayer final : public SoundPlayer {
public:
  HeadlessSoundPlayer(HeadlessSoundOutput& output, int index) : output_(output), index_(index) {}
  ~HeadlessSoundPlayer() override { Record(SoundCall::DestroyPlayer); }

  bool Load(const std::vector<uint8_t>& formatRecord, const uint8_t*, size_t size) override {
    SoundCall& call = Record(SoundCall::Load);
    call.formatSize = formatRecord.size();
    call.dataSize = size;
    // A real output cannot make a buffer without a format or without bytes.
    call.ok = !output_.loadFails && !formatRecord.empty() && size > 0;
    return call.ok;
  }
  void SetVolume(int32_t hundredthsOfDecibel) override { Record(SoundCall::SetVolume).volume = hundredthsOfDecibel; }
  void Play(bool loop) override { Record(SoundCall::Play).loop = loop; }
  void Stop() override { Record(SoundCall::Stop); }

private:
  SoundCall& Record(SoundCall::Kind kind) {
    SoundCall& call = output_.log.emplace_back();
    call.kind = kind;
    call.player = index_;
    return call;
  }

  HeadlessSoundOutput& output_;
  int index_;
};

std::vector<std::string> LinesOf(const auto& log, auto keep) {
  std::vector<std::string> lines;
  for (const auto& call : log)
    if (keep(call)) lines.push_back(call.ToString());
  return lines;
}

}  // namespace

std::string SoundCall::ToString() const {
  const std::string who = std::to_string(player);
  switch (kind) {
    case CreatePlayer: return "create " + who;
    case CreateFailed: return "create-failed " + who;
    case Load:
      return "load " + who + " " + std::to_string(formatSize) + " " + std::to_string(dataSize) +
             (ok ? "" : " failed");
    case SetVolume: return "volume " + who + " " + std::to_string(volume);
    case Play: return "play " + who + (loop ? " loop" : "");
    case Stop: return "stop " + who;
    case DestroyPlayer: return "destroy " + who;
    case PlaySimple: return "simple " + file.string() + (file.empty() ? "" : " ") + std::to_string(flags);
  }
  return "?";
}

std::ostream& operator<<(std::ostream& out, const SoundCall& call) { return out << call.ToString(); }

std::unique_ptr<SoundPlayer> HeadlessSoundOutput::CreatePlayer() {
  const int index = requested_++;
  SoundCall call;
  call.player = index;
  if (noDevice || index == failPlayerAt) {
    call.kind = SoundCall::CreateFailed;
    log.push_back(call);
    return nullptr;
  }
  call.kind = SoundCall::CreatePlayer;
  log.push_back(call);
  return std::make_unique<HeadlessSoundPlayer>(*this, index);
}

void HeadlessSoundOutput::PlaySimple(const std::filesystem::path& file, uint32_t flags) {
  SoundCall& call = log.emplace_back();
  call.kind = SoundCall::PlaySimple;
  call.file = file;
  call.flags = flags;
}

std::vector<std::string> HeadlessSoundOutput::Lines() const {
  return LinesOf(log, [](const SoundCall&) { return true; });
}

std::vector<std::string> HeadlessSoundOutput::Lines(SoundCall::Kind kind) const {
  return LinesOf(log, [kind](const SoundCall& call) { return call.kind == kind; });
}

std::string MusicCall::ToString() const {
  switch (kind) {
    case Open: return "open " + file.string() + (ok ? "" : " failed");
    case SetVolume: return "volume " + std::to_string(volume);
    case Loop: return ok ? "loop" : "loop failed";
    case Play: return ok ? "play" : "play failed";
    case Pause: return "pause";
    case Close: return "close";
  }
  return "?";
}

std::ostream& operator<<(std::ostream& out, const MusicCall& call) { return out << call.ToString(); }

bool HeadlessMusicDevice::Open(const std::filesystem::path& file) {
  MusicCall& call = log.emplace_back();
  call.kind = MusicCall::Open;
  call.file = file;
  // Opening again replaces the file that was open.
  open_ = false;
  playing_ = false;
  looping_ = false;
  notify_ = nullptr;
  position_ = 0;
  std::error_code ec;
  call.ok = !openFails && std::filesystem::is_regular_file(file, ec);
  open_ = call.ok;
  return call.ok;
}

void HeadlessMusicDevice::SetVolume(int32_t volume0to1000) {
  MusicCall& call = log.emplace_back();
  call.kind = MusicCall::SetVolume;
  call.volume = volume0to1000;
  volume_ = volume0to1000;
}

bool HeadlessMusicDevice::Play(std::function<void()> notify) {
  MusicCall& call = log.emplace_back();
  call.kind = MusicCall::Play;
  call.ok = open_ && !playFails;
  if (!call.ok) return false;
  const uint32_t from = std::min(position_, lengthMs);
  playStart_ = TickCount() - from;
  playing_ = true;
  notify_ = std::move(notify);
  return true;
}

bool HeadlessMusicDevice::SetLooping(bool looping) {
  MusicCall& call = log.emplace_back();
  call.kind = MusicCall::Loop;
  call.ok = canLoop || !looping;
  looping_ = looping && canLoop;
  return call.ok;
}

void HeadlessMusicDevice::Pause() {
  log.emplace_back().kind = MusicCall::Pause;
  if (!open_ || !playing_) return;
  position_ = Position();
  playing_ = false;
  notify_ = nullptr;
}

uint32_t HeadlessMusicDevice::Position() {
  if (!open_) return 0;
  if (!playing_) return std::min(position_, lengthMs);
  const uint32_t played = TicksBetween(playStart_, TickCount());
  if (looping_) return lengthMs == 0 ? 0 : played % lengthMs;
  return std::min(played, lengthMs);
}

void HeadlessMusicDevice::Close() {
  log.emplace_back().kind = MusicCall::Close;
  open_ = false;
  playing_ = false;
  looping_ = false;
  position_ = 0;
  notify_ = nullptr;
}

bool HeadlessMusicDevice::DeliverNotifications() {
  if (!open_ || !playing_ || looping_ || TicksBetween(playStart_, TickCount()) < lengthMs) return false;
  playing_ = false;
  position_ = lengthMs;
  // The handler may close, open and play again: it runs from a copy, and
  // whatever it stores replaces the notification just taken.
  std::function<void()> notify = std::move(notify_);
  notify_ = nullptr;
  if (notify) notify();
  return true;
}

std::vector<std::string> HeadlessMusicDevice::Lines() const {
  std::vector<std::string> lines;
  for (const MusicCall& call : log) lines.push_back(call.ToString());
  return lines;
}

}  // namespace lumevra
