// Discount factor read off a zero curve of continuously compounded
// actual/365 rates.
#pragma once

#include <cmath>

#include "market/constants.h"
#include "market/zero_curve.h"

namespace lorvex {

// DF(to) seen from date `from` (both Julian days): exp(-r(to) (to - from) / 365),
// the rate read at the payment date. Every pricer discounts with this one
// expression, evaluated in this order, so they agree to the last bit.
inline double DiscountFactor(const ZeroCurve& curve, double from, double to) {
  return std::exp(-curve.Interpolate(to) * (to - from) / kDaysPerYear);
}

}  // namespace lorvex
