#include "WaveWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace lumevra::demo {

namespace {

void Put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

}  // namespace

std::string EncodeWav16(const std::vector<float>& samples, int32_t rate) {
  const auto bytes = static_cast<uint32_t>(samples.size() * 2);
  std::string s = "RIFF";
  Put32(s, 36 + bytes);
  s += "WAVEfmt ";
  Put32(s, 16);
  Put16(s, 1);  // PCM
  Put16(s, 1);  // mono
  Put32(s, static_cast<uint32_t>(rate));
  Put32(s, static_cast<uint32_t>(rate) * 2);
  Put16(s, 2);
  Put16(s, 16);
  s += "data";
  Put32(s, bytes);
  s.reserve(s.size() + bytes);
  for (const float v : samples) {
    const auto q = static_cast<int32_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
    Put16(s, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(q))));
  }
  return s;
}

void WriteWav16(const std::filesystem::path& file, const std::vector<float>& samples, int32_t rate) {
  const std::string bytes = EncodeWav16(samples, rate);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace lumevra::demo
