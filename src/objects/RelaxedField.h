// A field that an object's worker thread writes while the frame reads it,
// with no lock: a relaxed atomic that reads and assigns like a plain value.
// A frame may see one field a step ahead of another; that is accepted.
#pragma once

#include <atomic>

namespace lumevra {

template <typename T>
class Relaxed {
public:
  constexpr Relaxed(T value = T{}) noexcept : value_(value) {}  // NOLINT: reads like a plain field
  Relaxed(const Relaxed& other) noexcept : value_(other.load()) {}
  Relaxed& operator=(const Relaxed& other) noexcept {
    store(other.load());
    return *this;
  }
  Relaxed& operator=(T value) noexcept {
    store(value);
    return *this;
  }

  operator T() const noexcept { return load(); }  // NOLINT: reads like a plain field
  T load() const noexcept { return value_.load(std::memory_order_relaxed); }
  void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }

private:
  std::atomic<T> value_;
};

}  // namespace lumevra
