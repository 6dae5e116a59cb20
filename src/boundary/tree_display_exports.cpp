// The Hull-White tree of a bond option copied into caller arrays, so that a
// spreadsheet can draw it: one row per level, one per node, and the
// branching probabilities of the last step before the expiry.
#include "boundary/display_arrays.h"
#include "boundary/export_guard.h"

using namespace lorvex;

namespace {

// Minimum spans (upper minus lower bound) of the first dimension: 11 levels
// and 1 + 3 + ... + 21 = 121 nodes of a 10-step tree, 21 nodes before the
// expiry.
constexpr long long kNodeSpan = 120;
constexpr long long kLevelSpan = 10;
constexpr long long kProbabilitySpan = 20;

// Writes one row at absolute indices from 0, whatever the array's lower
// bounds; false at the first cell the array rejects.
template <std::size_t N>
bool PutRow(SAFEARRAY* array, LONG row, const double (&cells)[N]) {
  for (std::size_t c = 0; c < N; ++c) {
    LONG index[2] = {row, static_cast<LONG>(c)};
    if (!PutCell(array, index, cells[c])) return false;
  }
  return true;
}

}  // namespace

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeBondDisplay(
    int32_t valuationSerial, double yearsToMaturity, double couponRate, double face, int32_t couponsPerYear,
    double yearsToExpiry, double strike, int32_t callFlag, int32_t americanFlag, int32_t cleanStrikeFlag,
    SAFEARRAY** curveArray, double sigma, double meanReversion, int32_t stepCount, int32_t kind,
    SAFEARRAY** nodeArray, SAFEARRAY** levelArray, SAFEARRAY** probabilityArray) {
  return RunExport([&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    const TreeBondDisplay tree = api::tree_bond_display({.valuation = valuationSerial,
                                                         .maturity = yearsToMaturity,
                                                         .coupon = couponRate,
                                                         .face = face,
                                                         .frequency = couponsPerYear,
                                                         .expiry = yearsToExpiry,
                                                         .strike = strike,
                                                         .option = CallFlag(callFlag),
                                                         .exercise = AmericanFlag(americanFlag),
                                                         .strike_quote = CleanFlag(cleanStrikeFlag),
                                                         .volatility = sigma,
                                                         .mean_reversion = meanReversion,
                                                         .steps = stepCount},
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
