// The demo scene's sounds, synthesised: lapping water for a seamless loop,
// a bird's chirp for the random pauses, and a short gentle melody.
#pragma once

#include <cstdint>
#include <vector>

namespace lumevra::demo {

inline constexpr int32_t kSoundRate = 22050;

// Four seconds of water and a breath of wind; the last sample runs on into
// the first, so the loop has no seam.
std::vector<float> WaterLoop();

// A bird's call of under a second.
std::vector<float> BirdChirp();

// Sixteen seconds of bell-like melody over soft chords, fading out.
std::vector<float> Melody();

}  // namespace lumevra::demo
