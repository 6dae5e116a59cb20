// Reads a caller's two-column array of doubles into a ZeroCurve.
#pragma once

#include "lorvex/safearray.h"

namespace lorvex {

class ZeroCurve;

// Rows are dimension 1, from its lower to its upper bound; the columns are
// read at the literal indices 0 (x) and 1 (y) of dimension 2, so a second
// dimension declared 1 To 2 fails at the first row. With datesAreSerials the
// x column holds spreadsheet serials and becomes Julian days (+2415019, a
// fractional serial keeps its fraction); otherwise x is used as it stands
// (the equity exports: years and cash dividends).
//
// Returns 0; -4 no array; -5 not two-dimensional; -2 elements that are not
// 8-byte numbers (reading them as doubles would run past the caller's
// memory) or an unreadable element; -1 unreadable row bounds; -9 a value
// that is not a finite number. A repeated x keeps the first row's y; rows
// may come in any order; an array with no rows gives an empty curve.
int ReadCurveArray(SAFEARRAY** array, ZeroCurve& curve, bool datesAreSerials);

}  // namespace lorvex
