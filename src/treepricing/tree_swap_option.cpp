#include "treepricing/tree_swap_option.h"

#include <algorithm>
#include <limits>

#include "treepricing/node_curve.h"
#include "treepricing/tree_rollback.h"

namespace lorvex {

SwapTreeSetup::SwapTreeSetup(const SwapTreeTerms& terms, const ZeroCurve& marketCurve)
    : TreeSetup(marketCurve, terms.valuation, terms.sigma, terms.meanReversion),
      swap(terms.notional, terms.fixedRate, 0.0, terms.start, terms.end, terms.perYear, terms.perYear),
      terms_(terms) {
  if (swap.status() != 0) {
    Fail(-2);
    return;
  }
  // The swap's period dates become points of the curve, at the curve's own
  // rates, so that the tree places levels (and node maturities) on them.
  AddPeriodDates(swap.FixedPeriods(), swap.FloatingPeriods());
  exercise.Insert(terms.start, 0.0);
  CheckLists(exercise);
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

bool SwapTreeSetup::Worthless() const {
  auto paysAfterStart = [this](const auto& p) { return p.end > terms_.start; };
  return std::none_of(swap.FixedPeriods().begin(), swap.FixedPeriods().end(), paysAfterStart) &&
         std::none_of(swap.FloatingPeriods().begin(), swap.FloatingPeriods().end(), paysAfterStart);
}

namespace {

// Exercised on the level dated exactly on an exercise date: the swap's
// value off each node's curve against the strike.
class SwaptionOnTree : public TreeInstrument {
 public:
  SwaptionOnTree(const ZeroCurve& exercise, bool isPut, const SwapSchedule& swap, const HullWhiteTree& tree)
      : exercise_(exercise), isPut_(isPut), swap_(swap), curves_(tree) {}
  bool usable() const { return curves_.status() == 0; }

  bool AdjustValues(const LatticeLevel& level, double* values) override {
    const CurvePoint* point = exercise_.Find(level.date);
    if (point == nullptr) return true;
    if (!curves_.PrepareLevel(level)) return false;
    // An exercise date is a caller's whole day, so the level date is one.
    const int day = static_cast<int>(level.date);
    for (int j = 0; j < level.count; ++j) {
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
  NodeCurves curves_;
};

}  // namespace

double TreeSwapOptionRollback(const ZeroCurve& exerciseSchedule, bool isPut, const SwapSchedule& swap,
                              const HullWhiteTree& tree) {
  if (tree.status() != 0) return 0.0;
  SwaptionOnTree option(exerciseSchedule, isPut, swap, tree);
  if (!option.usable()) return 0.0;
  return RollBack(tree, option);
}

}  // namespace lorvex
