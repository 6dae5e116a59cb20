// Options on a coupon bond on the Hull-White trinomial tree.
#include "boundary/curve_reader.h"
#include "boundary/dates.h"
#include "boundary/export_guard.h"
#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.h"
#include "market/zero_curve.h"
#include "treepricing/bond_tree_setup.h"
#include "treepricing/tree_bond_option.h"

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
    BondTreeTerms terms;
    if (!AllFinite({yearsToMaturity, couponRate, face, yearsToExpiry, strike, sigma, meanReversion}) ||
        !ValuationJdn(valuationSerial, &terms.valuation) ||
        !BondDates(terms.valuation, yearsToMaturity, &terms.accrualStart, &terms.maturity) ||
        !DateAfterYears(terms.valuation, yearsToExpiry, &terms.expiry)) {
      return LORVEX_BAD_ARGUMENT;
    }
    terms.face = face;
    terms.couponRate = couponRate;
    terms.couponsPerYear = couponsPerYear;
    terms.strike = strike;
    terms.isAmerican = americanFlag == 1;
    terms.sigma = sigma;
    terms.meanReversion = meanReversion;
    terms.stepCount = stepCount;
    terms.kind = kind;
    terms.slotCount = 1;
    BondTreeSetup setup(terms, curve);
    if (setup.status() != 0) return LORVEX_TREE_BUILD;
    HullWhiteTree tree(setup.Args());
    if (tree.status() != 0) return LORVEX_TREE_BUILD;
    return WriteFiniteResult(TreeBondOptionRollback(setup.exercise, terms.isAmerican, callFlag != 1,
                                                    setup.bond, tree, cleanStrikeFlag == 1),
                             optionValue);
  });
}
