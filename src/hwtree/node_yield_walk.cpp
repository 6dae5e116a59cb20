#include "hwtree/node_yield_walk.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace lorvex {

NodeYieldWalk::NodeYieldWalk(const HullWhiteTree& tree) : tree_(tree) {
  const int last = tree.levelCount() - 1;
  level_ = tree.levelCount();
  if (tree.status() != 0 || last < 0 || tree.lastBuiltLevel() != last) {
    status_ = -1;
    return;
  }
  first_ = tree.firstYieldLevel() <= last ? tree.firstYieldLevel() : last;
  const int first = first_;
  stride_ = static_cast<std::size_t>(tree.MaturityCount(first));
  int widest = 1;
  for (int i = first; i <= last; ++i) widest = std::max(widest, tree.LevelNodeCount(i));
  try {
    a_.assign(static_cast<std::size_t>(widest) * stride_, 0.0);
    tau_.assign(stride_, 0.0);
    b_.assign(a_.size(), 0.0);
  } catch (const std::bad_alloc&) {
    status_ = -1;
  }
}

bool NodeYieldWalk::MoveTo(int i) {
  if (status_ != 0 || i < first_ || i > level_) return false;
  while (level_ > i) StepDown();
  return true;
}

void NodeYieldWalk::StepDown() {
  const int i = level_ - 1;
  const int last = tree_.levelCount() - 1;
  const double* next = current_;
  double* out = current_ == a_.data() ? b_.data() : a_.data();
  const double t = tree_.LevelDate(i);
  const double* mat = tree_.MaturityDates(i);
  const int cnt = tree_.MaturityCount(i);
  const int nextCount = i < last ? tree_.MaturityCount(i + 1) : 0;
  const int n = tree_.LevelNodeCount(i);
  for (int m = 0; m < n; ++m) {
    double* row = out + static_cast<std::size_t>(m) * stride_;
    if (i == last) {
      for (int k = 0; k < cnt; ++k) row[k] = 1.0;
      continue;
    }
    const HullWhiteTree::NodeBranch b = tree_.Branching(i, m);
    const double* pMid = next + static_cast<std::size_t>(b.successor) * stride_;
    const double* pUpRow = pMid + stride_;
    const double* pDownRow = pMid - stride_;
    const double pu = b.pUp;
    const double pd = b.pDown;
    const double pm = 1.0 - pu - pd;
    const double disc = tree_.StepDiscount(i, m);
    for (int k = 0; k < cnt; ++k) {
      // A maturity past the level date is a later level's date, so the
      // next level lists it (k < nextCount) whenever it is read.
      if (std::fabs(t - mat[k]) < 1.0 || k >= nextCount) {
        row[k] = 1.0;
      } else {
        row[k] = disc * (pm * pMid[k] + pu * pUpRow[k] + pd * pDownRow[k]);
      }
    }
  }
  current_ = out;
  level_ = i;
  for (int k = 0; k < cnt; ++k) tau_[static_cast<std::size_t>(k)] = (mat[k] - t) / 365.0;
}

}  // namespace lorvex
