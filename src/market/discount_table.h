// Discount factors of one zero curve seen from one valuation day t,
// remembered by payment day: DF_t(d) = exp(DiscountExponent(r(d), t, d)),
// the expression of market/discount.h, so a factor read here equals the
// one a pricer computes from the curve to the last bit.
//
// Many bonds priced on one curve from one day pay on far fewer distinct
// days than they have flows (100,000 bonds of up to 30 years pay on at most
// some 11,000 days), so each day's rate, division and exp are done once. The
// table holds the days after t up to the furthest one asked for, grown on
// demand (a table of 100 years is 290 kB); days beyond kMaxTableDays (100 years) are computed each time
// rather than held. The curve must outlive the table and stay unchanged.
// Not for sharing between threads: a lookup may write.
#pragma once

#include <cstddef>
#include <vector>

#include "market/zero_curve.h"

namespace lorvex {

class DiscountTable {
 public:
  static constexpr int kMaxTableDays = 36525;

  DiscountTable(const ZeroCurve& curve, int valuation);

  int Valuation() const { return valuation_; }
  // r(t), the rate at the valuation day.
  double RateAtValuation() const { return rateAtValuation_; }

  // DF_t(day) for a day after t; any other day is computed, not held.
  double At(int day) {
    const auto k = static_cast<std::size_t>(static_cast<long long>(day) - valuation_);
    // exp never gives a negative number, so a negative entry marks a day not
    // yet computed; a NaN factor (a rate that is not a number) is kept.
    if (k < factors_.size() && !(factors_[k] < 0.0)) return factors_[k];
    return Remember(day);
  }
  // DF_t(ends[i]) for i = 0 .. count-1, as BondCleanPrice reads them.
  void Factors(const int* ends, int count, double* factors) {
    for (int i = 0; i < count; ++i) factors[i] = At(ends[i]);
  }

  // Days held (for tests): one past the furthest day after t asked for.
  std::size_t Held() const { return factors_.size(); }

 private:
  double Compute(int day);
  double Remember(int day);

  CurveCursor rates_;
  int valuation_;
  double rateAtValuation_;
  std::vector<double> factors_;  // index: days after t; -1 until computed
};

}  // namespace lorvex
