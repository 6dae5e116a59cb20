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
  // Lognormal and shape trees price the bond off each node's curve (a
  // logarithm and an exponential per flow), and only where the option can
  // be reached unless the tree is drawn.
  if (terms_.kind != 0) args.readWork = kLogBondPriceWork;
  args.readsInReach = terms_.slotCount <= 1;
  return args;
}

}  // namespace lorvex
