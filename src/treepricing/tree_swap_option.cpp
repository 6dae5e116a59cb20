#include "treepricing/tree_swap_option.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "treepricing/node_curve.h"

namespace lorvex {

SwapTreeSetup::SwapTreeSetup(const SwapTreeTerms& terms, ZeroCurve& curve)
    : swap(terms.notional, terms.fixedRate, 0.0, terms.start, terms.end, terms.perYear, terms.perYear),
      lists(MakeTreeModelLists(terms.valuation, terms.sigma, terms.meanReversion)),
      terms_(terms),
      curve_(curve) {
  if (swap.status() != 0) {
    status_ = -2;
    return;
  }
  // The swap's period dates become points of the curve, at the curve's own
  // rates, so that the tree places levels (and node maturities) on them.
  std::vector<double> dates;
  try {
    dates.reserve(2 * static_cast<std::size_t>(swap.FixedCount() + swap.FloatingCount()));
  } catch (const std::bad_alloc&) {
    status_ = -1;
    return;
  }
  for (const FixedPeriod& p : swap.FixedPeriods()) {
    dates.push_back(p.start);
    dates.push_back(p.end);
  }
  for (const FloatingPeriod& p : swap.FloatingPeriods()) {
    dates.push_back(p.start);
    dates.push_back(p.end);
  }
  if (InsertDatesAtCurveRates(curve, dates) != 0) status_ = -1;
  exercise.Insert(terms.start, 0.0);
  if (exercise.status() != 0 || lists.status() != 0) {
    status_ = -1;
  }
}

TreeBuildArgs SwapTreeSetup::Args() const {
  TreeBuildArgs args =
      TreeArgsOnMarket(terms_.kind, terms_.stepCount, terms_.valuation, terms_.end, exercise, curve_, lists);
  args.yieldsFromDate = terms_.kind == 0 ? std::numeric_limits<double>::infinity() : terms_.start;
  return args;
}

double TreeSwapOptionRollback(const ZeroCurve& exerciseSchedule, bool isPut, const SwapSchedule& swap,
                              HullWhiteTree& tree) {
  NodeCurveBuilder curves(tree);
  if (curves.status() != 0 || tree.status() != 0) return 0.0;
  const int expiry = tree.expiryLevel();
  for (int i = expiry; i >= 0; --i) {
    const double di = tree.LevelDate(i);
    const CurvePoint* point = exerciseSchedule.Find(di);
    const bool exercisable = point != nullptr;
    const double strike = exercisable ? point->y : 0.0;
    if (exercisable) curves.PrepareLevel(i);
    // An exercise date is a caller's whole day, so the level date is one.
    const int day = static_cast<int>(di);
    const int nodes = tree.LevelNodeCount(i);
    for (int j = 0; j < nodes; ++j) {
      double exerciseValue = 0.0;
      if (exercisable) {
        const ZeroCurve* curve = curves.Build(j);
        if (curve == nullptr) return 0.0;
        const double value = swap.SwapValue(0, day, day, *curve);
        exerciseValue = isPut ? std::max(strike - value, 0.0) : std::max(value - strike, 0.0);
      }
      const double continuation = i < expiry ? tree.Rollback(i, j, 0) : 0.0;
      // A tie keeps the continuation value.
      tree.SetNodeValue(i, j, 0, exerciseValue > continuation ? exerciseValue : continuation);
    }
  }
  return tree.NodeValue(0, 0, 0);
}

}  // namespace lorvex
