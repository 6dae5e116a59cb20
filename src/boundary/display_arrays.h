// The checks both display exports make on their three output arrays before
// the first write, so that a refusal leaves the caller's arrays as they were.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lorvex/safearray.h"

namespace lorvex {

struct DisplayArrays {
  SAFEARRAY** first;   // required, two-dimensional
  SAFEARRAY** second;  // required, two-dimensional
  SAFEARRAY** third;   // its bounds must be readable (a missing one gives -6)
  long long firstSpan, secondSpan, thirdSpan;  // minimum upper minus lower bound of dimension 1
  // Cells of the third are addressed (row, column): a present array of
  // another dimension count would read past the index pair (-5).
  bool thirdTwoDimensional;
};

// 0; -4 the first or second array missing; -5 either (or a present third
// that must be) not two-dimensional; -6 a bound unreadable; -7 an array
// below its minimum; -8 an array whose elements are not 8-byte doubles (a
// cell written as a double would be truncated or overrun).
std::int32_t CheckDisplayArrays(const DisplayArrays& arrays);

// Writes one double at the index vector; false when the array rejects it.
bool PutCell(SAFEARRAY* array, LONG* index, double value);

// Writes one row of a two-dimensional array at absolute indices from 0,
// whatever the array's lower bounds; false at the first cell the array
// rejects (the cells before it keep their new values).
template <std::size_t N>
bool PutRow(SAFEARRAY* array, LONG row, const double (&cells)[N]) {
  for (std::size_t c = 0; c < N; ++c) {
    LONG index[2] = {row, static_cast<LONG>(c)};
    if (!PutCell(array, index, cells[c])) return false;
  }
  return true;
}

}  // namespace lorvex
