// The frame every export runs its body in: only an int32_t status crosses
// the boundary, never an exception.
#pragma once

#include <cmath>
#include <cstdint>
#include <new>

#include "lorvex/lorvex.h"

namespace lorvex {

// Interest-rate exports: a null result pointer is refused, the result is
// set to 0 before anything can fail, and memory exhaustion is -1.
template <class Body>
std::int32_t RunRateExport(double* result, Body&& body) noexcept {
  if (result == nullptr) return LORVEX_BAD_ARGUMENT;
  *result = 0.0;
  try {
    return body();
  } catch (...) {
    *result = 0.0;
    return LORVEX_CURVE_BOUNDS;
  }
}

// Writes a priced value, or refuses it with -9: a NaN or an infinity (rates
// so large that a discount factor underflows, an overflowing notional or
// mean reversion, a search thrown out of range) is never handed back as a
// price reported as a success.
inline std::int32_t WriteFiniteResult(double value, double* result) {
  if (!std::isfinite(value)) return LORVEX_BAD_ARGUMENT;
  *result = value;
  return LORVEX_OK;
}

// Exports that leave their outputs untouched on failure.
template <class Body>
std::int32_t RunExport(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return -1;
  }
}

}  // namespace lorvex
