#include "base/Clock.h"

#include <chrono>
#include <thread>

namespace lumevra {

namespace {
SteadyClock g_steady;
std::atomic<Clock*> g_clock{&g_steady};
}  // namespace

uint32_t SteadyClock::TickCount() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<uint32_t>(static_cast<uint64_t>(ms.count()));
}

void SteadyClock::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint32_t TickCount() { return g_clock.load(std::memory_order_acquire)->TickCount(); }

void SleepMs(uint32_t ms) { g_clock.load(std::memory_order_acquire)->Sleep(ms); }

void SetClock(Clock* clock) { g_clock.store(clock ? clock : &g_steady, std::memory_order_release); }

Clock& CurrentClock() { return *g_clock.load(std::memory_order_acquire); }

uint32_t PausableClock::TickCount() {
  std::lock_guard lock(mutex_);
  return (paused_ ? pausedAt_ : source_.TickCount()) - skipped_;
}

void PausableClock::Pause() {
  std::lock_guard lock(mutex_);
  if (paused_) return;
  pausedAt_ = source_.TickCount();
  paused_ = true;
}

void PausableClock::Resume() {
  std::lock_guard lock(mutex_);
  if (!paused_) return;
  skipped_ += TicksBetween(pausedAt_, source_.TickCount());
  paused_ = false;
}

bool PausableClock::Paused() const {
  std::lock_guard lock(mutex_);
  return paused_;
}

uint32_t PausableClock::PausedMs() const {
  std::lock_guard lock(mutex_);
  return skipped_ + (paused_ ? TicksBetween(pausedAt_, source_.TickCount()) : 0);
}

}  // namespace lumevra
