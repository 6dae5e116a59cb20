#include "market/discount_table.h"

#include "market/discount.h"

namespace lorvex {

DiscountTable::DiscountTable(const ZeroCurve& curve, int valuation)
    : rates_(curve), valuation_(valuation), rateAtValuation_(rates_.At(valuation)) {}

double DiscountTable::Compute(int day) {
  return DiscountFactorAtRate(rates_.At(day), valuation_, day);
}

bool DiscountTable::Hold(int day) {
  const long long k = static_cast<long long>(day) - valuation_;
  if (k <= 0 || k > kMaxTableDays) return false;
  const auto size = static_cast<std::size_t>(k) + 1;
  // Bonds arriving in rising maturity add a few days at a time; the
  // doubling capacity copies the table O(log) times.
  return size <= factors_.size() || GrowWithin(factors_, size, std::size_t{kMaxTableDays} + 1, -1.0);
}

double DiscountTable::Remember(int day) {
  if (!Hold(day)) return Compute(day);
  return factors_[static_cast<std::size_t>(day - valuation_)] = Compute(day);
}

}  // namespace lorvex
