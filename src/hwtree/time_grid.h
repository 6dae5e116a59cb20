// The dates of the Hull-White tree's levels.
//
// The grid holds the valuation date, the last exercise date and, as exact
// level dates, every maturity the node yields are computed for (the zero
// curve's dates, to which the pricers add the instrument's cash-flow
// dates); between them it places steps of bounded length. Maturities are
// moved onto grid dates first ("snapped"), so that every one of them is a
// level date.
//
// Uniform mode (bond options): N equal steps from the valuation date to the
// last exercise date, one more of the same length after it (to latticeEnd),
// then steps of at most 45.625 days. Per-year mode (swaptions, caps): every
// exercise date after the valuation date is a level date, steps of at most
// 365/N days up to the last exercise date and 45.625 days after it.
// All dates are Julian days held as doubles; generated dates are fractional.
#pragma once

#include <cstddef>
#include <vector>

namespace lorvex {

struct TimeGridInput {
  double startDate = 0.0;               // t0
  double endDate = 0.0;                 // last date the tree must reach
  int stepCount = 0;                    // N
  bool uniform = false;                 // uniform mode, else per-year mode
  std::vector<double> exerciseDates;    // ascending
  std::vector<double> curveDates;       // the zero curve's dates, ascending
  std::size_t maxDates = 0;             // refuse grids longer than this
};

struct TimeGrid {
  std::vector<double> dates;       // level dates, ascending
  std::vector<double> maturities;  // maturity dates, ascending; each is a level date
  double endDate = 0.0;            // possibly moved later
  double latticeEnd = 0.0;
  int status = 0;                  // 0, or -1: nothing usable
  bool tooLong = false;            // refused for passing maxDates
};

// Lays the grid. Fails (-1) for N < 1, an empty exercise list or curve, a
// uniform-mode last exercise date not after t0, fewer than two dates, or
// more than maxDates dates.
TimeGrid BuildTimeGrid(const TimeGridInput& in);

}  // namespace lorvex
