// The zero curve seen from one node of the Hull-White tree, on which the
// tree pricers value a bond, a swap's legs or a caplet at that node.
//
// Its points are the level's maturity dates with the node's zero yields,
// plus the next level's date with the node's one-step rate (a maturity on
// that date keeps its yield). On the normal tree (kind 0) every rate is
// replaced by the closed-form zero rate implied by the node's short rate
// (HullWhiteTree::TenorRate), so only the dates come from the node yields.
//
// The builder is made once per backward induction: it keeps one curve and
// the per-level tenor factors in storage reserved up front, so that
// building a node's curve allocates nothing and takes time linear in the
// number of maturities.
#pragma once

#include <vector>

#include "hwtree/hull_white_tree.h"
#include "market/zero_curve.h"

namespace lorvex {

class NodeCurveBuilder {
 public:
  explicit NodeCurveBuilder(const HullWhiteTree& tree);
  int status() const { return status_; }

  // Level i's tenor factors; call before the level's first Build.
  void PrepareLevel(int i);
  // The curve of node j of the prepared level, valid until the next call;
  // nullptr when it cannot be built (a level without node yields).
  const ZeroCurve* Build(int j);

 private:
  const HullWhiteTree& tree_;
  ZeroCurve curve_;
  std::vector<HullWhiteTree::TenorTerms> terms_;  // per ascending maturity, then the next date
  int level_ = -1;
  bool nextIsMaturity_ = false;
  int status_ = 0;
};

}  // namespace lorvex
