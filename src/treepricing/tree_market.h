// Market inputs the tree pricers share.
#pragma once

#include <vector>

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
};
TreeModelLists MakeTreeModelLists(double valuationDate, double sigma, double a);

}  // namespace lorvex
