// Writing 16-bit PCM WAV files for the generated example scenes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumevra::demo {

// Mono samples in -1..1 (clipped outside) as a 16-bit PCM RIFF/WAVE stream.
std::string EncodeWav16(const std::vector<float>& samples, int32_t rate);

// The same, written to `file`; throws std::runtime_error when it cannot.
void WriteWav16(const std::filesystem::path& file, const std::vector<float>& samples, int32_t rate);

}  // namespace lumevra::demo
