#include "market/cap_schedule.h"

#include <cmath>
#include <new>

#include "market/constants.h"
#include "market/zero_curve.h"

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

double CapSchedule::CapletForwardRate(int index, double d, const ZeroCurve& curve) const {
  if (index < 0 || index >= Count()) {
    status_ = -1;
    return 0.0;
  }
  const CapletPeriod& c = caplets_[static_cast<std::size_t>(index)];
  const double dfStart = std::exp(-curve.Interpolate(c.start) * (c.start - d) / kDaysPerYear);
  const double dfEnd = std::exp(-curve.Interpolate(c.end) * (c.end - d) / kDaysPerYear);
  return (dfStart / dfEnd - 1.0) / c.accrualFraction;
}

}  // namespace lorvex
