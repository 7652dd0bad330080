// Rounding helpers shared by every formula of the scene.
#pragma once

#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace lumevra {

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline int64_t Round(double x) { return static_cast<int64_t>(std::nearbyint(x)); }

// n / 2 truncated toward zero (Half(-3) = -1).
inline int32_t Half(int32_t n) { return n / 2; }

class DivByZero : public std::runtime_error {
public:
  DivByZero() : std::runtime_error("Division by zero") {}
};

// Integer division truncated toward zero. A zero divisor raises DivByZero
// instead of trapping; INT32_MIN div -1 wraps as the 32-bit machine result.
inline int32_t Div(int32_t a, int32_t b) {
  if (b == 0) throw DivByZero();
  if (b == -1) return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
  return a / b;
}

// The matching remainder (sign of the dividend).
inline int32_t Mod(int32_t a, int32_t b) {
  if (b == 0) throw DivByZero();
  if (b == -1) return 0;
  return a % b;
}

}  // namespace lumevra
