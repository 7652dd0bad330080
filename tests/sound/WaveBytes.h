// Building RIFF WAVE files byte by byte, including broken ones.
#pragma once

#include <cstdint>
#include <string>

namespace lumevra::test {

inline std::string U32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

inline std::string U16(uint16_t v) { return U32(v).substr(0, 2); }

// A chunk whose header tells the truth, or one that states `size`.
inline std::string Chunk(const std::string& id, const std::string& payload) {
  return id + U32(static_cast<uint32_t>(payload.size())) + payload;
}
inline std::string ChunkSized(const std::string& id, uint32_t size, const std::string& payload) {
  return id + U32(size) + payload;
}

inline std::string Riff(const std::string& body, const std::string& form = "WAVE") {
  return "RIFF" + U32(static_cast<uint32_t>(4 + body.size())) + form + body;
}

// 16-bit mono PCM at 22050 Hz, without the cbSize field (16 bytes).
inline std::string PcmFormat() {
  return U16(1) + U16(1) + U32(22050) + U32(44100) + U16(2) + U16(16);
}

// Distinct bytes, so that a shifted or partial copy shows.
inline std::string Samples(size_t n, int seed = 0) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + static_cast<size_t>(seed) * 31 + 1) & 0xFF);
  return s;
}

inline std::string PcmWave(size_t dataBytes, int seed = 0) {
  return Riff(Chunk("fmt ", PcmFormat()) + Chunk("data", Samples(dataBytes, seed)));
}

}  // namespace lumevra::test
