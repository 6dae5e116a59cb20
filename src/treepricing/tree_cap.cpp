#include "treepricing/tree_cap.h"

#include <cmath>
#include <limits>

#include "treepricing/node_curve.h"
#include "treepricing/tree_rollback.h"

namespace lorvex {

int CapTreeStepCount(int stepParameter, double years) {
  const double rounded = std::trunc(static_cast<double>(stepParameter) / years + 0.5);
  // Converting a value beyond the integers (or a NaN) to an integer has no
  // defined result in C++; the step count it stood for is the lower clamp.
  if (!(rounded >= 1.0) || !(rounded < 2147483648.0)) return 1;
  return rounded > 20.0 ? 20 : static_cast<int>(rounded);
}

CapTreeSetup::CapTreeSetup(const CapTreeTerms& terms, const ZeroCurve& marketCurve)
    : TreeSetup(marketCurve, terms.valuation, terms.sigma, terms.meanReversion),
      cap(terms.notional, terms.capRate, terms.start, terms.end, terms.perYear, 0.0),
      terms_(terms) {
  if (cap.status() != 0) {
    Fail(-3);
    return;
  }
  if (terms.addCapletDatesToCurve) {
    AddPeriodDates(cap.Caplets());
    if (status() != 0) return;
  }
  // An empty cap has no reset dates and reports it here, as does a reset
  // list that could not be built.
  cap.CapResetSchedule(resets);
  if (cap.status() != 0) {
    Fail(-3);
    return;
  }
  CheckLists(resets);
}

TreeBuildArgs CapTreeSetup::Args() const {
  TreeBuildArgs args =
      TreeArgsOnMarket(terms_.kind, terms_.stepCount, terms_.valuation, terms_.end, resets, curve, lists);
  // Node curves are read from the first reset on; the rate spacing reads
  // none (and only the first levels).
  const bool priced = terms_.nodeYields && !resets.Empty();
  args.yieldsFromDate = priced ? resets.XAt(1) : std::numeric_limits<double>::infinity();
  return args;
}

namespace {

// On a level whose whole day is a caplet's reset date each node adds the
// caplet's payoff off its own curve to the later caplets carried back.
class CapOnTree : public TreeInstrument {
 public:
  CapOnTree(bool isFloor, const CapSchedule& cap, const HullWhiteTree& tree)
      : isFloor_(isFloor), cap_(cap), curves_(tree) {}
  bool usable() const { return curves_.status() == 0; }

  bool AdjustValues(const LatticeLevel& level, double* values) override {
    const double di = level.date;
    // A caplet settles on the level of its reset day; a level on the last
    // caplet's end, or inside a caplet, is no reset level.
    const int day = static_cast<int>(std::trunc(di));
    const int k = cap_.CapletIndexAt(day);
    if (k < 0 || day != cap_[k].start) return true;
    if (!curves_.PrepareLevel(level)) return false;
    const CapletPeriod& c = cap_[k];
    const NodeCurves::Read atStart = curves_.Place(c.start);
    const NodeCurves::Read atEnd = curves_.Place(c.end);
    for (int j = 0; j < level.count; ++j) {
      curves_.LoadNode(j);
      const double p = cap_.CapletPayoffFromDiscounts(k, curves_.Discount(atStart, di, c.start),
                                                      curves_.Discount(atEnd, di, c.end));
      const double payoff = isFloor_ ? (p < 0.0 ? -p : 0.0) : (p > 0.0 ? p : 0.0);
      values[j] = values[j] + payoff;
    }
    return true;
  }

 private:
  bool isFloor_;
  const CapSchedule& cap_;
  NodeCurves curves_;
};

}  // namespace

double TreeCapRollback(bool isFloor, const CapSchedule& cap, const HullWhiteTree& tree) {
  if (tree.status() != 0) return 0.0;
  CapOnTree option(isFloor, cap, tree);
  if (!option.usable()) return 0.0;
  return RollBack(tree, option);
}

}  // namespace lorvex
