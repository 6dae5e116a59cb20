#include "market/bond_schedule.h"

#include <cmath>
#include <new>

#include "market/constants.h"
#include "market/zero_curve.h"

namespace lorvex {

BondSchedule::BondSchedule(double face, double couponRate, int accrualStart, int maturity,
                           int couponsPerYear) {
  Build(face, couponRate, accrualStart, maturity, couponsPerYear);
}

void BondSchedule::Build(double face, double couponRate, int accrualStart, int maturity,
                         int couponsPerYear) {
  periods_.clear();
  if (maturity <= accrualStart) return;
  if (!IsAcceptedFrequency(couponsPerYear)) {
    couponsPerYear_ = 0;
    status_ = -1;
    return;
  }
  int previous = 0;
  const int n = CountScheduledDates(accrualStart, maturity, couponsPerYear, &previous);
  try {
    periods_.reserve(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    couponsPerYear_ = 0;
    status_ = -1;
    return;
  }
  const double coupon = (couponRate / couponsPerYear) * face;
  int start = accrualStart;
  for (int j = 0; j < n; ++j) {
    const int end = ScheduledPeriodEnd(maturity, couponsPerYear, n, j);
    periods_.push_back({start, end, coupon, 0.0});
    start = end;
  }
  periods_.back().principal = face;
  couponsPerYear_ = couponsPerYear;
}

double BondSchedule::ForwardPrice(int a, int b, const ZeroCurve& curve) {
  if (periods_.empty()) {
    status_ = -1;
    return 0.0;
  }
  double sum = 0.0;
  for (const CouponPeriod& p : periods_) {
    if (p.end > b) {
      const double r = curve.Interpolate(p.end);
      sum += (p.coupon + p.principal) * std::exp(-r * (p.end - a) / kDaysPerYear);
    }
  }
  const double rb = curve.Interpolate(b);
  return sum / std::exp(-rb * (b - a) / kDaysPerYear);
}

double BondSchedule::PriceFromYield(int a, double yield) {
  if (periods_.empty()) {
    status_ = -1;
    return 0.0;
  }
  const double yp = yield / couponsPerYear_;
  const int scheduleStart = periods_.front().start;
  double sum = 0.0;
  double v = 0.0;
  bool first = true;
  for (const CouponPeriod& p : periods_) {
    if (p.end <= a) continue;
    if (first) {
      const double phi =
          a > scheduleStart ? static_cast<double>(a - p.start) / (p.end - p.start) : 0.0;
      v = 1.0 / std::pow(1.0 + yp, 1.0 - phi);
      first = false;
    } else {
      v = v / (1.0 + yp);
    }
    sum += v * (p.coupon + p.principal);
  }
  return sum;
}

double BondSchedule::AccruedInterest(double t) {
  if (periods_.empty()) {
    status_ = -1;
    return 0.0;
  }
  for (const CouponPeriod& p : periods_) {
    if (p.start <= t && t < p.end) return p.coupon * (t - p.start) / (p.end - p.start);
  }
  return 0.0;
}

}  // namespace lorvex
