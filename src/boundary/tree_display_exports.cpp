// The Hull-White tree of a bond option copied into caller arrays, so that a
// spreadsheet can draw it: one row per level, one per node, and the
// branching probabilities of the last step before the expiry.
#include <algorithm>
#include <cstdint>

#include "boundary/curve_reader.h"
#include "boundary/dates.h"
#include "boundary/export_guard.h"
#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.h"
#include "market/zero_curve.h"
#include "treepricing/bond_tree_setup.h"
#include "treepricing/tree_bond_option.h"

using namespace lorvex;

namespace {

// A tree small enough to draw: at most this many equal steps to the expiry,
// so at most 11 levels and 1 + 3 + ... + 21 = 121 nodes.
constexpr int kDisplaySteps = 10;
constexpr int kDisplaySlots = 3;  // option value, dirty bond price, exercise flag

// Minimum spans (upper minus lower bound) of the first dimension.
constexpr long long kNodeSpan = 120;
constexpr long long kLevelSpan = 10;
constexpr long long kProbabilitySpan = 20;

constexpr int32_t kDisplayAbsent = -4;
constexpr int32_t kDisplayDimensions = -5;
constexpr int32_t kDisplayBounds = -6;
constexpr int32_t kDisplayTooSmall = -7;
constexpr int32_t kDisplayWrite = -8;

// Span of dimension 1, or false when a bound cannot be read (a missing
// array included).
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

// Every check made before the first write, so that a refusal leaves the
// caller's arrays as they were.
int32_t CheckDisplayArrays(SAFEARRAY** nodes, SAFEARRAY** levels, SAFEARRAY** probabilities) {
  if (nodes == nullptr || *nodes == nullptr || levels == nullptr || *levels == nullptr) return kDisplayAbsent;
  if (SafeArrayGetDim(*nodes) != 2 || SafeArrayGetDim(*levels) != 2) return kDisplayDimensions;
  // Cells are addressed (row, column): a probability array of one dimension
  // would take all three probabilities of a node in one cell, one of three
  // would read an index past the pair handed to it. A missing probability
  // array is left to the bounds query below.
  if (probabilities != nullptr && *probabilities != nullptr && SafeArrayGetDim(*probabilities) != 2) {
    return kDisplayDimensions;
  }
  long long nodeSpan = 0;
  long long levelSpan = 0;
  long long probabilitySpan = 0;
  if (!RowSpan(nodes, &nodeSpan) || !RowSpan(levels, &levelSpan) || !RowSpan(probabilities, &probabilitySpan)) {
    return kDisplayBounds;
  }
  if (nodeSpan < kNodeSpan || levelSpan < kLevelSpan || probabilitySpan < kProbabilitySpan) return kDisplayTooSmall;
  // A cell is written as an 8-byte double: an array of smaller elements
  // would keep a truncated number, so it is refused before any write.
  for (SAFEARRAY** a : {nodes, levels, probabilities}) {
    if ((*a)->cbElements != sizeof(double)) return kDisplayWrite;
  }
  return LORVEX_OK;
}

// Writes one row at absolute indices from 0, whatever the array's lower
// bounds; false at the first cell the array rejects.
template <std::size_t N>
bool PutRow(SAFEARRAY* array, LONG row, const double (&cells)[N]) {
  for (std::size_t c = 0; c < N; ++c) {
    LONG index[2] = {row, static_cast<LONG>(c)};
    double value = cells[c];
    if (SafeArrayPutElement(array, index, &value) != S_OK) return false;
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
    // Fewer than one step is left to the tree, which refuses it as the
    // option export's tree does.
    terms.stepCount = std::min(stepCount, static_cast<int32_t>(kDisplaySteps));
    terms.kind = kind;
    terms.slotCount = kDisplaySlots;
    BondTreeSetup setup(terms, curve);
    if (setup.status() != 0) return LORVEX_TREE_BUILD;
    HullWhiteTree tree(setup.Args());
    if (tree.status() != 0) return LORVEX_TREE_BUILD;
    // Fills every node's three slots; the root value itself is not reported.
    TreeNodeSlots slots;
    TreeBondOptionRollback(setup.exercise, terms.isAmerican, callFlag != 1, setup.bond, tree, cleanStrikeFlag == 1,
                           &slots);

    const int32_t arrays = CheckDisplayArrays(nodeArray, levelArray, probabilityArray);
    if (arrays != LORVEX_OK) return arrays;

    // The first write an array rejects stops the copy; rows already written
    // keep their values.
    const int expiryLevel = tree.expiryLevel();
    const double t0 = terms.valuation;
    LONG row = 0;
    for (int i = 0; i <= expiryLevel; ++i) {
      const double date = tree.LevelDate(i);
      const int count = tree.LevelNodeCount(i);
      const double level[3] = {(date - t0) / 365.0, setup.bond.AccruedInterest(date), static_cast<double>(count)};
      if (!PutRow(*levelArray, static_cast<LONG>(i), level)) return kDisplayWrite;
      for (int j = 0; j < count; ++j, ++row) {
        const double node[4] = {slots.NodeValue(i, j, 0), slots.NodeValue(i, j, 1), slots.NodeValue(i, j, 2),
                                tree.NodeRate(i, j)};
        if (!PutRow(*nodeArray, row, node)) return kDisplayWrite;
      }
    }
    // The branching of the last step: from the level before the expiry.
    if (expiryLevel >= 1) {
      const int last = expiryLevel - 1;
      for (int j = 0; j < tree.LevelNodeCount(last); ++j) {
        const double p[3] = {tree.UpProbability(last, j), tree.MiddleProbability(last, j),
                             tree.DownProbability(last, j)};
        if (!PutRow(*probabilityArray, static_cast<LONG>(j), p)) return kDisplayWrite;
      }
    }
    return LORVEX_OK;
  });
}
