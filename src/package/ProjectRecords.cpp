#include "package/ProjectRecords.h"

#include <algorithm>
#include <cstring>

namespace lumevra {

namespace {

int32_t GetInt(const uint8_t* p) {
  return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

void PutInt(uint8_t* p, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  p[0] = v & 0xFF;
  p[1] = (v >> 8) & 0xFF;
  p[2] = (v >> 16) & 0xFF;
  p[3] = (v >> 24) & 0xFF;
}

}  // namespace

void WaveParams::FromRecord(const uint8_t* r) {
  Amplitude = GetInt(r + 0);
  WaveCount = GetInt(r + 4);
  Speed = GetInt(r + 8);
  Direction = GetInt(r + 12);
  HorzSway = r[16] != 0;
  VertWave = r[17] != 0;
  Perspective = r[18] != 0;
  Period = GetInt(r + 20);
  Jitter = GetInt(r + 24);
  ReservedFlag = r[28] != 0;
  Reflection = r[29] != 0;
}

void WaveParams::ToRecord(uint8_t* r) const {
  std::memset(r, 0, kRecordSize);
  PutInt(r + 0, Amplitude);
  PutInt(r + 4, WaveCount);
  PutInt(r + 8, Speed);
  PutInt(r + 12, Direction);
  r[16] = HorzSway;
  r[17] = VertWave;
  r[18] = Perspective;
  PutInt(r + 20, Period);
  PutInt(r + 24, Jitter);
  r[28] = ReservedFlag;
  r[29] = Reflection;
}

void WaveParams::SetLoaderDefaults() {
  Amplitude = 6;
  WaveCount = 17;
  Speed = 15;
  Direction = 1;
  HorzSway = false;
  VertWave = true;
  Perspective = true;
  Period = 360;
  Jitter = 0;
}

void WeatherParams::FromRecord(const uint8_t* r) {
  Kind = GetInt(r + 0);
  Amount = GetInt(r + 4);
  SpeedIndex = GetInt(r + 8);
  SizeOrSlant = GetInt(r + 12);
  DropLength = GetInt(r + 16);
  Opacity = GetInt(r + 20);
}

void WeatherParams::ToRecord(uint8_t* r) const {
  PutInt(r + 0, Kind);
  PutInt(r + 4, Amount);
  PutInt(r + 8, SpeedIndex);
  PutInt(r + 12, SizeOrSlant);
  PutInt(r + 16, DropLength);
  PutInt(r + 20, Opacity);
}

void SoundSlot::FromRecord(const uint8_t* r) {
  SoundFile.assign(reinterpret_cast<const char*>(r + 1), r[0]);
  PlayMode = GetInt(r + 256);
  PauseMin = GetInt(r + 260);
  PauseMax = GetInt(r + 264);
}

void SoundSlot::ToRecord(uint8_t* r) const {
  std::memset(r, 0, kRecordSize);
  const size_t n = std::min(SoundFile.size(), kMaxFileName);
  r[0] = static_cast<uint8_t>(n);
  std::memcpy(r + 1, SoundFile.data(), n);
  PutInt(r + 256, PlayMode);
  PutInt(r + 260, PauseMin);
  PutInt(r + 264, PauseMax);
}

void SoundSlot::SetSoundFile(const std::string& name) { SoundFile = name.substr(0, kMaxFileName); }

uint32_t MaskColor(int32_t code) { return (code >= 1 && code <= 6) ? LayerColors[code] : 0; }

int32_t MaskCode(uint32_t pixel) {
  for (int32_t c = 1; c <= 6; ++c)
    if (LayerColors[c] == pixel) return c;
  return 0;
}

}  // namespace lumevra
