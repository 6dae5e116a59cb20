// European and American options on a coupon bond on the Hull-White tree.
#pragma once

#include "hwtree/hull_white_tree.h"
#include "market/bond_schedule.h"
#include "market/zero_curve.h"

namespace lorvex {

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
// comparison. Slots: 0 the option value; with two or more slots, slot 1
// receives the bond's dirty price at every node; with three, slot 2 is +1
// where the option is exercised and -1 elsewhere.
//
// Returns the root's value, or 0 when a node's curve cannot be built.
double TreeBondOptionRollback(const ZeroCurve& exerciseSchedule, bool isAmerican, bool isPut,
                              BondSchedule& bond, HullWhiteTree& tree, bool isClean);

}  // namespace lorvex
