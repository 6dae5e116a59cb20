// Value and sensitivities of a stock option on the binomial tree, read off
// its first three levels.
#pragma once

#include "equity/equity_lattice.h"

namespace lorvex {

class EquityTree;
class ZeroCurve;

struct EquityGreeks {
  double value;  // option value today
  double delta;  // dV/dS from the two nodes one step ahead
  double gamma;  // d2V/dS2 from the three nodes two steps ahead
  double theta;  // per calendar day (the per-year rate divided by 365)
};

// The Greeks from V(k, m) and P(k, m) of levels 0, 1 and 2 (m = 0 lowest):
//   delta = (V11 - V10) / (P11 - P10)
//   gamma = 2 [(V22 - V21)/(P22 - P21) - (V21 - V20)/(P21 - P20)] / (P22 - P20)
//   theta = (V21 - V00) / (2 dt) / 365
// The dividend add-on cancels in each difference, the nodes compared lying on
// one level; V21 sits at the same dividend-free price as the root.
EquityGreeks GreeksFromLevels(double v00, const double v1[2], const double p1[2], const double v2[3],
                              const double p2[3], double dt);

EquityGreeks GreeksFromTree(const EquityTree& tree);

// The same induction as EquityTree with one row of N + 1 values and the
// table of u^j: O(N) memory, and the four numbers GreeksFromTree gives on the
// full tree, bit for bit. Returns 0, or -1 when memory runs out. The terms
// must pass EquityTermsAccepted and give a usable lattice.
int PriceEquityOption(const EquityOptionTerms& terms, const ZeroCurve& dividends,
                      EquityGreeks* greeks);

}  // namespace lorvex
