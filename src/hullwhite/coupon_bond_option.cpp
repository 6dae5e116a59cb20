#include "hullwhite/coupon_bond_option.h"

#include <cmath>

#include "hullwhite/zero_bond.h"
#include "market/bond_schedule.h"
#include "market/iteration.h"
#include "market/zero_curve.h"

namespace lorvex {

BondValueAndSlope HullWhiteCouponBondValue(const BondSchedule& bond, double t0, double t,
                                           double cutoff, const ZeroCurve& curve, double r,
                                           double sigma, double a) {
  BondValueAndSlope result{0.0, 0.0};
  for (const CouponPeriod& p : bond.Periods()) {
    const double paid = p.end;
    if (!(paid > cutoff)) continue;
    const double flow = p.coupon + p.principal;
    const double price = HullWhiteZeroBondPrice(r, t0, t, paid, curve, sigma, a);
    result.value += flow * price;
    result.derivative -= HullWhiteB(t, paid, a) * flow * price;
  }
  return result;
}

CouponBondOptionResult HullWhiteCouponBondOption(int t0, int tex, double X, OptionType type,
                                                 const ZeroCurve& curve, double sigma, double a,
                                                 const BondSchedule& bond, int maxSteps) {
  CouponBondOptionResult result{0.0, 0.0, 0, kCriticalRateFound};
  if (tex <= t0) return result;
  bool anyFlowAfterExpiry = false;
  for (const CouponPeriod& p : bond.Periods()) {
    if (p.end > tex) anyFlowAfterExpiry = true;
  }
  if (!anyFlowAfterExpiry) return result;
  const double expiry = tex;
  const int isPut = type == OptionType::Put ? 1 : 0;
  if (X <= 0.0) {
    // The bond's value at expiry is positive for positive flows, so the call
    // is always exercised: it is the forward claim on the flows, bought today.
    if (type == OptionType::Call) {
      result.value =
          HullWhiteCouponBondValue(bond, t0, t0, expiry, curve, 0.0, sigma, a).value;
    }
    return result;
  }

  const IterationResult search = Iterate(curve.Interpolate(expiry), maxSteps, [&](double r) {
    const BondValueAndSlope v = HullWhiteCouponBondValue(bond, t0, expiry, expiry, curve, r, sigma, a);
    const double gap = v.value - X;
    const double next = r - gap / v.derivative;
    if (!std::isfinite(next)) return IterationStep{next, IterationStep::kFailed};
    return IterationStep{
        next, std::fabs(gap) <= kCriticalRateTolerance ? IterationStep::kDone : IterationStep::kContinue};
  });
  result.steps = search.steps;
  if (!search.converged) {
    result.status = kCriticalRateNotFound;
    return result;
  }
  const double r = search.point;
  result.criticalRate = r;

  double sum = 0.0;
  for (const CouponPeriod& p : bond.Periods()) {
    if (p.end <= tex) continue;
    const double paid = p.end;
    const double strike = HullWhiteZeroBondPrice(r, t0, expiry, paid, curve, sigma, a);
    sum += (p.coupon + p.principal) *
           HullWhiteZeroBondOption(t0, expiry, paid, strike, curve, sigma, a, isPut);
  }
  result.value = sum;
  return result;
}

}  // namespace lorvex
