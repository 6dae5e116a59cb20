#include "treepricing/tree_bond_option.h"

#include <algorithm>

#include "treepricing/node_curve.h"

namespace lorvex {

double TreeBondOptionRollback(const ZeroCurve& exerciseSchedule, bool isAmerican, bool isPut,
                              BondSchedule& bond, HullWhiteTree& tree, bool isClean) {
  NodeCurveBuilder curves(tree);
  if (curves.status() != 0 || tree.status() != 0) return 0.0;
  const int slots = tree.slotCount();
  const int expiry = tree.expiryLevel();
  for (int i = expiry; i >= 0; --i) {
    const double di = tree.LevelDate(i);
    bool exercisable = false;
    double strike = 0.0;
    if (isAmerican) {
      if (!exerciseSchedule.Empty()) {
        exercisable = exerciseSchedule.XAt(1) <= di && di <= exerciseSchedule.XAt(exerciseSchedule.Count());
        strike = exerciseSchedule.YAt(1);
      }
    } else if (const CurvePoint* p = exerciseSchedule.Find(di)) {
      exercisable = true;
      strike = p->y;
    }
    const bool priceBond = exercisable || slots > 1;
    if (priceBond) curves.PrepareLevel(i);
    const int day = static_cast<int>(di);
    const double accrued = exercisable && isClean ? bond.AccruedInterest(di) : 0.0;
    const int nodes = tree.LevelNodeCount(i);
    for (int j = 0; j < nodes; ++j) {
      double exerciseValue = 0.0;
      if (priceBond) {
        const ZeroCurve* curve = curves.Build(j);
        if (curve == nullptr) return 0.0;
        double price = bond.ForwardPrice(day, day, *curve);
        if (slots > 1) tree.SetNodeValue(i, j, 1, price);
        if (exercisable) {
          if (isClean) price -= accrued;
          exerciseValue = isPut ? std::max(strike - price, 0.0) : std::max(price - strike, 0.0);
        }
      }
      const double continuation = i < expiry ? tree.Rollback(i, j, 0) : 0.0;
      if (slots > 2) {
        tree.SetNodeValue(i, j, 2, exerciseValue > continuation && exerciseValue > 0.0 ? 1.0 : -1.0);
      }
      // A tie keeps the continuation value.
      tree.SetNodeValue(i, j, 0, exerciseValue > continuation ? exerciseValue : continuation);
    }
  }
  return tree.NodeValue(0, 0, 0);
}

}  // namespace lorvex
