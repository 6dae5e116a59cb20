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
// Laid out once per level: the points (dates, where each rate comes from,
// the tenor factors), and the places a pricer reads the curve at (Place:
// the two points around each date and the weights between them, as
// ZeroCurve::Interpolate takes them). A node then costs the rates of the
// points those reads need (LoadNode) and a few operations per read; only
// Build, for pricers that want a whole ZeroCurve, fills one. Nothing
// allocates per node or per level.
#pragma once

#include <memory>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "hwtree/lattice_level.h"
#include "hwtree/node_yield_walk.h"
#include "market/zero_curve.h"

namespace lorvex {

class NodeCurves {
 public:
  explicit NodeCurves(const HullWhiteTree& tree);
  int status() const { return status_; }
  int kind() const { return tree_.kind(); }

  // Lays out the loaded level's points and forgets the reads placed on the
  // level before; levels are prepared in decreasing order. False when the
  // level has no node yields (the tree was not told it is read).
  bool PrepareLevel(const LatticeLevel& level);
  const LatticeLevel& level() const { return *level_; }

  // The most points a level has (level 0's).
  int MaxPointCount() const { return static_cast<int>(terms_.size()); }
  // The prepared level's points, ascending in date.
  int PointCount() const { return static_cast<int>(dates_.size()); }
  const std::vector<double>& PointDates() const { return dates_; }
  // The rate of point p on node j's curve.
  double PointRate(int j, int p) {
    const auto pi = static_cast<std::size_t>(p);
    const double r = level_->rate[static_cast<std::size_t>(j)];
    if (tree_.kind() == 0) return HullWhiteTree::TenorRateFromTerms(PointTerms(p), r);
    const int src = source_[pi];
    return src < 0 ? r : walk_->Yield(j, src, r);
  }
  // Kinds 1 and 2: where point p's rate comes from: the walk's maturity
  // index (-1: the next date, whose rate is the node rate), the years to it
  // from the level date, and node j's bond prices, parallel to the walk's
  // maturities.
  int PointSource(int p) const { return source_[static_cast<std::size_t>(p)]; }
  double PointTau(int p) const { return walk_->Tau(PointSource(p)); }
  const double* NodeBondPrices(int j) const { return walk_->Prices(j); }
  // Kind 0: the closed-form factors of point p, whose rate is
  // HullWhiteTree::TenorRateFromTerms(PointTerms(p), node rate).
  const HullWhiteTree::TenorTerms& PointTerms(int p);

  // A read of the curve at a date: the point at or below it and the one
  // above (p1 < 0: flat at p0, before the first point or from the last one
  // on), c1 the distance from p0 and c2 that between the points.
  struct Read {
    int p0 = 0;
    int p1 = -1;
    double c1 = 0.0;
    double c2 = 1.0;
  };
  // Places a read on the prepared level and marks the points it needs.
  Read Place(double date);
  // The rates of the marked points on node j's curve, for Rate.
  void LoadNode(int j);
  // The curve's rate at a read, for the node last loaded: Interpolate's
  // arithmetic on the same points.
  double Rate(const Read& r) const {
    const double y0 = loaded_[static_cast<std::size_t>(r.p0)];
    if (r.p1 < 0) return y0;
    return y0 + (loaded_[static_cast<std::size_t>(r.p1)] - y0) * r.c1 / r.c2;
  }
  // DiscountFactor(curve, from, to) with the rate at the read placed at to.
  double Discount(const Read& atTo, double from, double to) const {
    return std::exp(-Rate(atTo) * (to - from) / 365.0);
  }

  // The whole curve of node j of the prepared level, valid until the next
  // call; nullptr when memory runs out.
  const ZeroCurve* Build(int j);

 private:
  const HullWhiteTree& tree_;
  std::unique_ptr<NodeYieldWalk> walk_;
  const LatticeLevel* level_ = nullptr;
  ZeroCurve curve_;
  std::vector<double> dates_;                     // the level's points, ascending
  std::vector<int> source_;                       // maturity index (latest first), -1: the next date
  HullWhiteTree::LevelTenor levelTenor_{};       // kind 0: the level's part of the terms
  std::vector<HullWhiteTree::TenorTerms> terms_;  // kind 0: per point, once needed
  std::vector<char> termsReady_;
  std::vector<char> marked_;
  std::vector<int> needed_;                       // the marked points
  // Kinds 1 and 2, per marked point: the walk's maturity index (-1: the
  // next date, which reads the node rate) and the years to it.
  std::vector<int> neededSource_;
  std::vector<double> neededTau_;
  std::vector<double> loaded_;                    // their rates on the node last loaded
  int status_ = 0;
};

}  // namespace lorvex
