#include "treepricing/tree_bond_option.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "treepricing/bond_node_prices.h"
#include "treepricing/node_curve.h"
#include "treepricing/tree_rollback.h"

namespace lorvex {

void TreeNodeSlots::Reset(const HullWhiteTree& tree) {
  const int levels = tree.expiryLevel() + 1;
  begin_.assign(static_cast<std::size_t>(levels), 0);
  std::size_t total = 0;
  for (int i = 0; i < levels; ++i) {
    begin_[static_cast<std::size_t>(i)] = total;
    total += static_cast<std::size_t>(tree.LevelNodeCount(i)) * kSlots;
  }
  values_.assign(total, 0.0);
}

namespace {

// On an exercise level each node compares the bond's value off its own
// curve, less the strike, with holding on.
class BondOptionOnTree : public TreeInstrument {
 public:
  BondOptionOnTree(const ZeroCurve& exercise, bool isAmerican, bool isPut, const BondSchedule& bond,
                   const HullWhiteTree& tree, bool isClean, TreeNodeSlots* slots)
      : exercise_(exercise),
        isAmerican_(isAmerican),
        isPut_(isPut),
        isClean_(isClean),
        bond_(bond),
        curves_(tree),
        prices_(bond, curves_),
        slots_(slots),
        price_(static_cast<std::size_t>(tree.MaxNodeCount())) {}

  bool usable() const { return curves_.status() == 0; }

  bool AdjustValues(const LatticeLevel& level, double* values) override {
    const double di = level.date;
    bool exercisable = false;
    double strike = 0.0;
    if (isAmerican_) {
      if (!exercise_.Empty()) {
        exercisable = exercise_.XAt(1) <= di && di <= exercise_.XAt(exercise_.Count());
        strike = exercise_.YAt(1);
      }
    } else if (const CurvePoint* p = exercise_.Find(di)) {
      exercisable = true;
      strike = p->y;
    }
    const bool priceBond = exercisable || slots_ != nullptr;
    if (!priceBond) return true;
    if (!curves_.PrepareLevel(level)) return false;
    prices_.PrepareLevel(static_cast<int>(di));
    const double accrued = exercisable && isClean_ ? bond_.AccruedInterest(di) : 0.0;
    if (slots_ == nullptr && prices_.PriceNodesAlone()) {
      // A node whose exercise value cannot beat holding on, by a bound of
      // the bond's price (from above for a call, below for a put), keeps
      // holding on and needs no price; so does a node out of the lattice's
      // reach, where exercising is worth nothing today.
      const bool bounded = exercisable && prices_.Bounded();
      for (int j = level.reachFrom; j < level.reachTo; ++j) {
        if (bounded) {
          const double bound = prices_.Bound(j, !isPut_);
          const double most = isPut_ ? strike - (bound - accrued) : (bound - accrued) - strike;
          const double slack = 1e-12 * (std::fabs(bound) + std::fabs(accrued) + std::fabs(strike));
          if (std::max(most + slack, 0.0) <= values[j]) continue;
        }
        Exercise(values[j], prices_.PriceNode(j), exercisable, strike, accrued);
      }
      return true;
    }
    if (slots_ == nullptr && exercisable && prices_.Falling()) {
      // Only the nodes whose exercise value can be above 0 need a price: a
      // call's from the lowest node (the highest price) up, a put's from the
      // highest down, until a price leaves no exercise value below it.
      auto mayPay = [&](double price) {
        const double most = isPut_ ? strike - (price - accrued) : (price - accrued) - strike;
        return most + 1e-9 * (std::fabs(price) + std::fabs(accrued) + std::fabs(strike)) > 0.0;
      };
      const auto [from, to] = prices_.PriceLevelWhile(price_.data(), isPut_, mayPay);
      for (int j = 0; j < level.count; ++j) {
        if (j >= from && j < to) {
          Exercise(values[j], price_[static_cast<std::size_t>(j)], exercisable, strike, accrued);
        } else if (0.0 > values[j]) {
          values[j] = 0.0;  // an exercise value of 0 against holding on
        }
      }
      return true;
    }
    prices_.PriceLevel(price_.data());
    const int i = level.index;
    for (int j = 0; j < level.count; ++j) {
      const double price = price_[static_cast<std::size_t>(j)];
      const double continuation = values[j];
      const double exerciseValue = Exercise(values[j], price, exercisable, strike, accrued);
      if (slots_ != nullptr) {
        slots_->SetNodeValue(i, j, 1, price);
        slots_->SetNodeValue(i, j, 2, exerciseValue > continuation && exerciseValue > 0.0 ? 1.0 : -1.0);
        slots_->SetNodeValue(i, j, 0, values[j]);
      }
    }
    return true;
  }

 private:
  // The node's value: its exercise value when exercisable and strictly
  // above holding on (a tie holds); returns the exercise value (0 when not
  // exercisable).
  double Exercise(double& value, double price, bool exercisable, double strike, double accrued) const {
    if (!exercisable) return 0.0;
    if (isClean_) price -= accrued;
    const double exerciseValue = isPut_ ? std::max(strike - price, 0.0) : std::max(price - strike, 0.0);
    if (exerciseValue > value) value = exerciseValue;
    return exerciseValue;
  }

  const ZeroCurve& exercise_;
  bool isAmerican_;
  bool isPut_;
  bool isClean_;
  const BondSchedule& bond_;
  NodeCurves curves_;
  BondNodePrices prices_;
  TreeNodeSlots* slots_;
  std::vector<double> price_;  // the bond at each node of the level
};

}  // namespace

double TreeBondOptionRollback(const ZeroCurve& exerciseSchedule, bool isAmerican, bool isPut,
                              BondSchedule& bond, const HullWhiteTree& tree, bool isClean,
                              TreeNodeSlots* slots) {
  if (tree.status() != 0) return 0.0;
  if (slots != nullptr) slots->Reset(tree);
  BondOptionOnTree option(exerciseSchedule, isAmerican, isPut, bond, tree, isClean, slots);
  if (!option.usable()) return 0.0;
  return RollBack(tree, option);
}

}  // namespace lorvex
