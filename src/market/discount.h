// Discount factor read off a zero curve of continuously compounded
// actual/365 rates.
#pragma once

#include <cmath>

#include "market/constants.h"
#include "market/zero_curve.h"

namespace lorvex {

// DF(to) seen from date `from` (both Julian days): exp(-r(to) (to - from) / 365),
// the rate r(to) read at the payment date (DiscountFactorAtRate takes it
// already read, from a CurveCursor; DiscountExponent is the argument of
// the exp). Every pricer discounts with this one expression, evaluated in
// this order, so they agree to the last bit.
inline double DiscountExponent(double rate, double from, double to) { return -rate * (to - from) / kDaysPerYear; }
inline double DiscountFactorAtRate(double rate, double from, double to) {
  return std::exp(DiscountExponent(rate, from, to));
}
inline double DiscountFactor(const ZeroCurve& curve, double from, double to) {
  return DiscountFactorAtRate(curve.Interpolate(to), from, to);
}

}  // namespace lorvex
