// The process-wide millisecond tick source: a 32-bit count that wraps about
// every 49.7 days, and Sleep. Tests and tools install a ManualClock so that
// time moves only when they say.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

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
// The clock installed now (the real one when none is).
Clock& CurrentClock();

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

// A clock that can stand still: while paused it keeps the tick it was paused
// at, and after resuming it runs on from there, so the paused span counts
// for nobody who reads it (the water, the objects, the weather, the sound
// pauses of a saver whose display sleeps). Reads come from any thread.
class PausableClock final : public Clock {
public:
  explicit PausableClock(Clock& source) : source_(source) {}
  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override { source_.Sleep(ms); }
  void Pause();
  void Resume();
  bool Paused() const;
  // Milliseconds spent paused so far, the current pause included.
  uint32_t PausedMs() const;

private:
  Clock& source_;
  mutable std::mutex mutex_;
  uint32_t skipped_ = 0;   // source ticks paused away
  uint32_t pausedAt_ = 0;  // source tick of the current pause
  bool paused_ = false;
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
