// Swaptions, caps and floors on the Hull-White trinomial tree, and the
// short-rate spacing of the trees the bond option and the cap build.
#include <cmath>
#include <limits>

#include "boundary/curve_reader.h"
#include "boundary/dates.h"
#include "boundary/export_guard.h"
#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.h"
#include "market/zero_curve.h"
#include "treepricing/tree_cap.h"
#include "treepricing/tree_market.h"
#include "treepricing/tree_swap_option.h"

using namespace lorvex;

namespace {

// The distance between the short rates of two neighbouring nodes one step
// after the valuation date: the lattice's rate spacing there. Level 1 always
// holds at least three nodes, since the root branches to three.
std::int32_t WriteRateSpacing(const HullWhiteTree& tree, double* result) {
  if (tree.levelCount() < 2 || tree.LevelNodeCount(1) < 3) return LORVEX_TREE_BUILD;
  return WriteFiniteResult(tree.NodeRate(1, 2) - tree.NodeRate(1, 1), result);
}

}  // namespace

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeSwapOption(
    int32_t valuationSerial, double yearsToEnd, double yearsToStart, double fixedRate, double notional,
    int32_t paymentsPerYear, int32_t receiverFlag, SAFEARRAY** curveArray, double sigma,
    double meanReversion, int32_t stepCount, int32_t kind, double* value) {
  return RunRateExport(value, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    SwapTreeTerms terms;
    if (!AllFinite({yearsToEnd, yearsToStart, fixedRate, notional, sigma, meanReversion}) ||
        !ValuationJdn(valuationSerial, &terms.valuation) ||
        !DateAfterYears(terms.valuation, yearsToEnd, &terms.end) ||
        !DateAfterYears(terms.valuation, yearsToStart, &terms.start)) {
      return LORVEX_BAD_ARGUMENT;
    }
    terms.fixedRate = fixedRate;
    terms.notional = notional;
    terms.perYear = paymentsPerYear;
    terms.sigma = sigma;
    terms.meanReversion = meanReversion;
    terms.stepCount = stepCount;
    terms.kind = kind;
    SwapTreeSetup setup(terms, curve);
    if (setup.status() == -2) return LORVEX_SWAP_SCHEDULE;
    if (setup.status() != 0) return LORVEX_TREE_BUILD;
    HullWhiteTree tree(setup.Args());
    if (tree.status() != 0) return LORVEX_TREE_BUILD;
    return WriteFiniteResult(TreeSwapOptionRollback(setup.exercise, receiverFlag != 1, setup.swap, tree), value);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeCap(int32_t valuationSerial, double yearsToEnd,
                                                   double yearsToStart, double capRate, double notional,
                                                   int32_t paymentsPerYear, int32_t capFlag,
                                                   SAFEARRAY** curveArray, double sigma,
                                                   double meanReversion, int32_t stepParameter,
                                                   int32_t kind, double* value) {
  return RunRateExport(value, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    CapTreeTerms terms;
    if (!AllFinite({yearsToEnd, yearsToStart, capRate, notional, sigma, meanReversion}) ||
        !ValuationJdn(valuationSerial, &terms.valuation) ||
        !DateAfterYears(terms.valuation, yearsToEnd, &terms.end) ||
        !DateAfterYears(terms.valuation, yearsToStart, &terms.start)) {
      return LORVEX_BAD_ARGUMENT;
    }
    terms.capRate = capRate;
    terms.notional = notional;
    terms.perYear = paymentsPerYear;
    terms.sigma = sigma;
    terms.meanReversion = meanReversion;
    // Steps a year from the time to the first reset: a cap starting soon
    // gets a fine grid, one starting late a coarse one.
    terms.stepCount = CapTreeStepCount(stepParameter, yearsToStart);
    terms.kind = kind;
    CapTreeSetup setup(terms, curve);
    if (setup.status() == -3) return LORVEX_CAP_SCHEDULE;
    if (setup.status() != 0) return LORVEX_TREE_BUILD;
    HullWhiteTree tree(setup.Args());
    if (tree.status() != 0) return LORVEX_TREE_BUILD;
    // Here 0 is the floor and any other flag the cap.
    return WriteFiniteResult(TreeCapRollback(capFlag == 0, setup.cap, tree), value);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BondTreeRateDelta(int32_t valuationSerial,
                                                             double yearsToMaturity, double yearsToExpiry,
                                                             SAFEARRAY** curveArray, double sigma,
                                                             double meanReversion, int32_t stepCount,
                                                             int32_t kind, double* rateDelta) {
  return RunRateExport(rateDelta, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    int valuation = 0;
    int expiry = 0;
    int end = 0;
    if (!AllFinite({yearsToMaturity, yearsToExpiry, sigma, meanReversion}) ||
        !ValuationJdn(valuationSerial, &valuation) ||
        !DateAfterYears(valuation, yearsToExpiry, &expiry) ||
        !DateAfterYears(valuation, yearsToMaturity, &end)) {
      return LORVEX_BAD_ARGUMENT;
    }
    // The tree of the bond option without its bond: the same grid (equal
    // steps to the expiry) on the curve as given.
    ZeroCurve exercise;
    exercise.Insert(expiry, 0.0);
    const TreeModelLists lists = MakeTreeModelLists(valuation, sigma, meanReversion);
    if (exercise.status() != 0 || lists.status() != 0) return LORVEX_TREE_BUILD;
    TreeBuildArgs args = TreeArgsOnMarket(kind, stepCount, valuation, end, exercise, curve, lists);
    args.uniformToExpiry = 1;
    args.yieldsFromDate = std::numeric_limits<double>::infinity();  // nothing is priced
    const HullWhiteTree tree(args);
    if (tree.status() != 0) return LORVEX_TREE_BUILD;
    return WriteRateSpacing(tree, rateDelta);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_CapTreeRateDelta(int32_t valuationSerial, double yearsToStart,
                                                            double yearsToEnd, int32_t paymentsPerYear,
                                                            SAFEARRAY** curveArray, double sigma,
                                                            double meanReversion, int32_t stepParameter,
                                                            int32_t kind, double* rateDelta) {
  return RunRateExport(rateDelta, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    CapTreeTerms terms;
    if (!AllFinite({yearsToStart, yearsToEnd, sigma, meanReversion}) ||
        !ValuationJdn(valuationSerial, &terms.valuation) ||
        !DateAfterYears(terms.valuation, yearsToStart, &terms.start) ||
        !DateAfterYears(terms.valuation, yearsToEnd, &terms.end)) {
      return LORVEX_BAD_ARGUMENT;
    }
    // The cap only supplies its reset dates; its curve keeps its own points.
    terms.notional = 100.0;
    terms.capRate = 0.0;
    terms.perYear = paymentsPerYear;
    terms.sigma = sigma;
    terms.meanReversion = meanReversion;
    // Unlike the cap itself, the steps a year come from the time to the end.
    terms.stepCount = CapTreeStepCount(stepParameter, yearsToEnd);
    terms.kind = kind;
    terms.addCapletDatesToCurve = false;
    terms.nodeYields = false;
    CapTreeSetup setup(terms, curve);
    if (setup.status() == -3) return LORVEX_CAP_SCHEDULE;
    if (setup.status() != 0) return LORVEX_TREE_BUILD;
    const HullWhiteTree tree(setup.Args());
    if (tree.status() != 0) return LORVEX_TREE_BUILD;
    return WriteRateSpacing(tree, rateDelta);
  });
}
