#include "treepricing/bond_tree_setup.h"

#include <new>
#include <vector>

namespace lorvex {

BondTreeSetup::BondTreeSetup(const BondTreeTerms& terms, const ZeroCurve& marketCurve)
    : curve(marketCurve),
      bond(terms.face, terms.couponRate, terms.accrualStart, terms.maturity, terms.couponsPerYear),
      lists(MakeTreeModelLists(terms.valuation, terms.sigma, terms.meanReversion)),
      terms_(terms) {
  // The bond's dates become points of the curve, at the curve's own rates,
  // so that the tree places levels on them.
  std::vector<double> dates;
  try {
    dates.reserve(2 * static_cast<std::size_t>(bond.Count()));
  } catch (const std::bad_alloc&) {
    status_ = -1;
    return;
  }
  for (const CouponPeriod& p : bond.Periods()) {
    dates.push_back(p.start);
    dates.push_back(p.end);
  }
  if (InsertDatesAtCurveRates(curve, dates) != 0) status_ = -1;
  exercise.Insert(terms.expiry, terms.strike);
  if (terms.isAmerican) exercise.Insert(terms.valuation, terms.strike);
  if (curve.status() != 0 || exercise.status() != 0 || lists.status() != 0) {
    status_ = -1;
  }
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
