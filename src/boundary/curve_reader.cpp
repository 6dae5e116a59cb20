#include "boundary/curve_reader.h"

#include <cmath>
#include <vector>

#include "lorvex/lorvex.h"
#include "market/constants.h"
#include "market/zero_curve.h"

namespace lorvex {

int ReadCurveArray(SAFEARRAY** array, ZeroCurve& curve, bool datesAreSerials) {
  if (array == nullptr || *array == nullptr) return LORVEX_CURVE_ABSENT;
  SAFEARRAY* psa = *array;
  if (SafeArrayGetDim(psa) != 2) return LORVEX_CURVE_DIMENSIONS;
  if (psa->cbElements != sizeof(double)) return LORVEX_CURVE_ELEMENT;

  LONG lower = 0;
  LONG upper = 0;
  if (SafeArrayGetLBound(psa, 1, &lower) != S_OK || SafeArrayGetUBound(psa, 1, &upper) != S_OK) {
    return LORVEX_CURVE_BOUNDS;
  }
  if (lower > upper) return LORVEX_OK;

  std::vector<double> xs;
  std::vector<double> ys;
  int status = LORVEX_OK;
  for (long long row = lower; row <= upper; ++row) {
    LONG index[2] = {static_cast<LONG>(row), 0};
    double x = 0.0;
    double y = 0.0;
    if (SafeArrayGetElement(psa, index, &x) != S_OK) {
      status = LORVEX_CURVE_ELEMENT;
      break;
    }
    index[1] = 1;
    if (SafeArrayGetElement(psa, index, &y) != S_OK) {
      status = LORVEX_CURVE_ELEMENT;
      break;
    }
    if (!std::isfinite(x) || !std::isfinite(y)) {
      status = LORVEX_BAD_ARGUMENT;
      break;
    }
    xs.push_back(datesAreSerials ? x + kSerialToJdn : x);
    ys.push_back(y);
  }
  // Rows read before a failure stay in the curve, as with one-by-one
  // insertion; the sorted build gives the same curve in O(n log n).
  curve = ZeroCurve(static_cast<int>(xs.size()), xs.data(), ys.data());
  if (curve.status() != 0) return LORVEX_CURVE_BOUNDS;
  return status;
}

}  // namespace lorvex
