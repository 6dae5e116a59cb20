#include "boundary/display_arrays.h"

#include <initializer_list>

#include "lorvex/lorvex.h"

namespace lorvex {

namespace {

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

bool Present(SAFEARRAY** array) { return array != nullptr && *array != nullptr; }

}  // namespace

std::int32_t CheckDisplayArrays(const DisplayArrays& a) {
  if (!Present(a.first) || !Present(a.second)) return LORVEX_DISPLAY_ABSENT;
  if (SafeArrayGetDim(*a.first) != 2 || SafeArrayGetDim(*a.second) != 2) return LORVEX_DISPLAY_DIMENSIONS;
  if (a.thirdTwoDimensional && Present(a.third) && SafeArrayGetDim(*a.third) != 2) {
    return LORVEX_DISPLAY_DIMENSIONS;
  }
  long long first = 0;
  long long second = 0;
  long long third = 0;
  if (!RowSpan(a.first, &first) || !RowSpan(a.second, &second) || !RowSpan(a.third, &third)) {
    return LORVEX_DISPLAY_BOUNDS;
  }
  if (first < a.firstSpan || second < a.secondSpan || third < a.thirdSpan) return LORVEX_DISPLAY_TOO_SMALL;
  for (SAFEARRAY** array : {a.first, a.second, a.third}) {
    if ((*array)->cbElements != sizeof(double)) return LORVEX_DISPLAY_WRITE;
  }
  return LORVEX_OK;
}

bool PutCell(SAFEARRAY* array, LONG* index, double value) {
  return SafeArrayPutElement(array, index, &value) == S_OK;
}

}  // namespace lorvex
