// Options on a coupon bond on the Hull-White trinomial tree: the value, and
// the tree copied into caller arrays so that a spreadsheet can draw it (one
// row per level, one per node, and the branching probabilities of the last
// step before the expiry).
#include "boundary/display_arrays.h"
#include "boundary/export_guard.h"
#include "boundary/rate_terms.h"

using namespace lorvex;

namespace {

// The two exports take the same terms.
TreeBondOptionArgs TreeBondArgs(int32_t valuationSerial, double yearsToMaturity, double couponRate, double face,
                                int32_t couponsPerYear, double yearsToExpiry, double strike, int32_t callFlag,
                                int32_t americanFlag, int32_t cleanStrikeFlag, double sigma, double meanReversion,
                                int32_t stepCount) {
  auto args = BondOptionTerms<TreeBondOptionArgs>(valuationSerial, yearsToMaturity, couponRate, face, couponsPerYear,
                                                  yearsToExpiry, strike, callFlag, cleanStrikeFlag);
  args.exercise = ExerciseFromFlag(americanFlag);
  args.volatility = sigma;
  args.mean_reversion = meanReversion;
  args.steps = stepCount;
  return args;
}

// Minimum spans (upper minus lower bound) of the first dimension of the
// display's arrays: 11 levels and 1 + 3 + ... + 21 = 121 nodes of a 10-step
// tree, 21 nodes before the expiry.
constexpr long long kNodeSpan = 120;
constexpr long long kLevelSpan = 10;
constexpr long long kProbabilitySpan = 20;

}  // namespace

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeBondOption(
    int32_t valuationSerial, double yearsToMaturity, double couponRate, double face,
    int32_t couponsPerYear, double yearsToExpiry, double strike, int32_t callFlag,
    int32_t americanFlag, int32_t cleanStrikeFlag, SAFEARRAY** curveArray, double sigma,
    double meanReversion, int32_t stepCount, int32_t kind, double* optionValue) {
  return PriceOnCurveArray(curveArray, optionValue, [&](const ZeroCurve& curve) {
    return api::tree_bond_option(TreeBondArgs(valuationSerial, yearsToMaturity, couponRate, face, couponsPerYear,
                                              yearsToExpiry, strike, callFlag, americanFlag, cleanStrikeFlag, sigma,
                                              meanReversion, stepCount),
                                 kind, curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeBondDisplay(
    int32_t valuationSerial, double yearsToMaturity, double couponRate, double face, int32_t couponsPerYear,
    double yearsToExpiry, double strike, int32_t callFlag, int32_t americanFlag, int32_t cleanStrikeFlag,
    SAFEARRAY** curveArray, double sigma, double meanReversion, int32_t stepCount, int32_t kind,
    SAFEARRAY** nodeArray, SAFEARRAY** levelArray, SAFEARRAY** probabilityArray) {
  return RunOnCurveArray(curveArray, true, [&](const ZeroCurve& curve) -> int32_t {
    const TreeBondDisplay tree = api::tree_bond_display(
        TreeBondArgs(valuationSerial, yearsToMaturity, couponRate, face, couponsPerYear, yearsToExpiry, strike,
                     callFlag, americanFlag, cleanStrikeFlag, sigma, meanReversion, stepCount),
        kind, curve);

    const int32_t arrays = CheckDisplayArrays(
        {nodeArray, levelArray, probabilityArray, kNodeSpan, kLevelSpan, kProbabilitySpan, true});
    if (arrays != LORVEX_OK) return arrays;

    // The first write an array rejects stops the copy; rows already written
    // keep their values.
    LONG row = 0;
    for (int i = 0; i < tree.level_count(); ++i) {
      const TreeBondDisplay::Level l = tree.level(i);
      const double level[3] = {l.time, l.accrued, static_cast<double>(l.nodes)};
      if (!PutRow(*levelArray, static_cast<LONG>(i), level)) return LORVEX_DISPLAY_WRITE;
      for (int j = 0; j < l.nodes; ++j, ++row) {
        const TreeBondDisplay::Node n = tree.node(i, j);
        const double node[4] = {n.value, n.bond_price, n.exercise, n.rate};
        if (!PutRow(*nodeArray, row, node)) return LORVEX_DISPLAY_WRITE;
      }
    }
    // The branching of the last step: from the level before the expiry.
    if (tree.level_count() >= 2) {
      const int nodes = tree.level(tree.level_count() - 2).nodes;
      for (int j = 0; j < nodes; ++j) {
        const TreeBondDisplay::Branch b = tree.branch(j);
        const double p[3] = {b.up, b.middle, b.down};
        if (!PutRow(*probabilityArray, static_cast<LONG>(j), p)) return LORVEX_DISPLAY_WRITE;
      }
    }
    return LORVEX_OK;
  });
}
