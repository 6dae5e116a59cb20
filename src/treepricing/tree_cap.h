// Caps and floors on the Hull-White tree, and the tree set-up they share
// with the cap's rate delta.
#pragma once

#include "hwtree/hull_white_tree.h"
#include "market/cap_schedule.h"
#include "market/zero_curve.h"
#include "treepricing/tree_market.h"

namespace lorvex {

// Steps a year of a cap's tree: the step parameter over a time in years,
// rounded half up, kept within 1 .. 20. A quotient with no integer value
// (a time of 0 makes it infinite or undefined) gives 1 step a year, as
// does any quotient beyond the integers.
int CapTreeStepCount(int stepParameter, double years);

struct CapTreeTerms {
  int valuation = 0;      // Julian day t0
  int start = 0;          // first reset date
  int end = 0;            // last payment date: the tree's end
  double capRate = 0.0;
  double notional = 0.0;
  int perYear = 4;        // payments a year
  double sigma = 0.0;     // per square-root year; 0 or below is priced with 1e-6
  double meanReversion = 0.0;
  int stepCount = 1;      // steps a year up to the last reset
  int kind = 0;
  // The pricer adds the caplets' dates to the curve (at the curve's own
  // rates) so that they become level dates and node maturities; the rate
  // delta only needs the grid and leaves the curve alone.
  bool addCapletDatesToCurve = true;
  // Node curves are read from the first reset on; false: none at all,
  // nothing is priced (the rate spacing), the lattice stops at level 1.
  bool nodeYields = true;
};

// The cap (caplets laid back from the end), its reset schedule {(start of
// every caplet, 0)}, which is the tree's exercise list, and the one-point
// model lists.
class CapTreeSetup : public TreeSetup {
 public:
  // The curve is copied; the copy gains the caplets' dates.
  CapTreeSetup(const CapTreeTerms& terms, const ZeroCurve& marketCurve);
  // status(): 0; -3 when the cap schedule rejected its terms, has no
  // caplet or its reset list could not be built; -1 when memory ran out
  // otherwise.

  // Per-year grid ending at the cap's end.
  TreeBuildArgs Args() const;

  CapSchedule cap;
  ZeroCurve resets;

 private:
  CapTreeTerms terms_;
};

// Backward induction from the last reset level to the root. On a level
// whose whole day is a caplet's reset date each node pays the caplet off
// its own zero curve, max(p, 0) for a cap and max(-p, 0) for a floor with
// p = CapletPayoff at the level date, and adds it to the discounted
// expected value of its successors (the later caplets carried back).
// Returns the root's value, or 0 when a node's curve cannot be built.
double TreeCapRollback(bool isFloor, const CapSchedule& cap, const HullWhiteTree& tree);

}  // namespace lorvex
