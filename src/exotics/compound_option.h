// Option on an option (Geske 1979, "The valuation of compound options",
// J. Financial Economics 7, with a continuous dividend yield as in Haug,
// The Complete Guide to Option Pricing Formulas, 4.4.1): at T1 the holder
// may buy (call) or sell (put) for X1 a European call or put on the stock
// with strike X2 expiring at T2.
//
// The critical stock price at T1, where the underlying option is worth X1,
// is found by Newton's method from the spot (at most 27 passes, residual
// 1e-6, never below 0.01); the value then needs BivariateNormal. An expiry
// T2 at or before T1 is taken as T1 + 0.00001 years.
#pragma once

#include "market/option_terms.h"

namespace lorvex {

struct CompoundValue {
  double value;
  double criticalPrice;  // NaN when the value needs no search (see below)
};

// underlyingKind: kUnderlyingCall (12) for a call underlying, any other code
// a put. For exactly kUnderlyingPut (13), a put whose strike discounted to T1
// is below X1 is valued without a search: it can never be worth X1 at T1, so
// the call on it is never exercised (0) and the put on it always is
// (X1 e^(-r T1) less the put today). Other put codes always search.
CompoundValue CompoundOption(double spot, double compoundStrike, double underlyingStrike, double rate,
                             double dividendYield, double sigma, double t1, double t2, int underlyingKind,
                             OptionType type);

}  // namespace lorvex
