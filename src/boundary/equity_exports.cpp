// Stock options on the binomial tree with discrete dividends: value and
// Greeks, and the whole tree copied out for display.
#include <cmath>
#include <cstdint>
#include <vector>

#include "boundary/curve_reader.h"
#include "boundary/dates.h"
#include "boundary/export_guard.h"
#include "equity/equity_lattice.h"
#include "equity/equity_option.h"
#include "equity/equity_tree.h"
#include "lorvex/lorvex.h"
#include "market/zero_curve.h"

using namespace lorvex;

static_assert(kMaxEquitySteps == LORVEX_EQUITY_MAX_STEPS, "one step maximum");

namespace {

// Flags compare with 1: any other value selects the other case.
EquityOptionTerms Terms(double spot, double strike, double rate, double expiry, double yield,
                        double volatility, int32_t steps, int32_t exerciseStyle, int32_t optionKind,
                        int32_t useDividends) {
  return {spot,  strike, rate,  expiry, yield, volatility, steps, exerciseStyle == 1, optionKind == 1,
          useDividends == 1};
}

// The terms a tree can be built from: accepted arguments and a lattice whose
// factors are finite numbers with u above d.
bool Buildable(const EquityOptionTerms& terms) {
  return EquityTermsAccepted(terms) && MakeEquityLattice(terms).Usable();
}

// Span (upper minus lower bound) of dimension 1, or false when either bound
// cannot be read, a missing array included.
bool RowSpan(SAFEARRAY** array, long long* span) {
  if (array == nullptr || *array == nullptr) return false;
  LONG lower = 0;
  LONG upper = 0;
  if (SafeArrayGetLBound(*array, 1, &lower) != S_OK || SafeArrayGetUBound(*array, 1, &upper) != S_OK) {
    return false;
  }
  *span = static_cast<long long>(upper) - lower;
  return true;
}

constexpr int32_t kDisplayAbsent = -4;
constexpr int32_t kDisplayDimensions = -5;
constexpr int32_t kDisplayBounds = -6;
constexpr int32_t kDisplayTooSmall = -7;
constexpr int32_t kDisplayWrite = -8;

// The fixed minimum spans of the three output arrays.
constexpr long long kNodeTableSpan = 168;
constexpr long long kLevelTableSpan = 12;
constexpr long long kParameterSpan = 6;

int32_t CheckDisplayArrays(SAFEARRAY** nodeTable, SAFEARRAY** levelTable, SAFEARRAY** parameters) {
  if (nodeTable == nullptr || *nodeTable == nullptr || levelTable == nullptr || *levelTable == nullptr) {
    return kDisplayAbsent;
  }
  if (SafeArrayGetDim(*nodeTable) != 2 || SafeArrayGetDim(*levelTable) != 2) return kDisplayDimensions;
  long long nodeSpan = 0;
  long long levelSpan = 0;
  long long parameterSpan = 0;
  if (!RowSpan(nodeTable, &nodeSpan) || !RowSpan(levelTable, &levelSpan) ||
      !RowSpan(parameters, &parameterSpan)) {
    return kDisplayBounds;
  }
  if (nodeSpan < kNodeTableSpan || levelSpan < kLevelTableSpan || parameterSpan < kParameterSpan) {
    return kDisplayTooSmall;
  }
  // Cells are written as 8-byte doubles: an array of another element size
  // would take a truncated number or read past the value handed to it, so it
  // is refused before anything is written.
  for (SAFEARRAY** a : {nodeTable, levelTable, parameters}) {
    if ((*a)->cbElements != sizeof(double)) return kDisplayWrite;
  }
  return LORVEX_OK;
}

bool Put(SAFEARRAY* array, LONG* index, double value) {
  return SafeArrayPutElement(array, index, &value) == S_OK;
}

}  // namespace

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeEquityOpt(
    double spot, double strike, double rate, double expiry, double yield, SAFEARRAY** dividendArray,
    double volatility, int32_t steps, int32_t exerciseStyle, int32_t optionKind, int32_t useDividends,
    double* price, double* delta, double* gamma, double* theta) {
  return RunExport([&]() -> int32_t {
    // The dividends are read, and their faults reported, even when they are
    // switched off.
    ZeroCurve dividends;
    const int status = ReadCurveArray(dividendArray, dividends, false);
    if (status != LORVEX_OK) return status;
    if (price == nullptr || delta == nullptr || gamma == nullptr || theta == nullptr) {
      return LORVEX_BAD_ARGUMENT;
    }
    const EquityOptionTerms terms = Terms(spot, strike, rate, expiry, yield, volatility, steps,
                                          exerciseStyle, optionKind, useDividends);
    if (!Buildable(terms)) return LORVEX_BAD_ARGUMENT;
    EquityGreeks g{};
    if (PriceEquityOption(terms, dividends, &g) != 0) return LORVEX_TREE_BUILD;
    // Overflowing prices (a spot of 0 collapsing the gamma nodes, a lattice
    // reaching beyond the largest double) give no number to report.
    if (!AllFinite({g.value, g.delta, g.gamma, g.theta})) return LORVEX_BAD_ARGUMENT;
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
  return RunExport([&]() -> int32_t {
    ZeroCurve dividends;
    const int status = ReadCurveArray(dividendArray, dividends, false);
    if (status != LORVEX_OK) return status;
    const EquityOptionTerms terms = Terms(spot, strike, rate, expiry, yield, volatility, steps,
                                          exerciseStyle, optionKind, useDividends);
    if (!Buildable(terms)) return LORVEX_BAD_ARGUMENT;
    // Refused before allocation beyond the memory budget, or out of memory.
    EquityTree tree(terms, dividends);
    if (tree.status() != 0) return LORVEX_TREE_BUILD;
    if (!std::isfinite(tree.ValueAt(0, 0))) return LORVEX_BAD_ARGUMENT;

    const int32_t arrays = CheckDisplayArrays(nodeTable, levelTable, parameters);
    if (arrays != LORVEX_OK) return arrays;

    // Absolute indices from 0 whatever the arrays' lower bounds; a write the
    // array rejects stops the copy, cells already written keep their values.
    SAFEARRAY* nodes = *nodeTable;
    SAFEARRAY* levels = *levelTable;
    LONG row = 0;
    for (int k = 0; k <= tree.Steps(); ++k) {
      LONG levelIndex[2] = {static_cast<LONG>(k + 2), 0};
      if (!Put(levels, levelIndex, tree.LevelTime(k))) return kDisplayWrite;
      for (int m = 0; m <= k; ++m, ++row) {
        LONG index[2] = {row, 0};
        if (!Put(nodes, index, tree.ValueAt(k, m))) return kDisplayWrite;
        index[1] = 1;
        if (!Put(nodes, index, tree.PriceAt(k, m))) return kDisplayWrite;
        index[1] = 2;
        if (!Put(nodes, index, tree.ExercisedAt(k, m) ? 1.0 : 0.0)) return kDisplayWrite;
      }
    }
    // The parameter vector may have any number of dimensions: every index
    // after the first is 0, and the index vector has one entry per dimension
    // so that the array layer never reads past it.
    const EquityLattice& l = tree.Lattice();
    const double values[6] = {l.dt, l.discount, l.growth, l.pUp, l.up, l.down};
    const UINT dims = SafeArrayGetDim(*parameters);
    std::vector<LONG> index(dims < 2 ? 2 : dims, 0);
    for (LONG i = 0; i < 6; ++i) {
      index[0] = i;
      if (!Put(*parameters, index.data(), values[i])) return kDisplayWrite;
    }
    return LORVEX_OK;
  });
}
