#include "market/bond_schedule.h"

#include <cmath>
#include <new>

#include "market/calendar.h"
#include "market/discount.h"

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
  // Period j of n ends on AddMonths(maturity, -(n - 1 - j) * 12/f): count
  // the dates after the accrual start walking back from the maturity, then
  // walk again to fill the periods from the last.
  const int step = 12 / couponsPerYear;
  int n = 0;
  for (MonthWalk dates(maturity, step); dates.Date() > accrualStart; dates.Back()) ++n;
  try {
    periods_.resize(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    couponsPerYear_ = 0;
    status_ = -1;
    return;
  }
  const double coupon = (couponRate / couponsPerYear) * face;
  MonthWalk dates(maturity, step);
  for (int j = n - 1; j >= 0; --j, dates.Back()) {
    periods_[static_cast<std::size_t>(j)] = {0, dates.Date(), coupon, 0.0};
  }
  int start = accrualStart;
  for (CouponPeriod& p : periods_) {
    p.start = start;
    start = p.end;
  }
  periods_.back().principal = face;
  couponsPerYear_ = couponsPerYear;
}

double BondSchedule::ForwardPrice(int a, int b, const ZeroCurve& curve) const {
  if (periods_.empty()) return 0.0;
  double sum = 0.0;
  for (const CouponPeriod& p : periods_) {
    if (p.end > b) sum += (p.coupon + p.principal) * DiscountFactor(curve, a, p.end);
  }
  return sum / DiscountFactor(curve, a, b);
}

double BondSchedule::PriceFromYield(int a, double yield) const {
  if (periods_.empty()) return 0.0;
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

double BondSchedule::AccruedInterest(double t) const {
  for (const CouponPeriod& p : periods_) {
    if (p.start <= t && t < p.end) return p.coupon * (t - p.start) / (p.end - p.start);
  }
  return 0.0;
}

}  // namespace lorvex
