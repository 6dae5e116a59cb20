#include "market/cap_schedule.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "market/discount.h"

namespace lorvex {

CapSchedule::CapSchedule(double notional, double capRate, int start, int end, int perYear,
                         double extra) {
  if (end <= start) return;
  if (!IsAcceptedFrequency(perYear)) {
    status_ = -1;
    return;
  }
  const int n = CountPeriodsWithStubRule(start, end, perYear);
  try {
    caplets_.reserve(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    status_ = -1;
    return;
  }
  int periodStart = start;
  for (int j = 0; j < n; ++j) {
    const int periodEnd = ScheduledPeriodEnd(end, perYear, n, j);
    caplets_.push_back({periodStart, periodEnd, notional, capRate,
                        (periodEnd - periodStart) / kDaysPerYear, extra});
    periodStart = periodEnd;
  }
}

namespace {

// The simple forward rate of a caplet from DF(start) and DF(end).
double ForwardRateOf(const CapletPeriod& c, double dfStart, double dfEnd) {
  return (dfStart / dfEnd - 1.0) / c.accrualFraction;
}

}  // namespace

double CapSchedule::CapletForwardRate(int index, double d, const ZeroCurve& curve) const {
  if (index < 0 || index >= Count()) return 0.0;
  const CapletPeriod& c = caplets_[static_cast<std::size_t>(index)];
  return ForwardRateOf(c, DiscountFactor(curve, d, c.start), DiscountFactor(curve, d, c.end));
}

int CapSchedule::CapletIndexAt(int date) const {
  // The caplets are contiguous and ascending: the last one starting on or
  // before the date is the only candidate.
  const auto after = std::upper_bound(caplets_.begin(), caplets_.end(), date,
                                      [](int d, const CapletPeriod& c) { return d < c.start; });
  if (after == caplets_.begin()) return -1;
  const auto candidate = after - 1;
  if (date >= candidate->end) return -1;
  return static_cast<int>(candidate - caplets_.begin());
}

double CapSchedule::CapletPayoff(int index, double d, const ZeroCurve& curve) const {
  if (index < 0 || index >= Count()) return 0.0;
  const CapletPeriod& c = caplets_[static_cast<std::size_t>(index)];
  return CapletPayoffFromDiscounts(index, DiscountFactor(curve, d, c.start), DiscountFactor(curve, d, c.end));
}

double CapSchedule::CapletPayoffFromDiscounts(int index, double dfStart, double dfEnd) const {
  if (index < 0 || index >= Count()) return 0.0;
  const CapletPeriod& c = caplets_[static_cast<std::size_t>(index)];
  return c.notional * c.accrualFraction * (ForwardRateOf(c, dfStart, dfEnd) - c.capRate) * dfEnd;
}

int CapSchedule::CapResetSchedule(ZeroCurve& resets) {
  resets.Clear();
  if (caplets_.empty()) status_ = -1;
  for (const CapletPeriod& c : caplets_) {
    if (resets.Insert(c.start, 0.0) != 0) {
      status_ = -1;
      break;
    }
  }
  return status_ == 0 ? 0 : -1;
}

}  // namespace lorvex
