// Pieces of the one-factor Hull-White model (Hull & White 1990) that the
// closed-form pricers and the trinomial tree both use. Each caller passes
// its own units and limit: the closed form works in years and takes the
// small-a limit below |a| = 1e-4, the tree works in days and takes it
// below 1e-10 a day, as each is specified.
#pragma once

#include <cmath>

#include "market/zero_curve.h"

namespace lorvex {

// B = (1 - exp(-a tau)) / a, the sensitivity of ln P(t, t + tau) to the
// short rate; tau itself when |a| < smallA (the limit as a -> 0, where the
// general form loses digits to cancellation). a and tau in reciprocal
// units: per year and years, or per day and days.
inline double HullWhiteBFactor(double a, double tau, double smallA) {
  if (std::fabs(a) < smallA) return tau;
  return (1.0 - std::exp(-a * tau)) / a;
}

// The difference quotient for the zero curve's slope at date t: the rise
// R(t + 1) - R(t - h) over days = h + 1, h one day, or t - t0 when t is
// less than a day after the valuation date t0 (the backward point is then
// t0 itself). The instantaneous forward rate is R(t) + (t - t0) R'(t).
struct CurveSlopeSpan {
  double rise;
  double days;
};
inline CurveSlopeSpan ZeroRateSlopeSpan(const ZeroCurve& curve, double t0, double t) {
  const double h = t - t0 < 1.0 ? t - t0 : 1.0;
  return {curve.Interpolate(t + 1.0) - curve.Interpolate(t - h), h + 1.0};
}

}  // namespace lorvex
