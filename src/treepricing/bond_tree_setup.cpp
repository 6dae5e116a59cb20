#include "treepricing/bond_tree_setup.h"

namespace lorvex {

BondTreeSetup::BondTreeSetup(const BondTreeTerms& terms, const ZeroCurve& marketCurve)
    : TreeSetup(marketCurve, terms.valuation, terms.sigma, terms.meanReversion),
      bond(terms.face, terms.couponRate, terms.accrualStart, terms.maturity, terms.couponsPerYear),
      terms_(terms) {
  // The bond's dates become points of the curve, at the curve's own rates,
  // so that the tree places levels on them.
  AddPeriodDates(bond.Periods());
  exercise.Insert(terms.expiry, terms.strike);
  if (terms.isAmerican) exercise.Insert(terms.valuation, terms.strike);
  CheckLists(exercise);
}

TreeBuildArgs BondTreeSetup::Args() const {
  TreeBuildArgs args = TreeArgsOnMarket(terms_.kind, terms_.stepCount, terms_.valuation, terms_.maturity,
                                        exercise, curve, lists);
  args.uniformToExpiry = 1;
  // Node curves are read on the expiry level of a European option priced
  // alone; on every level when American or drawn.
  const bool everyLevel = terms_.isAmerican || terms_.slotCount > 1;
  args.yieldsFromDate = everyLevel ? terms_.valuation : terms_.expiry;
  return args;
}

}  // namespace lorvex
