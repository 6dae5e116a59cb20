// The frame every export runs its body in: only an int32_t status crosses
// the boundary, never an exception. The bodies call the C++ API
// (src/api/detail.h), whose lorvex::Error carries the status to return.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "api/detail.h"
#include "boundary/curve_reader.h"
#include "lorvex/lorvex.h"
#include "lorvex/lorvex.hpp"
#include "market/zero_curve.h"

namespace lorvex {

// Interest-rate exports: a null result pointer is refused, the result is
// set to 0 before anything can fail, and memory exhaustion is -1.
template <class Body>
std::int32_t RunRateExport(double* result, Body&& body) noexcept {
  if (result == nullptr) return LORVEX_BAD_ARGUMENT;
  *result = 0.0;
  try {
    return body();
  } catch (const Error& e) {
    *result = 0.0;
    return e.status();
  } catch (...) {
    *result = 0.0;
    return LORVEX_CURVE_BOUNDS;
  }
}

// Exports that leave their outputs untouched on failure.
template <class Body>
std::int32_t RunExport(Body&& body) noexcept {
  try {
    return body();
  } catch (const Error& e) {
    return e.status();
  } catch (...) {
    return LORVEX_TREE_BUILD;
  }
}

// The preamble of every interest-rate export: result zeroed, curve array
// read (its status returned as it stands), then the calculation on that
// curve, whose value is written only when it succeeds.
template <class Price>
std::int32_t PriceOnCurveArray(SAFEARRAY** curveArray, double* result, Price&& price) noexcept {
  return RunRateExport(result, [&]() -> std::int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    *result = price(curve);
    return LORVEX_OK;
  });
}

// The closed-form exotics always write: the value, or NaN with the status.
template <class Price>
std::int32_t PriceClosedForm(double* result, Price&& price) noexcept {
  if (result == nullptr) return LORVEX_BAD_ARGUMENT;
  *result = std::numeric_limits<double>::quiet_NaN();
  try {
    *result = price();
    return LORVEX_OK;
  } catch (const Error& e) {
    return e.status();
  } catch (...) {
    return LORVEX_BAD_ARGUMENT;
  }
}

// The integer flags of the exports compare with 1: 1 selects the first
// named case, any other value the other.
inline OptionType CallFlag(std::int32_t flag) { return flag == 1 ? OptionType::Call : OptionType::Put; }
inline StrikeQuote CleanFlag(std::int32_t flag) { return flag == 1 ? StrikeQuote::Clean : StrikeQuote::Dirty; }
inline Exercise AmericanFlag(std::int32_t flag) { return flag == 1 ? Exercise::American : Exercise::European; }
inline SwaptionType ReceiverFlag(std::int32_t flag) {
  return flag == 1 ? SwaptionType::Receiver : SwaptionType::Payer;
}
inline CapType CapFlag(std::int32_t flag) { return flag == 1 ? CapType::Cap : CapType::Floor; }

}  // namespace lorvex
