#include "treepricing/tree_swap_option.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "treepricing/node_curve.h"
#include "treepricing/tree_rollback.h"

namespace lorvex {

SwapTreeSetup::SwapTreeSetup(const SwapTreeTerms& terms, const ZeroCurve& marketCurve)
    : curve(marketCurve),
      swap(terms.notional, terms.fixedRate, 0.0, terms.start, terms.end, terms.perYear, terms.perYear),
      lists(MakeTreeModelLists(terms.valuation, terms.sigma, terms.meanReversion)),
      terms_(terms) {
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
      TreeArgsOnMarket(terms_.kind, terms_.stepCount, terms_.valuation, terms_.end, exercise, curve, lists);
  // Node curves are read on the exercise level only. A swap with nothing
  // paid after its start is worth 0 whatever the rates: no level is read,
  // and the lattice stops at its second level.
  args.yieldsFromDate = Worthless() ? std::numeric_limits<double>::infinity() : terms_.start;
  return args;
}

namespace {

// Exercised on the level dated exactly on an exercise date: the swap's
// value off each node's curve against the strike.
class SwaptionOnTree : public TreeInstrument {
 public:
  SwaptionOnTree(const ZeroCurve& exercise, bool isPut, const SwapSchedule& swap, const HullWhiteTree& tree)
      : exercise_(exercise), isPut_(isPut), swap_(swap), tree_(tree), curves_(tree) {}
  bool usable() const { return curves_.status() == 0; }

  bool AdjustValues(int i, double* values) override {
    const double di = tree_.LevelDate(i);
    const CurvePoint* point = exercise_.Find(di);
    if (point == nullptr) return true;
    if (!curves_.PrepareLevel(i)) return false;
    // An exercise date is a caller's whole day, so the level date is one.
    const int day = static_cast<int>(di);
    const int nodes = tree_.LevelNodeCount(i);
    for (int j = 0; j < nodes; ++j) {
      const ZeroCurve* curve = curves_.Build(j);
      if (curve == nullptr) return false;
      const double value = swap_.SwapValue(0, day, day, *curve);
      const double exerciseValue = isPut_ ? std::max(point->y - value, 0.0) : std::max(value - point->y, 0.0);
      // A tie keeps the continuation value.
      if (exerciseValue > values[j]) values[j] = exerciseValue;
    }
    return true;
  }

 private:
  const ZeroCurve& exercise_;
  bool isPut_;
  const SwapSchedule& swap_;
  const HullWhiteTree& tree_;
  NodeCurves curves_;
};

}  // namespace

bool SwapTreeSetup::Worthless() const {
  for (const FixedPeriod& p : swap.FixedPeriods()) {
    if (p.end > terms_.start) return false;
  }
  for (const FloatingPeriod& p : swap.FloatingPeriods()) {
    if (p.end > terms_.start) return false;
  }
  return true;
}

double TreeSwapOptionRollback(const ZeroCurve& exerciseSchedule, bool isPut, const SwapSchedule& swap,
                              const HullWhiteTree& tree) {
  if (tree.status() != 0) return 0.0;
  SwaptionOnTree option(exerciseSchedule, isPut, swap, tree);
  if (!option.usable()) return 0.0;
  return RollBack(tree, option);
}

}  // namespace lorvex
