// Caps and floors under the fitted Hull-White model in closed form. A
// caplet on the simple rate L over [s, e] pays N tau max(L - K, 0) at e,
// which is worth at s the amount N (1 + K tau) max(1/(1 + K tau) - P(s, e), 0):
// (1 + K tau) puts on the zero bond from s to e struck at 1/(1 + K tau)
// (Hull & White 1990; Brigo & Mercurio, "Interest Rate Models", 3.3.2).
// A floorlet is the matching call.
#pragma once

#include "market/option_terms.h"

namespace lorvex {

class CapSchedule;
class ZeroCurve;

// Sum over the caplets resetting strictly after t0 of
// N (1 + K tau) ZeroBondOption(t0, start, end, 1/(1 + K tau)), puts for a
// cap (kCall, a call on the rate), calls for a floor (kPut). A caplet already reset at t0 is
// left out. A sigma not above 0 is priced as 1e-6.
// Where 1 + K tau <= 0 the caplet cannot end out of the money (L > -1/tau
// always): the caplet is worth its forward N (P(s) - (1 + K tau) P(e)) and
// the floorlet 0.
double HullWhiteCapValue(int t0, double sigma, double a, OptionType type, const ZeroCurve& curve,
                         const CapSchedule& cap);

}  // namespace lorvex
