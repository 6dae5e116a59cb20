// The zero curve seen from one node of the Hull-White tree, on which the
// tree pricers value a bond, a swap's legs or a caplet at that node.
//
// Its points are the level's maturity dates with the node's zero yields,
// plus the next level's date with the node's one-step rate (a maturity on
// that date keeps its yield). On the normal tree (kind 0) every rate is
// replaced by the closed-form zero rate implied by the node's short rate
// (HullWhiteTree::TenorRate), so only the dates come from the maturity
// list; on the other kinds the yields come from a NodeYieldWalk that
// follows the pricer down the levels.
//
// Made once per backward induction: the points of a level (dates, where
// each rate comes from, the tenor factors) are laid out once per level,
// and a node's rates cost a few operations per point. Nothing allocates
// per node.
#pragma once

#include <memory>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "hwtree/node_yield_walk.h"
#include "market/zero_curve.h"

namespace lorvex {

class NodeCurves {
 public:
  explicit NodeCurves(const HullWhiteTree& tree);
  int status() const { return status_; }

  // Lays out level i's points; levels are prepared in decreasing order.
  // False when the level has no node yields (the tree was not told it is
  // read).
  bool PrepareLevel(int i);

  // The prepared level's points, ascending in date.
  int PointCount() const { return static_cast<int>(dates_.size()); }
  const std::vector<double>& PointDates() const { return dates_; }
  // The rate of point p on node j's curve.
  double PointRate(int j, int p) const {
    const int src = source_[static_cast<std::size_t>(p)];
    if (tree_.kind() == 0) return HullWhiteTree::TenorRateFromTerms(terms_[static_cast<std::size_t>(p)], rate_[j]);
    return src < 0 ? rate_[j] : walk_->Yield(j, src);
  }

  // Kind 0: the closed-form factors of point p, whose rate is
  // HullWhiteTree::TenorRateFromTerms(PointTerms(p), node rate).
  const HullWhiteTree::TenorTerms& PointTerms(int p) const { return terms_[static_cast<std::size_t>(p)]; }
  // The prepared level's node rates, and their number.
  const double* LevelRates() const { return rate_; }
  int NodeCount() const { return nodeCount_; }
  int kind() const { return tree_.kind(); }

  // The whole curve of node j of the prepared level, valid until the next
  // call; nullptr when memory runs out.
  const ZeroCurve* Build(int j);

 private:
  const HullWhiteTree& tree_;
  std::unique_ptr<NodeYieldWalk> walk_;
  ZeroCurve curve_;
  std::vector<double> dates_;                     // the level's points, ascending
  std::vector<int> source_;                       // maturity index (latest first), -1: the next date
  std::vector<HullWhiteTree::TenorTerms> terms_;  // kind 0: per point
  const double* rate_ = nullptr;                  // the level's node rates
  int nodeCount_ = 0;
  int status_ = 0;
};

}  // namespace lorvex
