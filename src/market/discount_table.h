// Discount factors of one zero curve seen from one valuation day t,
// remembered by payment day: DF_t(d) = exp(DiscountExponent(r(d), t, d)),
// the expression of market/discount.h, so a factor read here equals the
// one a pricer computes from the curve to the last bit.
//
// Many bonds priced on one curve from one day pay on far fewer distinct
// days than they have flows (100,000 bonds of up to 30 years pay on at most
// some 11,000 days), so each day's rate, division and exp are done once. The
// table holds the days after t up to the furthest one asked for, grown on
// demand (100 years take 292 kB); days beyond kMaxTableDays, 100 years, are
// computed each time rather than held. The curve must outlive the table and
// stay unchanged. Not for sharing between threads: a lookup may write.
#pragma once

#include <algorithm>
#include <cstddef>
#include <new>
#include <vector>

#include "market/zero_curve.h"

namespace lorvex {

// Resizes v to `size` elements (at most `limit`), the new ones `fill`, its
// capacity doubling as it grows but never past `limit`, so that a table
// filled up to its limit holds no more memory than that. False, v
// unchanged, without the memory.
template <class T>
bool GrowWithin(std::vector<T>& v, std::size_t size, std::size_t limit, const T& fill) {
  try {
    if (size > v.capacity()) v.reserve(std::min(std::max(size, 2 * v.capacity()), limit));
    v.resize(size, fill);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

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

  // Makes room for the days after t up to `day`, so that looking them up
  // keeps their factors; false beyond kMaxTableDays or without the memory.
  bool Hold(int day);
  // One past the furthest day after t held, and the factors by days after
  // t: a day held and looked up since is computed. Growing the table moves
  // them.
  std::size_t Held() const { return factors_.size(); }
  const double* Stored() const { return factors_.data(); }

 private:
  double Compute(int day);
  double Remember(int day);

  CurveCursor rates_;
  int valuation_;
  double rateAtValuation_;
  std::vector<double> factors_;  // index: days after t; -1 until computed
};

}  // namespace lorvex
