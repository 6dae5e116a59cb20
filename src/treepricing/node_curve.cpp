#include "treepricing/node_curve.h"

#include <algorithm>
#include <cmath>
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
    terms_.resize(widest);
    termsReady_.resize(widest);
    marked_.resize(widest);
    needed_.reserve(widest);
    neededSource_.reserve(widest);
    neededTau_.reserve(widest);
    loaded_.resize(widest);
    if (tree.kind() != 0 && tree.firstYieldLevel() <= tree.expiryLevel()) {
      walk_ = std::make_unique<NodeYieldWalk>(tree);
      if (walk_->status() != 0) status_ = -1;
    }
  } catch (const std::bad_alloc&) {
    status_ = -1;
  }
  if (curve_.status() != 0) status_ = -1;
}

bool NodeCurves::PrepareLevel(const LatticeLevel& level) {
  if (status_ != 0) return false;
  const int i = level.index;
  const bool normal = tree_.kind() == 0;
  if (!normal && (walk_ == nullptr || i < tree_.firstYieldLevel() || !walk_->MoveTo(level))) return false;
  level_ = &level;
  if (normal) levelTenor_ = tree_.LevelTenorTerms(i);
  const int cnt = tree_.MaturityCount(i);
  const double* mat = tree_.MaturityDates(i);  // latest first
  const double nextDate = level.nextDate;
  for (int p : needed_) marked_[static_cast<std::size_t>(p)] = 0;
  needed_.clear();
  neededSource_.clear();
  neededTau_.clear();
  std::fill(termsReady_.begin(), termsReady_.end(), 0);
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
  return true;
}

const HullWhiteTree::TenorTerms& NodeCurves::PointTerms(int p) {
  const auto pi = static_cast<std::size_t>(p);
  if (!termsReady_[pi]) {
    terms_[pi] = tree_.TenorRateTerms(levelTenor_, dates_[pi] - level_->date);
    termsReady_[pi] = 1;
  }
  return terms_[pi];
}

NodeCurves::Read NodeCurves::Place(double date) {
  Read r;
  const auto n = static_cast<int>(dates_.size());
  if (date < dates_.front()) {
    r.p0 = 0;
  } else if (!(date < dates_.back())) {
    r.p0 = n - 1;
  } else {
    const auto hi = static_cast<int>(std::upper_bound(dates_.begin(), dates_.end(), date) - dates_.begin());
    r.p0 = hi - 1;
    r.p1 = hi;
    r.c1 = date - dates_[static_cast<std::size_t>(r.p0)];
    r.c2 = dates_[static_cast<std::size_t>(r.p1)] - dates_[static_cast<std::size_t>(r.p0)];
  }
  for (int p : {r.p0, r.p1}) {
    if (p >= 0 && !marked_[static_cast<std::size_t>(p)]) {
      marked_[static_cast<std::size_t>(p)] = 1;
      needed_.push_back(p);
      if (tree_.kind() == 0) {
        PointTerms(p);
      } else {
        const int src = source_[static_cast<std::size_t>(p)];
        neededSource_.push_back(src);
        neededTau_.push_back(src < 0 ? 0.0 : walk_->Tau(src));
      }
    }
  }
  return r;
}

void NodeCurves::LoadNode(int j) {
  const std::size_t n = needed_.size();
  if (tree_.kind() == 0) {
    for (std::size_t k = 0; k < n; ++k) loaded_[static_cast<std::size_t>(needed_[k])] = PointRate(j, needed_[k]);
    return;
  }
  // NodeYieldWalk::Yield for each marked point, the next date reading the
  // node rate.
  const double r = level_->rate[static_cast<std::size_t>(j)];
  const double* prices = walk_->Prices(j);
  for (std::size_t k = 0; k < n; ++k) {
    const int src = neededSource_[k];
    const double tau = neededTau_[k];
    double y = r;
    if (src >= 0) y = tau > 0.0 ? -std::log(prices[src]) / tau : (src >= 1 ? r : 0.0);
    loaded_[static_cast<std::size_t>(needed_[k])] = y;
  }
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
