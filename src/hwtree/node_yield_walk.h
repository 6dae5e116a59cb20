// The zero curves seen from the nodes of the Hull-White tree, one level at
// a time.
//
// A zero-coupon bond for every maturity date (the tree's maturity list) is
// priced at every node by backward induction from the lattice's last
// level: a bond maturing within a day of the level date is worth 1, any
// other is the node's step discount times the probability-weighted prices
// at its three successors. The walk moves down the levels as the pricer's
// own backward induction does and keeps only two levels of prices, so its
// memory is the width of the lattice times the number of maturities, not
// that times the number of levels. Yields are continuously compounded from
// the level date: -ln(P) / tau, tau the years to the maturity; a maturity on
// the level date itself reads the node's one-step rate (0 when it is the
// level's only maturity).
#pragma once

#include <cmath>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "hwtree/lattice_level.h"

namespace lorvex {

class NodeYieldWalk {
 public:
  // The tree must keep its last level (a lognormal or shape tree that was
  // told where node yields are read). status() is -1 otherwise, or when
  // memory runs out.
  explicit NodeYieldWalk(const HullWhiteTree& tree);
  int status() const { return status_; }

  // Rolls the prices back to level i. Levels are visited in decreasing
  // order; a level above the current one, or below the first level the
  // tree was told is read (its storage is sized from there), fails.
  bool MoveTo(int i);
  // The same to the loaded level, whose rates, discounts and branching
  // serve the last step (a pricer rolling back through the same level
  // computes them once).
  bool MoveTo(const LatticeLevel& level);
  int level() const { return level_; }

  // Bond prices of node j of the current level, parallel to the tree's
  // MaturityDates (latest first), MaturityCount(level()) of them.
  const double* Prices(int j) const { return current_ + static_cast<std::size_t>(j) * stride_; }
  // Years from the current level's date to maturity k.
  double Tau(int k) const { return tau_[static_cast<std::size_t>(k)]; }
  // The zero yield of node j to maturity k of the current level; nodeRate
  // is the node's one-step rate.
  double Yield(int j, int k, double nodeRate) const {
    const double tau = Tau(k);
    if (tau > 0.0) return -std::log(Prices(j)[k]) / tau;
    return k >= 1 ? nodeRate : 0.0;
  }
  double Yield(int j, int k) const { return Yield(j, k, tree_.NodeRate(level_, j)); }

 private:
  bool Accepts(int i) const { return status_ == 0 && i >= first_ && i <= level_; }
  void StepDown(const LatticeLevel& level);

  const HullWhiteTree& tree_;
  LatticeLevel own_;  // the levels after the pricer's
  std::vector<double> a_, b_;
  std::vector<double> tau_;  // years from the current level to each maturity
  double* current_ = nullptr;
  std::size_t stride_ = 0;  // maturities of the walk's first level: the most of any level
  int level_ = 0;
  int first_ = 0;
  int status_ = 0;
};

}  // namespace lorvex
