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
#include "market/option_terms.h"
#include "market/zero_curve.h"

namespace lorvex {

// The one mapping of what a body throws onto a status: lorvex::Error
// carries the status to return; anything else (memory exhausted) is
// `otherwise`, -1 unless the export's family says another.
template <class Body>
std::int32_t RunExport(Body&& body, std::int32_t otherwise = LORVEX_TREE_BUILD) noexcept {
  try {
    return body();
  } catch (const Error& e) {
    return e.status();
  } catch (...) {
    return otherwise;
  }
}

// Interest-rate exports: a null result pointer is refused, the result is
// set to 0 before anything can fail and is 0 again after any failure.
template <class Body>
std::int32_t RunRateExport(double* result, Body&& body) noexcept {
  if (result == nullptr) return LORVEX_BAD_ARGUMENT;
  *result = 0.0;
  const std::int32_t status = RunExport(body);
  if (status != LORVEX_OK) *result = 0.0;
  return status;
}

// The caller's curve array (or dividend array: x in years, not serials)
// read into a ZeroCurve before the body runs on it; a fault of the array is
// returned as its status stands.
template <class Body>
std::int32_t OnCurveArray(SAFEARRAY** array, bool datesAreSerials, Body&& body) {
  ZeroCurve points;
  const int status = ReadCurveArray(array, points, datesAreSerials);
  if (status != LORVEX_OK) return status;
  return body(points);
}

// Exports that leave their outputs untouched on failure, on a curve or
// dividend array.
template <class Body>
std::int32_t RunOnCurveArray(SAFEARRAY** array, bool datesAreSerials, Body&& body) noexcept {
  return RunExport([&] { return OnCurveArray(array, datesAreSerials, body); });
}

// The preamble of every interest-rate export: result zeroed, curve array
// read, then the calculation on that curve, whose value is written only
// when it succeeds.
template <class Price>
std::int32_t PriceOnCurveArray(SAFEARRAY** curveArray, double* result, Price&& price) noexcept {
  return RunRateExport(result, [&] {
    return OnCurveArray(curveArray, true, [&](const ZeroCurve& curve) -> std::int32_t {
      *result = price(curve);
      return LORVEX_OK;
    });
  });
}

// The closed-form exotics always write: the value, or NaN with the status
// (-9 also for anything but a refused argument).
template <class Price>
std::int32_t PriceClosedForm(double* result, Price&& price) noexcept {
  if (result == nullptr) return LORVEX_BAD_ARGUMENT;
  *result = std::numeric_limits<double>::quiet_NaN();
  return RunExport(
      [&]() -> std::int32_t {
        *result = price();
        return LORVEX_OK;
      },
      LORVEX_BAD_ARGUMENT);
}

}  // namespace lorvex
