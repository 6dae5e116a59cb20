// Stock options on the binomial tree with discrete dividends: value and
// Greeks, and the whole tree copied out for display.
#include <vector>

#include "boundary/display_arrays.h"
#include "boundary/export_guard.h"
#include "equity/equity_lattice.h"

using namespace lorvex;

static_assert(kMaxEquitySteps == LORVEX_EQUITY_MAX_STEPS, "one step maximum");

namespace {

// Flags compare with 1: any other value selects the other case.
EquityOptionArgs Args(double spot, double strike, double rate, double expiry, double yield, double volatility,
                      int32_t steps, int32_t exerciseStyle, int32_t optionKind, int32_t useDividends) {
  return {.spot = spot,
          .strike = strike,
          .rate = rate,
          .expiry = expiry,
          .dividend_yield = yield,
          .volatility = volatility,
          .steps = steps,
          .exercise = ExerciseFromFlag(exerciseStyle),
          .option = OptionTypeFromFlag(optionKind),
          .use_dividends = useDividends == 1};
}

// The fixed minimum spans of the three output arrays.
constexpr long long kNodeTableSpan = 168;
constexpr long long kLevelTableSpan = 12;
constexpr long long kParameterSpan = 6;

}  // namespace

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeEquityOpt(
    double spot, double strike, double rate, double expiry, double yield, SAFEARRAY** dividendArray,
    double volatility, int32_t steps, int32_t exerciseStyle, int32_t optionKind, int32_t useDividends,
    double* price, double* delta, double* gamma, double* theta) {
  // The dividends are read, and their faults reported, even when they are
  // switched off.
  return RunOnCurveArray(dividendArray, false, [&](const ZeroCurve& dividends) -> int32_t {
    if (price == nullptr || delta == nullptr || gamma == nullptr || theta == nullptr) {
      return LORVEX_BAD_ARGUMENT;
    }
    const EquityResult g = api::equity_option(
        Args(spot, strike, rate, expiry, yield, volatility, steps, exerciseStyle, optionKind, useDividends),
        dividends);
    *price = g.value;
    *gamma = g.gamma;
    *delta = g.delta;
    *theta = g.theta;
    return LORVEX_OK;
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_EquityTreeDisplay(
    double spot, double strike, double rate, double expiry, double yield, SAFEARRAY** dividendArray,
    double volatility, int32_t steps, int32_t exerciseStyle, int32_t optionKind, int32_t useDividends,
    SAFEARRAY** nodeTable, SAFEARRAY** levelTable, SAFEARRAY** parameters) {
  return RunOnCurveArray(dividendArray, false, [&](const ZeroCurve& dividends) -> int32_t {
    const EquityTreeDisplay tree = api::equity_tree_display(
        Args(spot, strike, rate, expiry, yield, volatility, steps, exerciseStyle, optionKind, useDividends),
        dividends);

    const int32_t arrays = CheckDisplayArrays(
        {nodeTable, levelTable, parameters, kNodeTableSpan, kLevelTableSpan, kParameterSpan, false});
    if (arrays != LORVEX_OK) return arrays;

    // Absolute indices from 0 whatever the arrays' lower bounds; a write the
    // array rejects stops the copy, cells already written keep their values.
    SAFEARRAY* nodes = *nodeTable;
    SAFEARRAY* levels = *levelTable;
    LONG row = 0;
    for (int k = 0; k <= tree.steps(); ++k) {
      LONG levelIndex[2] = {static_cast<LONG>(k + 2), 0};
      if (!PutCell(levels, levelIndex, tree.level_time(k))) return LORVEX_DISPLAY_WRITE;
      for (int m = 0; m <= k; ++m, ++row) {
        const EquityTreeDisplay::Node n = tree.node(k, m);
        const double node[3] = {n.value, n.price, n.exercised ? 1.0 : 0.0};
        if (!PutRow(nodes, row, node)) return LORVEX_DISPLAY_WRITE;
      }
    }
    // The parameter vector may have any number of dimensions: every index
    // after the first is 0, and the index vector has one entry per dimension
    // so that the array layer never reads past it.
    const EquityTreeDisplay::Lattice l = tree.lattice();
    const double values[6] = {l.dt, l.discount, l.growth, l.up_probability, l.up, l.down};
    const UINT dims = SafeArrayGetDim(*parameters);
    std::vector<LONG> index(dims < 2 ? 2 : dims, 0);
    for (LONG i = 0; i < 6; ++i) {
      index[0] = i;
      if (!PutCell(*parameters, index.data(), values[i])) return LORVEX_DISPLAY_WRITE;
    }
    return LORVEX_OK;
  });
}
