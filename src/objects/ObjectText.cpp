#include "objects/ObjectText.h"

#include <cstdint>

namespace lumevra {

std::string EncodeObjectText(std::string_view text) {
  std::string out;
  out.reserve((text.size() * 8 + 5) / 6);
  uint32_t acc = 0;
  int bits = 0;
  for (char c : text) {
    acc = (acc << 8) | static_cast<unsigned char>(c);
    bits += 8;
    while (bits >= 6) {
      bits -= 6;
      out += kObjectTextAlphabet[acc >> bits];
      acc &= (1u << bits) - 1;
    }
  }
  if (bits > 0) out += kObjectTextAlphabet[acc << (6 - bits)];
  return out;
}

std::string DecodeObjectText(std::string_view code) {
  std::string out;
  out.reserve(code.size() * 6 / 8);
  uint32_t acc = 0;
  int bits = 0;
  for (char c : code) {
    const size_t k = kObjectTextAlphabet.find(c);
    if (k == std::string_view::npos) break;
    acc = (acc << 6) | static_cast<uint32_t>(k);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((acc >> bits) & 0xFF);
      acc &= (1u << bits) - 1;
    }
  }
  return out;
}

}  // namespace lumevra
