#include "treepricing/node_curve.h"

#include <algorithm>
#include <new>

namespace lorvex {

NodeCurves::NodeCurves(const HullWhiteTree& tree) : tree_(tree) {
  if (tree.status() != 0 || tree.levelCount() == 0) {
    status_ = -1;
    return;
  }
  // Level 0 lists every maturity; later levels list fewer.
  const auto widest = static_cast<std::size_t>(tree.MaturityCount(0)) + 1;
  try {
    curve_.Reserve(widest);
    dates_.reserve(widest);
    source_.reserve(widest);
    terms_.reserve(widest);
    if (tree.kind() != 0 && tree.firstYieldLevel() <= tree.expiryLevel()) {
      walk_ = std::make_unique<NodeYieldWalk>(tree);
      if (walk_->status() != 0) status_ = -1;
    }
  } catch (const std::bad_alloc&) {
    status_ = -1;
  }
  if (curve_.status() != 0) status_ = -1;
}

bool NodeCurves::PrepareLevel(int i) {
  if (status_ != 0) return false;
  const bool normal = tree_.kind() == 0;
  if (!normal && (walk_ == nullptr || i < tree_.firstYieldLevel() || !walk_->MoveTo(i))) return false;
  const int cnt = tree_.MaturityCount(i);
  const double* mat = tree_.MaturityDates(i);  // latest first
  const double levelDate = tree_.LevelDate(i);
  const double nextDate = tree_.LevelDate(i + 1);
  rate_ = tree_.LevelRates(i);
  nodeCount_ = tree_.LevelNodeCount(i);
  dates_.clear();
  source_.clear();
  // Ascending: the maturities from the earliest, the next level's date in
  // its place unless it is a maturity itself.
  bool nextPlaced = std::find(mat, mat + cnt, nextDate) != mat + cnt;
  for (int k = cnt - 1; k >= 0; --k) {
    if (!nextPlaced && nextDate < mat[k]) {
      dates_.push_back(nextDate);
      source_.push_back(-1);
      nextPlaced = true;
    }
    dates_.push_back(mat[k]);
    source_.push_back(k);
  }
  if (!nextPlaced) {
    dates_.push_back(nextDate);
    source_.push_back(-1);
  }
  if (normal) {
    terms_.clear();
    for (double d : dates_) terms_.push_back(tree_.TenorRateTerms(i, d - levelDate));
  }
  return true;
}

const ZeroCurve* NodeCurves::Build(int j) {
  curve_.Clear();
  const int n = PointCount();
  for (int p = 0; p < n; ++p) {
    if (curve_.Insert(dates_[static_cast<std::size_t>(p)], PointRate(j, p)) != 0) return nullptr;
  }
  return &curve_;
}

}  // namespace lorvex
