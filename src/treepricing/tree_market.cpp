#include "treepricing/tree_market.h"

#include <new>

#include "hwtree/hull_white_tree.h"

namespace lorvex {

int InsertDatesAtCurveRates(ZeroCurve& curve, const std::vector<double>& dates) {
  std::vector<double> rates;
  try {
    rates.reserve(dates.size());
  } catch (const std::bad_alloc&) {
    return -1;
  }
  for (double d : dates) rates.push_back(curve.Interpolate(d));
  for (std::size_t k = 0; k < dates.size(); ++k) {
    if (curve.Insert(dates[k], rates[k]) != 0) return -1;
  }
  return 0;
}

TreeModelLists MakeTreeModelLists(double valuationDate, double sigma, double a) {
  TreeModelLists lists;
  lists.meanReversion.Insert(valuationDate, a);
  lists.volatility.Insert(valuationDate, TreeVolatility(sigma));
  lists.shapePoints.Insert(0.01, 0.01);
  return lists;
}

TreeBuildArgs TreeArgsOnMarket(int kind, int stepCount, double valuationDate, double endDate,
                               const ZeroCurve& exercise, const ZeroCurve& curve,
                               const TreeModelLists& lists) {
  TreeBuildArgs args;
  args.kind = kind;
  args.stepCount = stepCount;
  args.startDate = valuationDate;
  args.endDate = endDate;
  args.exerciseDates = &exercise;
  args.zeroCurve = &curve;
  args.meanReversion = &lists.meanReversion;
  args.volatility = &lists.volatility;
  args.shapePoints = &lists.shapePoints;
  args.uniformToExpiry = 0;
  return args;
}

}  // namespace lorvex
