// Music through the media control interface.
// Supports: any file type the system has an MCI device for (chosen from the
// file), volume 0..1000 where the device has the audio command, one play
// with its completion message posted to the saver window (looping: the
// device seeks to the start and plays again on that message, without
// closing the file), pause, position and
// length in the device's time format, close. The window hands the message
// to HandleNotify, which runs the notification on the window's thread.
// Does not support: a device without a window (Play then fails).
#pragma once

#include <functional>

#include "sound/MusicDevice.h"

namespace lumevra {

class MciMusic final : public MusicDevice {
public:
  explicit MciMusic(std::function<intptr_t()> window) : window_(std::move(window)) {}
  ~MciMusic() override { Close(); }
  MciMusic(const MciMusic&) = delete;
  MciMusic& operator=(const MciMusic&) = delete;

  bool Open(const std::filesystem::path& file) override;
  void SetVolume(int32_t volume0to1000) override;
  bool Play(std::function<void()> notify) override;
  void Pause() override;
  bool SetLooping(bool looping) override;
  uint32_t Position() override;
  uint32_t Length() override;
  void Close() override;

  // The window's MM_MCINOTIFY (wParam: the outcome, lParam: the device):
  // a play that ended or failed runs the notification; others are ignored.
  void HandleNotify(uintptr_t outcome, intptr_t device);

  uint32_t DeviceId() const { return device_; }

private:
  uint32_t Status(uint32_t item);
  bool PlayAgainFromTheStart();

  std::function<intptr_t()> window_;
  uint32_t device_ = 0;
  std::function<void()> notify_;
  bool looping_ = false;  // at the end: seek to the start and play again
};

}  // namespace lumevra
