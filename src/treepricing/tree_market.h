// Market inputs the tree pricers share.
#pragma once

#include <vector>

#include "hwtree/hull_white_tree.h"
#include "market/zero_curve.h"

namespace lorvex {

// Adds each date to the curve at the curve's own rate there, all rates
// read from the curve as given (before any of the dates is added), so the
// curve's values are unchanged while its points gain the instrument's
// dates, which the tree then makes level dates. A date already present
// keeps its point. Returns 0, or -1 when memory runs out.
int InsertDatesAtCurveRates(ZeroCurve& curve, const std::vector<double>& dates);

// The three one-point lists every tree export builds: mean reversion
// {(t0, a)}, volatility {(t0, sigma)} (sigma <= 0 priced with 1e-6) and the
// shape points {(0.01, 0.01)}, under which the shape kind is lognormal.
struct TreeModelLists {
  ZeroCurve meanReversion;
  ZeroCurve volatility;
  ZeroCurve shapePoints;
  // -1 when any list ran out of memory.
  int status() const {
    return meanReversion.status() != 0 || volatility.status() != 0 || shapePoints.status() != 0 ? -1 : 0;
  }
};
TreeModelLists MakeTreeModelLists(double valuationDate, double sigma, double a);

// The build arguments every tree pricer shares: the tree runs from the
// valuation date to endDate on the given curve, model lists and exercise
// dates, with steps a year (not equal steps to the expiry) and node curves
// read on every level. Pricers change what differs. The arguments point at
// the lists, which the tree copies when it is built.
TreeBuildArgs TreeArgsOnMarket(int kind, int stepCount, double valuationDate, double endDate,
                               const ZeroCurve& exercise, const ZeroCurve& curve,
                               const TreeModelLists& lists);

}  // namespace lorvex
