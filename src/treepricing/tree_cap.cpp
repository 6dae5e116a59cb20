#include "treepricing/tree_cap.h"

#include <cmath>
#include <limits>
#include <new>
#include <vector>

#include "treepricing/node_curve.h"

namespace lorvex {

int CapTreeStepCount(int stepParameter, double years) {
  const double rounded = std::trunc(static_cast<double>(stepParameter) / years + 0.5);
  // Converting a value beyond the integers (or a NaN) to an integer has no
  // defined result in C++; the step count it stood for is the lower clamp.
  if (!(rounded >= 1.0) || !(rounded < 2147483648.0)) return 1;
  return rounded > 20.0 ? 20 : static_cast<int>(rounded);
}

CapTreeSetup::CapTreeSetup(const CapTreeTerms& terms, ZeroCurve& curve)
    : cap(terms.notional, terms.capRate, terms.start, terms.end, terms.perYear, 0.0),
      lists(MakeTreeModelLists(terms.valuation, terms.sigma, terms.meanReversion)),
      terms_(terms),
      curve_(curve) {
  if (cap.status() != 0) {
    status_ = -3;
    return;
  }
  if (terms.addCapletDatesToCurve) {
    std::vector<double> dates;
    try {
      dates.reserve(2 * static_cast<std::size_t>(cap.Count()));
    } catch (const std::bad_alloc&) {
      status_ = -1;
      return;
    }
    for (const CapletPeriod& c : cap.Caplets()) {
      dates.push_back(c.start);
      dates.push_back(c.end);
    }
    if (InsertDatesAtCurveRates(curve, dates) != 0) {
      status_ = -1;
      return;
    }
  }
  // An empty cap has no reset dates and reports it here, as does a reset
  // list that could not be built.
  cap.CapResetSchedule(resets);
  if (cap.status() != 0) {
    status_ = -3;
    return;
  }
  if (lists.status() != 0) {
    status_ = -1;
  }
}

TreeBuildArgs CapTreeSetup::Args() const {
  TreeBuildArgs args =
      TreeArgsOnMarket(terms_.kind, terms_.stepCount, terms_.valuation, terms_.end, resets, curve_, lists);
  const bool yields = terms_.nodeYields && terms_.kind != 0 && !resets.Empty();
  args.yieldsFromDate = yields ? resets.XAt(1) : std::numeric_limits<double>::infinity();
  return args;
}

double TreeCapRollback(bool isFloor, const CapSchedule& cap, HullWhiteTree& tree) {
  NodeCurveBuilder curves(tree);
  if (curves.status() != 0 || tree.status() != 0) return 0.0;
  const int expiry = tree.expiryLevel();
  for (int i = expiry; i >= 0; --i) {
    const double di = tree.LevelDate(i);
    // A caplet settles on the level of its reset day; a level on the last
    // caplet's end, or inside a caplet, is no reset level.
    const int day = static_cast<int>(std::trunc(di));
    const int k = cap.CapletIndexAt(day);
    const bool reset = k >= 0 && day == cap[k].start;
    if (reset) curves.PrepareLevel(i);
    const int nodes = tree.LevelNodeCount(i);
    for (int j = 0; j < nodes; ++j) {
      double payoff = 0.0;
      if (reset) {
        const ZeroCurve* curve = curves.Build(j);
        if (curve == nullptr) return 0.0;
        const double p = cap.CapletPayoff(k, di, *curve);
        payoff = isFloor ? (p < 0.0 ? -p : 0.0) : (p > 0.0 ? p : 0.0);
      }
      const double continuation = i < expiry ? tree.Rollback(i, j, 0) : 0.0;
      tree.SetNodeValue(i, j, 0, continuation + payoff);
    }
  }
  return tree.NodeValue(0, 0, 0);
}

}  // namespace lorvex
