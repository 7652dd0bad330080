// Follows whether the display is powered, for a desktop that tells only
// when asked: the state is probed about once a second and each change is
// reported once. Also counts the time spent with the display off.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace lumevra {

class DisplayPowerWatch {
public:
  static constexpr uint32_t kProbeIntervalMs = 1000;

  // `probe` gives true while the display is on, false while it sleeps,
  // nullopt when it cannot tell (then the display counts as on).
  explicit DisplayPowerWatch(std::function<std::optional<bool>()> probe) : probe_(std::move(probe)) {}

  // Probes when a second has passed since the last probe (at once on the
  // first call); returns the new state when it changed.
  std::optional<bool> Poll(uint64_t nowMs);
  // How long a loop may wait for events before the next probe is due.
  uint32_t MsUntilNextProbe(uint64_t nowMs) const;
  bool DisplayOn() const { return on_; }
  // Milliseconds the display was off, the current sleep included.
  uint64_t AsleepMs(uint64_t nowMs) const;

private:
  std::function<std::optional<bool>()> probe_;
  std::optional<uint64_t> lastProbe_;
  bool on_ = true;
  uint64_t asleepMs_ = 0;
  uint64_t sleptAt_ = 0;
};

// The state named by the file in LUMEVRA_DISPLAY_STATE, when that is set:
// "off" as its first word means the display sleeps, anything else that it
// is on. For tests and measurements on servers without power management.
std::optional<bool> DisplayStateFromFile();

}  // namespace lumevra
