// Options on a coupon bond on the Hull-White trinomial tree.
#include <limits>
#include <vector>

#include "boundary/curve_reader.h"
#include "boundary/dates.h"
#include "boundary/export_guard.h"
#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.h"
#include "market/bond_schedule.h"
#include "market/zero_curve.h"
#include "treepricing/tree_bond_option.h"
#include "treepricing/tree_market.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeBondOption(
    int32_t valuationSerial, double yearsToMaturity, double couponRate, double face,
    int32_t couponsPerYear, double yearsToExpiry, double strike, int32_t callFlag,
    int32_t americanFlag, int32_t cleanStrikeFlag, SAFEARRAY** curveArray, double sigma,
    double meanReversion, int32_t stepCount, int32_t kind, double* optionValue) {
  return RunRateExport(optionValue, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    int valuation = 0;
    int start = 0;
    int maturity = 0;
    int expiry = 0;
    if (!AllFinite({yearsToMaturity, couponRate, face, yearsToExpiry, strike, sigma, meanReversion}) ||
        !ValuationJdn(valuationSerial, &valuation) ||
        !BondDates(valuation, yearsToMaturity, &start, &maturity) ||
        !DateAfterYears(valuation, yearsToExpiry, &expiry)) {
      return LORVEX_BAD_ARGUMENT;
    }
    const bool isAmerican = americanFlag == 1;
    BondSchedule bond(face, couponRate, start, maturity, couponsPerYear);

    // The bond's dates become points of the curve, at the curve's own
    // rates, so that the tree places levels on them.
    std::vector<double> bondDates;
    bondDates.reserve(2 * static_cast<std::size_t>(bond.Count()));
    for (const CouponPeriod& p : bond.Periods()) {
      bondDates.push_back(p.start);
      bondDates.push_back(p.end);
    }
    if (InsertDatesAtCurveRates(curve, bondDates) != 0) return LORVEX_TREE_BUILD;

    const double t0 = valuation;
    const TreeModelLists lists = MakeTreeModelLists(t0, sigma, meanReversion);
    ZeroCurve exercise;
    exercise.Insert(expiry, strike);
    if (isAmerican) exercise.Insert(t0, strike);

    TreeBuildArgs args;
    args.kind = kind;
    args.stepCount = stepCount;
    args.slotCount = 1;
    args.startDate = t0;
    args.endDate = maturity;
    args.exerciseDates = &exercise;
    args.zeroCurve = &curve;
    args.meanReversion = &lists.meanReversion;
    args.volatility = &lists.volatility;
    args.shapePoints = &lists.shapePoints;
    args.uniformToExpiry = 1;
    // The normal tree's node curves take their rates from the closed-form
    // bond prices, so it needs no node yields; otherwise a European option
    // reads them on its expiry level only.
    if (kind == 0) {
      args.yieldsFromDate = std::numeric_limits<double>::infinity();
    } else if (!isAmerican) {
      args.yieldsFromDate = expiry;
    }
    HullWhiteTree tree(args);
    if (tree.status() != 0) return LORVEX_TREE_BUILD;
    *optionValue = TreeBondOptionRollback(exercise, isAmerican, callFlag != 1, bond, tree,
                                          cleanStrikeFlag == 1);
    return LORVEX_OK;
  });
}
