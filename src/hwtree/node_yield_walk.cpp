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
  stride_ = static_cast<std::size_t>(tree.MaturityCount(first_));
  int widest = 1;
  for (int i = first_; i <= last; ++i) widest = std::max(widest, tree.LevelNodeCount(i));
  try {
    a_.assign(static_cast<std::size_t>(widest) * stride_, 0.0);
    b_.assign(a_.size(), 0.0);
    tau_.assign(stride_, 0.0);
    own_.Reserve(static_cast<std::size_t>(widest));
  } catch (const std::bad_alloc&) {
    status_ = -1;
  }
}

bool NodeYieldWalk::MoveTo(int i) {
  if (!Accepts(i)) return false;
  while (level_ > i) {
    tree_.LoadLevel(level_ - 1, own_);
    StepDown(own_);
  }
  return true;
}

bool NodeYieldWalk::MoveTo(const LatticeLevel& level) {
  const int i = level.index;
  if (!Accepts(i)) return false;
  if (level_ == i) return true;
  if (!MoveTo(i + 1)) return false;
  StepDown(level);
  return true;
}

void NodeYieldWalk::StepDown(const LatticeLevel& level) {
  const int i = level.index;
  const int last = tree_.levelCount() - 1;
  const double* next = current_;
  double* out = current_ == a_.data() ? b_.data() : a_.data();
  const double t = level.date;
  const double* mat = tree_.MaturityDates(i);
  const int cnt = tree_.MaturityCount(i);
  // The maturities rolled back: those after the level date by a day or
  // more, which the next level lists too. The dates fall from k = 0, so
  // the others (worth 1 here) are the last ones.
  int rolled = i < last ? std::min(cnt, tree_.MaturityCount(i + 1)) : 0;
  while (rolled > 0 && std::fabs(t - mat[rolled - 1]) < 1.0) --rolled;
  const int n = level.count;
  for (int m = 0; m < n; ++m) {
    double* row = out + static_cast<std::size_t>(m) * stride_;
    if (rolled > 0) {
      const double* pMid = next + static_cast<std::size_t>(level.successor[static_cast<std::size_t>(m)]) * stride_;
      const double* pUpRow = pMid + stride_;
      const double* pDownRow = pMid - stride_;
      const double pu = level.pUp[static_cast<std::size_t>(m)];
      const double pd = level.pDown[static_cast<std::size_t>(m)];
      const double pm = level.pMiddle[static_cast<std::size_t>(m)];
      const double disc = level.discount[static_cast<std::size_t>(m)];
      for (int k = 0; k < rolled; ++k) row[k] = disc * (pm * pMid[k] + pu * pUpRow[k] + pd * pDownRow[k]);
    }
    for (int k = rolled; k < cnt; ++k) row[k] = 1.0;
  }
  current_ = out;
  level_ = i;
  for (int k = 0; k < cnt; ++k) tau_[static_cast<std::size_t>(k)] = (mat[k] - t) / 365.0;
}

}  // namespace lorvex
