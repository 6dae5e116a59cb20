// Caps and floors under Black's model: each caplet's simple forward rate is
// lognormal with one flat volatility, fixed at the caplet's start and paid
// at its end. Caplets that reset on or before the valuation date are left
// out: their rate is no longer an option.
#pragma once

#include "market/option_terms.h"

namespace lorvex {

class CapSchedule;
class ZeroCurve;

// Sum over the caplets resetting after J of
//   P(end) * notional * tau * (F N(d1) - K N(d2))    (cap: a call on the rate), or
//   P(end) * notional * tau * (K N(-d2) - F N(-d1))  (floor: a put),
// d1 = ln(F/K)/v + v/2, v = sigma sqrt((start - J)/365). A volatility, cap
// rate or forward rate not above 0 is priced as 1e-6.
double BlackCapFloor(int valuationJdn, double sigma, OptionType type, const ZeroCurve& curve,
                     const CapSchedule& cap);

}  // namespace lorvex
