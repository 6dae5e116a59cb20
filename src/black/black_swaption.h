// European swaption under Black's model: the forward swap rate S of a swap
// starting at expiry is lognormal, and the payoff is carried by the swap's
// annuity (the value of one unit of fixed rate, notional included).
#pragma once

#include "market/option_terms.h"

namespace lorvex {

class SwapSchedule;
class ZeroCurve;

// Value at J of a payer (kCall: a call on the swap rate) or receiver (kPut) swaption expiring
// at E on the swap, struck at the swap's fixed rate K:
//   payer    = Ann (S N(d1) - K N(d2)),  receiver = Ann (K N(-d2) - S N(-d1)),
//   d1 = (ln(S/K) + sigma^2 tau/2) / (sigma sqrt(tau)), tau = (E - J)/365.
// Returns 0 when E <= J or the forward rate is 0 (empty swap, zero fixed
// rate). A negative forward rate is priced as 1e-6; a strike of 0 or below
// makes the payer worth S Ann and the receiver nothing; a volatility not
// above 0 is priced as 1e-6.
double BlackSwaption(int valuationJdn, int expiryJdn, double sigma, OptionType type, const ZeroCurve& curve,
                     const SwapSchedule& swap);

}  // namespace lorvex
