// European and American options on a coupon bond on the Hull-White tree.
#pragma once

#include <cstddef>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "market/bond_schedule.h"
#include "market/zero_curve.h"

namespace lorvex {

// The three values per node the tree display draws, on the levels 0 ..
// expiry: 0 the option value, 1 the bond's dirty price off the node's
// curve, 2 +1 where the option is exercised and -1 elsewhere.
class TreeNodeSlots {
 public:
  static constexpr int kSlots = 3;
  // Room for the levels 0 .. expiry of the tree, every value 0.
  void Reset(const HullWhiteTree& tree);
  double NodeValue(int i, int j, int s) const { return values_[Index(i, j, s)]; }
  void SetNodeValue(int i, int j, int s, double v) { values_[Index(i, j, s)] = v; }

 private:
  std::size_t Index(int i, int j, int s) const {
    return begin_[static_cast<std::size_t>(i)] + static_cast<std::size_t>(j) * kSlots + static_cast<std::size_t>(s);
  }
  std::vector<std::size_t> begin_;
  std::vector<double> values_;
};

// Backward induction from the tree's expiry level to the root. On an
// exercise level each node prices the bond off its own zero curve (the
// dirty value at the level date of the flows paid after it; the bond counts
// whole days, so a fractional level date is taken at its day) and compares
// the exercise value with the discounted expected value of its successors.
//
// American: every level from the schedule's first to its last date is an
// exercise level, with the first point's strike. European: only a level
// whose date equals a schedule date exactly, with that point's strike.
// With isClean the accrued coupon is taken off the bond price before the
// comparison. A tie keeps the continuation value.
//
// Returns the root's value, or 0 when a node's curve cannot be built. With
// slots, the bond is priced at every node of every level and the three
// display values of every node are recorded there.
double TreeBondOptionRollback(const ZeroCurve& exerciseSchedule, bool isAmerican, bool isPut,
                              BondSchedule& bond, const HullWhiteTree& tree, bool isClean,
                              TreeNodeSlots* slots = nullptr);

}  // namespace lorvex
