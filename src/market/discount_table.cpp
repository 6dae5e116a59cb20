#include "market/discount_table.h"

#include <new>

#include "market/discount.h"

namespace lorvex {

DiscountTable::DiscountTable(const ZeroCurve& curve, int valuation)
    : rates_(curve), valuation_(valuation), rateAtValuation_(rates_.At(valuation)) {}

double DiscountTable::Compute(int day) {
  return DiscountFactorAtRate(rates_.At(day), valuation_, day);
}

double DiscountTable::Remember(int day) {
  const long long k = static_cast<long long>(day) - valuation_;
  if (k <= 0 || k > kMaxTableDays) return Compute(day);
  const auto index = static_cast<std::size_t>(k);
  if (index >= factors_.size()) {
    // The vector's capacity grows geometrically, so bonds arriving in rising
    // maturity, a few new days at a time, copy the table O(log) times.
    try {
      factors_.resize(index + 1, -1.0);
    } catch (const std::bad_alloc&) {
      return Compute(day);
    }
  }
  return factors_[index] = Compute(day);
}

}  // namespace lorvex
