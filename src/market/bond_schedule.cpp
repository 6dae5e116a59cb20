#include "market/bond_schedule.h"

#include <cmath>
#include <new>

#include "market/calendar.h"
#include "market/discount.h"
#include "market/discount_table.h"

namespace lorvex {

namespace {

// value / DF(b) seen from a, for the rate r(b). For b = a and a finite rate
// DF(b) is exp(+-0), which is 1 exactly (C Annex F), and value / 1 is value
// exactly, so neither the exp nor the division is done; a rate that is not
// finite still gives the NaN of exp(NaN).
double DivideByDiscountToValueDate(double value, double rate, int a, int b) {
  return a == b && std::isfinite(rate) ? value : value / DiscountFactorAtRate(rate, a, b);
}

}  // namespace

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
  CurveCursor rates(curve);
  const double rateAtB = rates.At(b);
  double sum = 0.0;
  for (const CouponPeriod& p : periods_) {
    if (p.end > b) sum += (p.coupon + p.principal) * DiscountFactorAtRate(rates.At(p.end), a, p.end);
  }
  return DivideByDiscountToValueDate(sum, rateAtB, a, b);
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

namespace {

// The discount factors of BondCleanPrice read off the curve: for a run of
// payment days, all the exponents first, then the exps, which then run back
// to back instead of each waiting for its exponent's divisions.
class CurveDiscounts {
 public:
  CurveDiscounts(const ZeroCurve& curve, int t) : rates_(curve), t_(t), rateAtValuation_(rates_.At(t)) {}
  double RateAtValuation() const { return rateAtValuation_; }
  void Factors(const int* ends, int count, double* factors) {
    for (int i = 0; i < count; ++i) factors[i] = DiscountExponent(rates_.At(ends[i]), t_, ends[i]);
    for (int i = 0; i < count; ++i) factors[i] = std::exp(factors[i]);
  }

 private:
  CurveCursor rates_;
  int t_;
  double rateAtValuation_;
};

// BondCleanPrice with its discount factors DF_t(end) from `discounts`
// (CurveDiscounts or DiscountTable): both give each factor to the same bit,
// and the flows are added here in one order, so the prices agree to the bit.
template <class Discounts>
double CleanPrice(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear, int t,
                  Discounts& discounts) {
  // An empty schedule, by its dates or by a rejected frequency, is worth 0.
  if (maturity <= accrualStart || !IsAcceptedFrequency(couponsPerYear)) return 0.0;
  const double coupon = (couponRate / couponsPerYear) * face;

  // The flows paid after t are the scheduled dates after both t and the
  // accrual start. Walk back from the maturity to the first date on or
  // before both, keeping the latest kChunk dates, in ascending order, at
  // the end of `kept`.
  constexpr int kChunk = 64;
  int kept[kChunk];
  const int after = t > accrualStart ? t : accrualStart;
  MonthWalk dates(maturity, 12 / couponsPerYear);
  int n = 0;
  for (; dates.Date() > after; dates.Back(), ++n) {
    if (n < kChunk) kept[kChunk - 1 - n] = dates.Date();
  }

  double sum = 0.0;
  double accrued = 0.0;
  if (n > 0) {
    // The period of the first flow starts on the date the walk stopped at,
    // or at the accrual start if that date is not after it; it contains t
    // if it starts on or before t.
    const int stop = dates.Date();
    const int periodStart = stop > accrualStart ? stop : accrualStart;
    const double couponFlow = coupon + 0.0;  // coupon + principal, as a period adds them
    bool first = true;
    // Adds the flows paid on ends[0 .. count-1] (ascending) to the sum, in
    // that order.
    auto add = [&](const int* ends, int count, bool lastIsMaturity) {
      if (first && periodStart <= t) {
        accrued = coupon * (static_cast<double>(t) - periodStart) / (ends[0] - periodStart);
      }
      first = false;
      double factors[kChunk];
      discounts.Factors(ends, count, factors);
      const int coupons = lastIsMaturity ? count - 1 : count;
      for (int i = 0; i < coupons; ++i) sum += couponFlow * factors[i];
      if (lastIsMaturity) sum += (coupon + face) * factors[count - 1];
    };
    // Flows before the kept ones, a chunk at a time, walking forward.
    int ends[kChunk];
    for (int older = n - kChunk; older > 0;) {
      const int count = older < kChunk ? older : kChunk;
      for (int i = 0; i < count; ++i) {
        dates.Forward();
        ends[i] = dates.Date();
      }
      add(ends, count, false);
      older -= count;
    }
    const int count = n < kChunk ? n : kChunk;
    add(kept + (kChunk - count), count, true);
  }
  return DivideByDiscountToValueDate(sum, discounts.RateAtValuation(), t, t) - accrued;
}

}  // namespace

double BondCleanPrice(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear, int t,
                      const ZeroCurve& curve) {
  CurveDiscounts discounts(curve, t);
  return CleanPrice(face, couponRate, accrualStart, maturity, couponsPerYear, t, discounts);
}

double BondCleanPrice(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear,
                      DiscountTable& discounts) {
  return CleanPrice(face, couponRate, accrualStart, maturity, couponsPerYear, discounts.Valuation(), discounts);
}

}  // namespace lorvex
