#include "treepricing/tree_rollback.h"

#include <vector>

namespace lorvex {

double RollBack(const HullWhiteTree& tree, TreeInstrument& instrument) {
  if (tree.status() != 0 || tree.levelCount() == 0) return 0.0;
  const int expiry = tree.expiryLevel();
  if (expiry > tree.lastBuiltLevel()) return 0.0;
  const auto width = static_cast<std::size_t>(tree.MaxNodeCount());
  std::vector<double> values(width, 0.0);
  std::vector<double> next(width, 0.0);
  LatticeLevel level;
  level.Reserve(width);
  for (int i = expiry; i >= 0; --i) {
    tree.LoadLevel(i, level);
    if (i < expiry) RollbackLevel(level, next.data(), values.data());
    if (!instrument.AdjustValues(level, values.data())) return 0.0;
    values.swap(next);
  }
  return next[0];
}

}  // namespace lorvex
