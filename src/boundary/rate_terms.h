// The terms of a bond option, a swaption and a cap as their exports take
// them, the same under Black, closed-form Hull-White and the tree: one
// mapping per instrument onto the C++ API's arguments, which each model's
// export completes with its own (volatility, mean reversion, steps).
#pragma once

#include <cstdint>

#include "market/option_terms.h"

namespace lorvex {

// A bond option's Args (BlackBondOptionArgs, HwBondOptionArgs,
// TreeBondOptionArgs): the bond, the expiry and strike, call (flag 1) or
// put, clean (flag 1) or dirty strike.
template <class Args>
Args BondOptionTerms(std::int32_t valuationSerial, double yearsToMaturity, double couponRate, double face,
                     std::int32_t couponsPerYear, double yearsToExpiry, double strike, std::int32_t callFlag,
                     std::int32_t cleanStrikeFlag) {
  return {.valuation = valuationSerial,
          .maturity = yearsToMaturity,
          .coupon = couponRate,
          .face = face,
          .frequency = couponsPerYear,
          .expiry = yearsToExpiry,
          .strike = strike,
          .option = OptionTypeFromFlag(callFlag),
          .strike_quote = StrikeQuoteFromFlag(cleanStrikeFlag)};
}

// A swaption's Args: the swap from the expiry to its end, payer or
// receiver (flag 1).
template <class Args>
Args SwaptionTerms(std::int32_t valuationSerial, double yearsToExpiry, double yearsToSwapEnd, double fixedRate,
                   double notional, std::int32_t paymentsPerYear, std::int32_t receiverFlag) {
  return {.valuation = valuationSerial,
          .expiry = yearsToExpiry,
          .maturity = yearsToSwapEnd,
          .fixed_rate = fixedRate,
          .notional = notional,
          .frequency = paymentsPerYear,
          .option = SwaptionTypeFromFlag(receiverFlag)};
}

// A cap's or floor's Args; the flag is mapped by the export, whose
// conventions differ.
template <class Args>
Args CapTerms(std::int32_t valuationSerial, double yearsToStart, double yearsToEnd, double capRate, double notional,
              std::int32_t paymentsPerYear, CapType type) {
  return {.valuation = valuationSerial,
          .start = yearsToStart,
          .maturity = yearsToEnd,
          .cap_rate = capRate,
          .notional = notional,
          .frequency = paymentsPerYear,
          .option = type};
}

}  // namespace lorvex
