// European swaptions on the Hull-White tree.
#pragma once

#include "hwtree/hull_white_tree.h"
#include "market/swap_schedule.h"
#include "market/zero_curve.h"
#include "treepricing/tree_market.h"

namespace lorvex {

struct SwapTreeTerms {
  int valuation = 0;       // Julian day t0
  int start = 0;           // swap start: the swaption's exercise date
  int end = 0;             // swap end
  double fixedRate = 0.0;
  double notional = 0.0;
  int perYear = 2;         // payments a year on both legs
  double sigma = 0.0;      // per square-root year; 0 or below is priced with 1e-6
  double meanReversion = 0.0;
  int stepCount = 0;       // steps a year up to the exercise date
  int kind = 0;
};

// Everything a tree swaption builds before its backward induction: the
// swap (receive fixed, pay floating with no spread), the curve with the
// swap's period dates added at the curve's own rates, the one-point model
// lists and the exercise schedule {(start, 0)}.
class SwapTreeSetup : public TreeSetup {
 public:
  // The curve is copied; the copy gains the swap's dates.
  SwapTreeSetup(const SwapTreeTerms& terms, const ZeroCurve& marketCurve);
  // status(): 0; -2 when the swap schedule rejected its terms (payments a
  // year not 1, 2, 4 or 12); -1 when memory ran out.

  // Per-year grid ending at the swap's end; node curves are read on the
  // exercise level.
  TreeBuildArgs Args() const;
  // No payment of either leg falls after the swap's start (a swap that
  // ends before it starts): the swaption is worth 0, and Args() asks for
  // no more than the root's branching.
  bool Worthless() const;

  SwapSchedule swap;
  ZeroCurve exercise;  // (start, 0.0): exercise at the swap start, strike 0

 private:
  SwapTreeTerms terms_;
};

// Backward induction from the exercise level: on the level dated exactly on
// an exercise date the swap is valued off each node's own zero curve
// (fixed minus floating for the payments after that date) and the holder
// takes max(value - K, 0) as a receiver, max(K - value, 0) as a payer, K
// the schedule's value there, when that is strictly more than the
// discounted expected value of the successors. Returns the root's value,
// or 0 when a node's curve cannot be built; 0 too when no level falls on
// the exercise date.
double TreeSwapOptionRollback(const ZeroCurve& exerciseSchedule, bool isPut, const SwapSchedule& swap,
                              const HullWhiteTree& tree);

}  // namespace lorvex
