#include "platform/win32/DirectSoundOutput.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <algorithm>
#include <cstring>

namespace lumevra {

namespace {

template <typename T>
void Release(T*& p) {
  if (p != nullptr) p->Release();
  p = nullptr;
}

class DirectSoundPlayer final : public SoundPlayer {
public:
  explicit DirectSoundPlayer(IDirectSound* device) : device_(device) {}
  ~DirectSoundPlayer() override {
    if (buffer_ != nullptr) buffer_->Stop();
    Release(buffer_);
    Release(device_);
  }

  bool Load(const std::vector<uint8_t>& formatRecord, const uint8_t* data, size_t size) override {
    if (buffer_ != nullptr) buffer_->Stop();
    Release(buffer_);
    // A PCMWAVEFORMAT (16 bytes) lacks cbSize; anything shorter is no format.
    if (formatRecord.size() < 16 || data == nullptr || size == 0 || size > DSBSIZE_MAX) return false;
    std::vector<uint8_t> format(std::max<size_t>(formatRecord.size(), sizeof(WAVEFORMATEX)), 0);
    std::memcpy(format.data(), formatRecord.data(), formatRecord.size());
    auto* wfx = reinterpret_cast<WAVEFORMATEX*>(format.data());
    // The extra bytes the record announces must be there.
    wfx->cbSize = static_cast<WORD>(std::min<size_t>(wfx->cbSize, format.size() - sizeof(WAVEFORMATEX)));

    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME;
    desc.dwBufferBytes = static_cast<DWORD>(size);
    desc.lpwfxFormat = wfx;
    if (FAILED(device_->CreateSoundBuffer(&desc, &buffer_, nullptr)) || buffer_ == nullptr) {
      buffer_ = nullptr;
      return false;
    }
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD size1 = 0, size2 = 0;
    if (FAILED(buffer_->Lock(0, static_cast<DWORD>(size), &part1, &size1, &part2, &size2, 0))) {
      Release(buffer_);
      return false;
    }
    std::memcpy(part1, data, std::min<size_t>(size1, size));
    if (part2 != nullptr && size > size1) std::memcpy(part2, data + size1, std::min<size_t>(size2, size - size1));
    buffer_->Unlock(part1, size1, part2, size2);
    return true;
  }

  void SetVolume(int32_t hundredthsOfDecibel) override {
    if (buffer_ != nullptr)
      buffer_->SetVolume(std::clamp<LONG>(hundredthsOfDecibel, DSBVOLUME_MIN, DSBVOLUME_MAX));
  }

  void Play(bool loop) override {
    if (buffer_ != nullptr) buffer_->Play(0, 0, loop ? DSBPLAY_LOOPING : 0);
  }

  void Stop() override {
    if (buffer_ != nullptr) buffer_->Stop();
  }

private:
  IDirectSound* device_;
  IDirectSoundBuffer* buffer_ = nullptr;
};

}  // namespace

std::unique_ptr<SoundPlayer> DirectSoundOutput::CreatePlayer() {
  const HWND window = reinterpret_cast<HWND>(window_ ? window_() : 0);
  if (window == nullptr) return nullptr;
  IDirectSound* device = nullptr;
  if (FAILED(DirectSoundCreate(nullptr, &device, nullptr)) || device == nullptr) return nullptr;
  if (FAILED(device->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
    device->Release();
    return nullptr;
  }
  return std::make_unique<DirectSoundPlayer>(device);
}

void DirectSoundOutput::PlaySimple(const std::filesystem::path& file, uint32_t flags) {
  sndPlaySoundW(file.empty() ? nullptr : file.c_str(), flags);
}

}  // namespace lumevra
