#include "market/swap_schedule.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "market/discount.h"

namespace lorvex {
namespace {

// Lays one leg: period ends stepped back from the end date, the first
// period starting at the swap's start. Returns false when the frequency is
// refused or memory runs out, leaving the leg empty.
template <class Period, class MakePeriod>
bool LayLeg(std::vector<Period>& leg, int start, int end, int perYear, MakePeriod make) {
  leg.clear();
  if (end <= start) return true;
  if (!IsAcceptedFrequency(perYear)) return false;
  const int n = CountPeriodsWithStubRule(start, end, perYear);
  try {
    leg.reserve(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    return false;
  }
  int periodStart = start;
  for (int j = 0; j < n; ++j) {
    const int periodEnd = ScheduledPeriodEnd(end, perYear, n, j);
    leg.push_back(make(periodStart, periodEnd, (periodEnd - periodStart) / kDaysPerYear));
    periodStart = periodEnd;
  }
  return true;
}

}  // namespace

SwapSchedule::SwapSchedule(double notional, double fixedRate, double spread, int start, int end,
                           int fixedPerYear, int floatingPerYear) {
  const double amount = notional * fixedRate;
  if (!LayLeg(fixed_, start, end, fixedPerYear, [amount](int s, int e, double tau) {
        return FixedPeriod{s, e, amount, tau};
      })) {
    status_ = -1;
  }
  fixedRate_ = fixedRate;
  // The floating leg is built even when the fixed leg was refused.
  if (!LayLeg(floating_, start, end, floatingPerYear, [notional, spread](int s, int e, double tau) {
        return FloatingPeriod{s, e, -notional, spread, tau};
      })) {
    status_ = -1;
  }
}

int SwapSchedule::FinalDate() const {
  const int fixedEnd = fixed_.empty() ? 0 : fixed_.back().end;
  const int floatingEnd = floating_.empty() ? 0 : floating_.back().end;
  return std::max(fixedEnd, floatingEnd);
}

double SwapSchedule::FixedLegValue(int shift, int a, int c, const ZeroCurve& curve) const {
  double sum = 0.0;
  for (const FixedPeriod& p : fixed_) {
    const int end = p.end + shift;
    if (end <= c) continue;
    const double fraction = p.start + shift > c ? p.accrualFraction : (end - c) / kDaysPerYear;
    sum += p.amount * fraction * DiscountFactor(curve, a, end);
  }
  return sum;
}

double SwapSchedule::FloatingLegValue(int shift, int a, int c, const ZeroCurve& curve) const {
  double sum = 0.0;
  for (const FloatingPeriod& p : floating_) {
    const int end = p.end + shift;
    if (end <= c) continue;
    const int start = p.start + shift;
    // A period already running at c pays the rate reset at c on its
    // remaining part only.
    const double fraction = start > c ? p.accrualFraction : (end - c) / kDaysPerYear;
    const double dfStart = DiscountFactor(curve, a, start > c ? start : c);
    const double dfEnd = DiscountFactor(curve, a, end);
    sum += p.signedNotional * (dfStart - dfEnd + p.spread * fraction * dfEnd);
  }
  return sum;
}

double SwapSchedule::SwapValue(int shift, int a, int c, const ZeroCurve& curve) const {
  return FixedLegValue(shift, a, c, curve) + FloatingLegValue(shift, a, c, curve);
}

double SwapSchedule::Annuity(int shift, int a, int c, const ZeroCurve& curve) const {
  if (fixedRate_ == 0.0) return 0.0;
  return FixedLegValue(shift, a, c, curve) / fixedRate_;
}

double SwapSchedule::ForwardRate(int shift, int a, int c, const ZeroCurve& curve) const {
  const double floating = FloatingLegValue(shift, a, c, curve);
  const double annuity = Annuity(shift, a, c, curve);
  if (annuity == 0.0) return 0.0;
  return -floating / annuity;
}

}  // namespace lorvex
