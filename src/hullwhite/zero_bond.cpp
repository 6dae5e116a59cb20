#include "hullwhite/zero_bond.h"

#include <algorithm>
#include <cmath>

#include "market/hull_white_factors.h"
#include "market/normal.h"
#include "market/zero_curve.h"

namespace lorvex {
namespace {

// Market discount factor from t0 to T.
double MarketDiscount(double t0, double T, const ZeroCurve& curve) {
  return std::exp(-curve.Interpolate(T) * (T - t0) * kYearsPerDay);
}

// Below this the option has no time value left to compute: the intrinsic
// value is returned instead of dividing by the volatility.
constexpr double kMinBondVolatility = 0.000001;

}  // namespace

double HullWhiteB(double t, double T, double a) {
  return HullWhiteBFactor(a, (T - t) * kYearsPerDay, kSmallMeanReversion);
}

double HullWhiteA(double t0, double t, double T, const ZeroCurve& curve, double sigma, double a) {
  const double tauT = (t - t0) * kYearsPerDay;
  const double tauM = (T - t0) * kYearsPerDay;
  // Near the valuation date the backward point of the slope is t0 itself.
  const CurveSlopeSpan span = ZeroRateSlopeSpan(curve, t0, t);
  const double rateT = curve.Interpolate(t);
  const double slope = span.rise * 365.0 / span.days;
  const double forward = rateT + tauT * slope;
  const double logRatio = rateT * tauT - curve.Interpolate(T) * tauM;
  double variance = 0.0;
  if (std::fabs(a) >= kSmallMeanReversion) {
    const double decay = 1.0 - std::exp(-a * (tauM - tauT));
    variance = sigma * sigma * decay * decay * (1.0 - std::exp(-2.0 * a * tauT)) / (4.0 * a * a * a);
  } else {
    variance = sigma * sigma * (tauM - tauT) * (tauM - tauT) * tauT / 2.0;
  }
  return std::exp(logRatio + HullWhiteB(t, T, a) * forward - variance);
}

double HullWhiteZeroBondPrice(double r, double t0, double t, double T, const ZeroCurve& curve,
                              double sigma, double a) {
  if (t == t0) return MarketDiscount(t0, T, curve);
  return HullWhiteA(t0, t, T, curve, sigma, a) * std::exp(-HullWhiteB(t, T, a) * r);
}

double HullWhiteZeroBondOption(double t0, double tc, double T, double X, const ZeroCurve& curve,
                               double sigma, double a, int isPut) {
  const double pT = HullWhiteZeroBondPrice(0.0, t0, t0, T, curve, sigma, a);
  const double pc = HullWhiteZeroBondPrice(0.0, t0, t0, tc, curve, sigma, a);
  if (X == 0.0) return isPut != 0 ? 0.0 : pT;
  const double tauC = (tc - t0) * kYearsPerDay;
  const double tauT = (T - t0) * kYearsPerDay;
  // The limit form only at a = 0 exactly: for tiny nonzero a the general
  // form still holds to about 1e-7 relative.
  double sp = 0.0;
  if (a == 0.0) {
    sp = sigma * std::sqrt(tauC) * (tauT - tauC);
  } else {
    sp = sigma * std::sqrt((1.0 - std::exp(-2.0 * a * tauC)) / (2.0 * a)) *
         (1.0 - std::exp(-a * (tauT - tauC))) / a;
  }
  const double strikeValue = X * pc;
  if (!(sp > kMinBondVolatility)) {
    return isPut != 0 ? std::max(strikeValue - pT, 0.0) : std::max(pT - strikeValue, 0.0);
  }
  const double d1 = std::log(pT / strikeValue) / sp + sp / 2.0;
  const double call = pT * NormalCdf(d1) - strikeValue * NormalCdf(d1 - sp);
  return isPut != 0 ? call + strikeValue - pT : call;
}

}  // namespace lorvex
