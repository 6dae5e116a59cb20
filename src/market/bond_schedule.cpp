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

// The arithmetic of a clean price from its flows' discount factors, the
// flows added oldest first, shared by every source of the factors so that
// they all give one price to the last bit.
class CleanPriceSum {
 public:
  CleanPriceSum(double face, double couponRate, int couponsPerYear)
      : face_(face), coupon_((couponRate / couponsPerYear) * face), couponFlow_(coupon_ + 0.0) {}
  // The coupon accrued at t in the period from periodStart (on or before t)
  // to the first flow's date.
  void Accrue(int t, int periodStart, int firstEnd) {
    accrued_ = coupon_ * (static_cast<double>(t) - periodStart) / (firstEnd - periodStart);
  }
  // Adds the flows discounted by factor(0) .. factor(count - 1), in that
  // order; the last is the maturity's if lastIsMaturity.
  template <class Factor>
  void Add(int count, bool lastIsMaturity, const Factor& factor) {
    const int coupons = lastIsMaturity ? count - 1 : count;
    for (int i = 0; i < coupons; ++i) sum_ += couponFlow_ * factor(i);
    if (lastIsMaturity) sum_ += (coupon_ + face_) * factor(count - 1);
  }
  double Clean(double rateAtValuation, int t) const {
    return DivideByDiscountToValueDate(sum_, rateAtValuation, t, t) - accrued_;
  }

 private:
  double face_;
  double coupon_;
  double couponFlow_;  // coupon + principal, as a period adds them
  double sum_ = 0.0;
  double accrued_ = 0.0;
};

// BondCleanPrice with its discount factors DF_t(end) from `discounts`
// (CurveDiscounts or DiscountTable), which give each factor to the same bit.
template <class Discounts>
double CleanPrice(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear, int t,
                  Discounts& discounts) {
  // An empty schedule, by its dates or by a rejected frequency, is worth 0.
  if (maturity <= accrualStart || !IsAcceptedFrequency(couponsPerYear)) return 0.0;
  CleanPriceSum price(face, couponRate, couponsPerYear);

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

  if (n > 0) {
    // The period of the first flow starts on the date the walk stopped at,
    // or at the accrual start if that date is not after it; it contains t
    // if it starts on or before t.
    const int stop = dates.Date();
    const int periodStart = stop > accrualStart ? stop : accrualStart;
    bool first = true;
    // Adds the flows paid on ends[0 .. count-1] (ascending) to the sum, in
    // that order.
    auto add = [&](const int* ends, int count, bool lastIsMaturity) {
      if (first && periodStart <= t) price.Accrue(t, periodStart, ends[0]);
      first = false;
      double factors[kChunk];
      discounts.Factors(ends, count, factors);
      price.Add(count, lastIsMaturity, [&](int i) { return factors[i]; });
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
  return price.Clean(discounts.RateAtValuation(), t);
}

}  // namespace

double BondCleanPrice(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear, int t,
                      const ZeroCurve& curve) {
  CurveDiscounts discounts(curve, t);
  return CleanPrice(face, couponRate, accrualStart, maturity, couponsPerYear, t, discounts);
}

BondFlowTable::BondFlowTable(const ZeroCurve& curve, int t) : days_(curve, t) {}

const BondFlowTable::Flows* BondFlowTable::Remember(int maturity, int couponsPerYear, std::vector<Flows>& row,
                                                    std::size_t index) {
  const int t = days_.Valuation();
  MonthWalk dates(maturity, 12 / couponsPerYear);
  int n = 0;
  for (; dates.Date() > t; dates.Back()) ++n;
  const std::size_t first = offsets_.size();
  const std::size_t size = first + 1 + static_cast<std::size_t>(n);
  if (size > kMaxOffsets || !days_.Hold(maturity)) return nullptr;
  const std::size_t rowLimit = std::size_t{DiscountTable::kMaxTableDays} + 1;
  if (index >= row.size() && !GrowWithin(row, index + 1, rowLimit, Flows{0, -1})) return nullptr;
  if (!GrowWithin(offsets_, size, kMaxOffsets, std::uint16_t{0})) return nullptr;
  // Both fit: the stop is less than a year before t, the maturity at most
  // kMaxTableDays after. Each flow's factor is looked up, and so kept in
  // the days' table, which holds the days up to the maturity.
  offsets_[first] = static_cast<std::uint16_t>(t - dates.Date());
  for (std::size_t i = first + 1; i < size; ++i) {
    dates.Forward();
    offsets_[i] = static_cast<std::uint16_t>(dates.Date() - t);
    days_.At(dates.Date());
  }
  row[index] = {static_cast<int>(first), n};
  return &row[index];
}

double BondCleanPrice(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear,
                      BondFlowTable& table) {
  const int t = table.Valuation();
  if (maturity <= accrualStart || !IsAcceptedFrequency(couponsPerYear)) return 0.0;
  const BondFlowTable::Flows* flows = accrualStart <= t ? table.Find(maturity, couponsPerYear) : nullptr;
  if (flows == nullptr) return CleanPrice(face, couponRate, accrualStart, maturity, couponsPerYear, t, table.Days());
  // As CleanPrice walks it: the first flow's period starts at the later of
  // the stop and the accrual start, both on or before t.
  CleanPriceSum price(face, couponRate, couponsPerYear);
  const std::uint16_t* offsets = table.Offsets(*flows);
  const int stop = t - offsets[0];
  const int periodStart = stop > accrualStart ? stop : accrualStart;
  if (periodStart <= t) price.Accrue(t, periodStart, t + offsets[1]);
  // The days' table holds every flow's factor since the flows were laid.
  const double* stored = table.Days().Stored();
  price.Add(flows->count, true, [&](int i) { return stored[offsets[1 + i]]; });
  return price.Clean(table.Days().RateAtValuation(), t);
}

}  // namespace lorvex
