#include "sound/MusicLoop.h"

#include <algorithm>

namespace lumevra {

MusicLoop::~MusicLoop() { Close(); }

bool MusicLoop::PlayMusic(const std::filesystem::path& file) {
  fileName_ = file;
  notify_ = true;
  if (device_ == nullptr) return false;
  try {
    // A device holds one file: the one playing goes first.
    if (open_) Close();
    if (!device_->Open(fileName_)) return false;
    open_ = true;
    // A damaged header may hold any volume; the device takes 0..1000.
    device_->SetVolume(std::clamp<int32_t>(MusicVolume, 0, 100) * 10);
    // Without a loop of its own the device tells the end, and OnMusicEnded
    // starts the file again.
    device_->SetLooping(true);
    if (!device_->Play([this] { OnMusicEnded(); })) return false;
    return true;
  } catch (...) {
    return false;
  }
}

void MusicLoop::OnMusicEnded() {
  try {
    // Notifications before the end (a command that finished) only re-arm.
    if (open_ && device_ != nullptr && device_->Position() >= device_->Length()) {
      device_->Close();
      open_ = false;
      PlayMusic(MusicFile);
    }
    notify_ = true;
  } catch (...) {
  }
}

void MusicLoop::Pause() {
  if (!open_ || paused_ || device_ == nullptr) return;
  paused_ = true;
  try {
    device_->Pause();
  } catch (...) {
  }
}

void MusicLoop::Resume() {
  if (!paused_) return;
  paused_ = false;
  try {
    if (open_ && device_ != nullptr) device_->Play([this] { OnMusicEnded(); });
  } catch (...) {
  }
}

void MusicLoop::Close() {
  paused_ = false;
  if (!open_) return;
  open_ = false;
  try {
    if (device_ != nullptr) device_->Close();
  } catch (...) {
  }
}

}  // namespace lumevra
