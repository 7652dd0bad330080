#include "DemoSounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumevra::demo {

namespace {

constexpr double kTau = 2 * std::numbers::pi;
constexpr double kRate = kSoundRate;

// A deterministic white noise source, -1..1.
class Noise {
public:
  explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ * (2.0 / 4294967295.0) - 1;
  }

private:
  uint32_t state_;
};

// A one-pole low-pass filter; the high-pass is the input minus it.
class LowPass {
public:
  explicit LowPass(double cutoff) : k_(1 - std::exp(-kTau * cutoff / kRate)) {}
  double operator()(double v) { return y_ += k_ * (v - y_); }

private:
  double k_, y_ = 0;
};

void Normalise(std::vector<float>& s, double peak) {
  float top = 0;
  for (const float v : s) top = std::max(top, std::abs(v));
  if (top > 0)
    for (float& v : s) v = static_cast<float>(v * peak / top);
}

// Adds a sine whose frequency follows `freq(t)` under `env(t)`, from
// `start` seconds for `length` seconds.
template <typename Freq, typename Env>
void AddTone(std::vector<float>& s, double start, double length, Freq freq, Env env) {
  const auto first = static_cast<size_t>(start * kRate);
  const auto count = static_cast<size_t>(length * kRate);
  double phase = 0;
  for (size_t i = 0; i < count && first + i < s.size(); ++i) {
    const double t = i / kRate;
    phase += kTau * freq(t) / kRate;
    s[first + i] += static_cast<float>(std::sin(phase) * env(t));
  }
}

}  // namespace

std::vector<float> WaterLoop() {
  const double loop = 4.0, overlap = 0.4;
  const auto n = static_cast<size_t>(loop * kRate), extra = static_cast<size_t>(overlap * kRate);
  std::vector<float> s(n + extra, 0.0f);
  Noise noise(12345);
  LowPass surfLow(700), surfLow2(700), surfHigh(150), wind(260), wind2(260);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = i / kRate;
    // Swells whose periods divide the loop, so they meet at the seam.
    const double swell = 0.5 + 0.25 * std::sin(kTau * 2 * t / loop) + 0.15 * std::sin(kTau * 3 * t / loop + 1);
    const double white = noise.Next();
    const double low = surfLow2(surfLow(white));
    const double surf = low - surfHigh(low);
    const double breeze = wind2(wind(noise.Next())) * (0.7 + 0.3 * std::sin(kTau * t / loop));
    s[i] = static_cast<float>(surf * swell * 1.6 + breeze * 1.2);
  }
  // Small waves lapping at the stones: soft falling blips.
  for (const double at : {0.55, 1.1, 1.62, 2.3, 2.85, 3.4}) {
    AddTone(s, at, 0.16, [](double t) { return 420 - 1400 * t; },
            [](double t) { return 0.06 * std::min(1.0, t / 0.006) * std::exp(-t / 0.045); });
  }
  // The head takes the tail in over the overlap: sample n follows n - 1.
  for (size_t i = 0; i < extra; ++i) {
    const double w = static_cast<double>(i) / extra;
    const double in = std::sin(w * std::numbers::pi / 2), out = std::cos(w * std::numbers::pi / 2);
    s[i] = static_cast<float>(s[i] * in + s[n + i] * out);
  }
  s.resize(n);
  Normalise(s, 0.55);
  return s;
}

std::vector<float> BirdChirp() {
  std::vector<float> s(static_cast<size_t>(0.9 * kRate), 0.0f);
  auto syllable = [&](double at, double length, double low, double high) {
    for (const double harmonic : {1.0, 2.0}) {
      AddTone(s, at, length,
              [=](double t) { return harmonic * (low + (high - low) * std::sin(std::numbers::pi * t / length) +
                                                  120 * std::sin(kTau * 38 * t)); },
              [=](double t) {
                const double e = std::sin(std::numbers::pi * t / length);
                return (harmonic == 1 ? 0.5 : 0.08) * e * e;
              });
    }
  };
  syllable(0.02, 0.11, 3000, 4500);
  syllable(0.17, 0.10, 3200, 4700);
  syllable(0.31, 0.13, 2800, 4300);
  for (int i = 0; i < 6; ++i) syllable(0.5 + i * 0.05, 0.04, i % 2 ? 3600 : 4000, i % 2 ? 3900 : 4400);
  Normalise(s, 0.5);
  return s;
}

std::vector<float> Melody() {
  const double beat = 60.0 / 90, length = 16.0;
  std::vector<float> s(static_cast<size_t>(length * kRate), 0.0f);
  auto hz = [](int midi) { return 440 * std::pow(2.0, (midi - 69) / 12.0); };

  // Soft chords, four beats each, slightly detuned pairs for warmth.
  const int chords[6][3] = {{50, 54, 57}, {47, 50, 54}, {43, 50, 55}, {45, 49, 52}, {50, 54, 57}, {50, 57, 62}};
  for (int c = 0; c < 6; ++c) {
    const double start = c * 4 * beat, dur = 4 * beat + 0.8;
    for (const int note : chords[c])
      for (const double detune : {-0.7, 0.7})
        AddTone(s, start, dur, [=](double) { return hz(note) + detune; },
                [=](double t) { return 0.05 * std::min(1.0, t / 0.5) * std::min(1.0, (dur - t) / 0.8); });
  }

  // The tune: a bell with a few partials, each dying away at its own rate.
  struct Note {
    int midi;
    double beats;
  };
  const Note tune[] = {{78, 1}, {81, 1}, {83, 1}, {81, 1}, {78, 1.5}, {76, 0.5}, {74, 2}, {76, 1}, {78, 1},
                       {81, 1}, {83, 1}, {81, 2}, {76, 1}, {78, 1},   {86, 1.5}, {83, 0.5}, {81, 1}, {78, 1},
                       {76, 1}, {74, 3}};
  double at = 0;
  for (const Note& n : tune) {
    const double ring = std::min(2.6, length - at);
    const double partials[4][3] = {{1, 1, 1.6}, {2, 0.35, 0.9}, {3, 0.12, 0.5}, {4.2, 0.06, 0.3}};
    for (const auto& p : partials)
      AddTone(s, at, ring, [=](double) { return hz(n.midi) * p[0]; },
              [=](double t) { return 0.2 * p[1] * std::min(1.0, t / 0.008) * std::exp(-t / p[2]); });
    at += n.beats * beat;
  }

  // A soft echo half a beat behind, then the ending faded out.
  const auto delay = static_cast<size_t>(beat / 2 * kRate);
  for (size_t i = delay; i < s.size(); ++i) s[i] += static_cast<float>(0.3 * s[i - delay]);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = i / kRate;
    s[i] = static_cast<float>(s[i] * std::min(1.0, t / 0.05) * std::min(1.0, (length - t) / 1.2));
  }
  Normalise(s, 0.7);
  return s;
}

}  // namespace lumevra::demo
