#include "platform/win32/MciMusic.h"

#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>

namespace lumevra {

bool MciMusic::Open(const std::filesystem::path& file) {
  Close();
  MCI_OPEN_PARMSW open{};
  const std::wstring name = file.wstring();
  open.lpstrElementName = name.c_str();
  if (mciSendCommandW(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&open)) != 0) return false;
  device_ = open.wDeviceID;
  return true;
}

void MciMusic::SetVolume(int32_t volume0to1000) {
  if (device_ == 0) return;
  MCI_DGV_SETAUDIO_PARMSW audio{};
  audio.dwItem = MCI_DGV_SETAUDIO_VOLUME;
  audio.dwValue = static_cast<DWORD>(volume0to1000 < 0 ? 0 : volume0to1000 > 1000 ? 1000 : volume0to1000);
  mciSendCommandW(device_, MCI_SETAUDIO, MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE,
                  reinterpret_cast<DWORD_PTR>(&audio));
}

bool MciMusic::Play(std::function<void()> notify) {
  const intptr_t window = window_ ? window_() : 0;
  if (device_ == 0 || window == 0) return false;
  notify_ = std::move(notify);
  MCI_PLAY_PARMS play{};
  play.dwCallback = static_cast<DWORD_PTR>(window);
  return mciSendCommandW(device_, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play)) == 0;
}

bool MciMusic::SetLooping(bool looping) {
  looping_ = looping;
  return true;
}

bool MciMusic::PlayAgainFromTheStart() {
  if (mciSendCommandW(device_, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, 0) != 0) return false;
  MCI_PLAY_PARMS play{};
  play.dwCallback = static_cast<DWORD_PTR>(window_ ? window_() : 0);
  return play.dwCallback != 0 && mciSendCommandW(device_, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play)) == 0;
}

void MciMusic::Pause() {
  if (device_ == 0) return;
  // The pending play's notification arrives as aborted, which is ignored;
  // the next Play goes on from the position the device keeps.
  mciSendCommandW(device_, MCI_PAUSE, MCI_WAIT, 0);
}

uint32_t MciMusic::Status(uint32_t item) {
  if (device_ == 0) return 0;
  MCI_STATUS_PARMS status{};
  status.dwItem = item;
  if (mciSendCommandW(device_, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&status)) != 0)
    return 0;
  return static_cast<uint32_t>(status.dwReturn);
}

uint32_t MciMusic::Position() { return Status(MCI_STATUS_POSITION); }

uint32_t MciMusic::Length() { return Status(MCI_STATUS_LENGTH); }

void MciMusic::Close() {
  if (device_ == 0) return;
  const uint32_t device = device_;
  device_ = 0;
  notify_ = nullptr;
  looping_ = false;
  mciSendCommandW(device, MCI_CLOSE, MCI_WAIT, 0);
}

void MciMusic::HandleNotify(uintptr_t outcome, intptr_t device) {
  if (device_ == 0 || static_cast<uint32_t>(device) != device_) return;
  if (outcome != MCI_NOTIFY_SUCCESSFUL && outcome != MCI_NOTIFY_FAILURE) return;
  // Looping: the open device goes back to the start, no close and reopen.
  if (outcome == MCI_NOTIFY_SUCCESSFUL && looping_ && PlayAgainFromTheStart()) return;
  if (auto notify = notify_) notify();
}

}  // namespace lumevra
