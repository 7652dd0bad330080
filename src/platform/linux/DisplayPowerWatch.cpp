#include "platform/linux/DisplayPowerWatch.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace lumevra {

std::optional<bool> DisplayPowerWatch::Poll(uint64_t nowMs) {
  if (lastProbe_ && nowMs - *lastProbe_ < kProbeIntervalMs) return std::nullopt;
  lastProbe_ = nowMs;
  const bool on = probe_ ? probe_().value_or(true) : true;
  if (on == on_) return std::nullopt;
  on_ = on;
  if (on)
    asleepMs_ += nowMs - sleptAt_;
  else
    sleptAt_ = nowMs;
  return on;
}

uint32_t DisplayPowerWatch::MsUntilNextProbe(uint64_t nowMs) const {
  if (!lastProbe_) return 0;
  const uint64_t since = nowMs - *lastProbe_;
  return since >= kProbeIntervalMs ? 0 : static_cast<uint32_t>(kProbeIntervalMs - since);
}

uint64_t DisplayPowerWatch::AsleepMs(uint64_t nowMs) const { return asleepMs_ + (on_ ? 0 : nowMs - sleptAt_); }

std::optional<bool> DisplayStateFromFile() {
  const char* path = std::getenv("LUMEVRA_DISPLAY_STATE");
  if (path == nullptr || *path == '\0') return std::nullopt;
  std::ifstream file(path);
  std::string word;
  if (!(file >> word)) return true;
  return word != "off";
}

}  // namespace lumevra
