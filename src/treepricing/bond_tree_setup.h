// Everything a tree bond option builds before its backward induction: the
// bond, the curve with the bond's dates added, the one-point model lists,
// the exercise schedule and the tree's arguments. Shared by the bond option
// and the tree display, which differ only in the step limit and the number
// of value slots.
#pragma once

#include "hwtree/hull_white_tree.h"
#include "market/bond_schedule.h"
#include "market/zero_curve.h"
#include "treepricing/tree_market.h"

namespace lorvex {

struct BondTreeTerms {
  int valuation = 0;      // Julian day t0
  int accrualStart = 0;   // the bond's first accrual date
  int maturity = 0;       // its maturity date
  double face = 100.0;
  double couponRate = 0.0;
  int couponsPerYear = 2;
  int expiry = 0;         // the option's expiry date
  double strike = 0.0;
  bool isAmerican = false;
  double sigma = 0.0;     // per square-root year; 0 or below is priced with 1e-6
  double meanReversion = 0.0;
  int stepCount = 0;
  int kind = 0;
  int slotCount = 1;      // 3: the display, which prices the bond at every node
};

class BondTreeSetup : public TreeSetup {
 public:
  // Builds the bond and a copy of the curve with the bond's period start
  // and payment dates added at the curve's own rates. status() is -1 when
  // memory ran out.
  BondTreeSetup(const BondTreeTerms& terms, const ZeroCurve& marketCurve);

  // The tree's arguments: equal steps to the expiry (uniform grid), the end
  // at the bond's maturity, node curves read where the rollback prices the
  // bond (the expiry level of a European option; every level of an
  // American one or of the display, slotCount > 1).
  TreeBuildArgs Args() const;

  BondSchedule bond;
  ZeroCurve exercise;  // (expiry, strike), and (t0, strike) when American

 private:
  BondTreeTerms terms_;
};

}  // namespace lorvex
