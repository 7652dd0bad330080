// The process-wide millisecond tick source: a 32-bit count that wraps about
// every 49.7 days, and Sleep. Tests and tools install a ManualClock so that
// time moves only when they say.
#pragma once

#include <atomic>
#include <cstdint>

namespace lumevra {

// Millisecond tick count (32-bit, wrapping) and sleeping.
class Clock {
public:
  virtual ~Clock() = default;
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t ms) = 0;
};

uint32_t TickCount();
void SleepMs(uint32_t ms);
// Milliseconds from `earlier` to `later`, correct across the wrap.
inline uint32_t TicksBetween(uint32_t earlier, uint32_t later) { return later - earlier; }

// Installs a clock for the whole process; nullptr restores the real one.
// The clock must outlive its installation.
void SetClock(Clock* clock);

// The real clock: a steady monotonic count.
class SteadyClock final : public Clock {
public:
  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override;
};

// A clock that stands still until advanced. Sleep advances it by the time
// asked for, so code that paces itself runs at full speed but sees the
// time it expects.
class ManualClock final : public Clock {
public:
  explicit ManualClock(uint32_t start = 0) : now_(start) {}
  uint32_t TickCount() override { return now_.load(std::memory_order_relaxed); }
  void Sleep(uint32_t ms) override { Advance(ms); }
  void Advance(uint32_t ms) { now_.fetch_add(ms, std::memory_order_relaxed); }
  void Set(uint32_t now) { now_.store(now, std::memory_order_relaxed); }

private:
  std::atomic<uint32_t> now_;
};

// Installs a clock for the lifetime of a scope (tests and tools).
class ScopedClock {
public:
  explicit ScopedClock(Clock& clock) { SetClock(&clock); }
  ~ScopedClock() { SetClock(nullptr); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace lumevra
