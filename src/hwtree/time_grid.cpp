#include "hwtree/time_grid.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace lorvex {

namespace {

constexpr double kEightPerYear = 0.021917808219178082;  // 8 / 365: steps past the lattice
constexpr double kLongStepDays = 45.625;                 // 365 / 8
constexpr double kSnapDays = 5.0;
constexpr double kNoDistance = 1e15;

// Sorted set of dates: ascending, no exact repeats.
void SortUnique(std::vector<double>& dates) {
  if (!std::is_sorted(dates.begin(), dates.end())) std::sort(dates.begin(), dates.end());
  dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
}

std::vector<double> MergeSets(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> out;
  out.reserve(a.size() + b.size());
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

// Inside the lattice a maturity moves to its nearest grid date, a tie going
// to the earlier one: walking the grid from the start, the distance falls
// until the grid passes the date and the walk stops at the first distance
// that does not fall. Grid dates are far enough apart (the length limit
// keeps steps above 1e-8 days) for the distances before the date to fall
// strictly, so the walk can start at the date's neighbours.
double SnapInsideLattice(double date, const std::vector<double>& grid) {
  const auto upper = std::upper_bound(grid.begin(), grid.end(), date);
  if (upper == grid.begin()) {
    // The first grid date is the nearest; a date so far before it that no
    // distance is smaller than the initial bound stays where it is (and is
    // dropped as lying before the valuation date).
    return std::fabs(date - grid.front()) >= kNoDistance ? date : grid.front();
  }
  const double below = *(upper - 1);
  if (upper == grid.end()) return below;
  const double above = *upper;
  return std::fabs(date - above) < std::fabs(date - below) ? above : below;
}

// A date moves onto every grid date it comes within 5 days of, in grid
// order, measuring from where it has already moved.
double SnapWithinFiveDays(double date, const std::vector<double>& grid) {
  // Grid dates more than 5 days before the date cannot move it.
  auto q = std::partition_point(grid.begin(), grid.end(),
                                [date](double g) { return g < date && date - g >= kSnapDays; });
  for (; q != grid.end(); ++q) {
    if (std::fabs(date - *q) < kSnapDays) {
      date = *q;
    } else if (*q > date) {
      break;  // every later grid date is further still
    }
  }
  return date;
}

// A maturity less than 5 days past latticeEnd (the uniform grid ends
// there, so every grid date lies before it) first moves onto the earliest
// grid date within 5 days. From then on it lies inside the lattice, and
// the rest of the walk looks for the nearest of the grid dates that follow
// (a tie to the earlier one), as for any date inside: with steps of 5 days
// or more that is latticeEnd itself, with shorter steps the walk stops as
// soon as the distance stops falling, on the grid date after the first one
// it moved to.
double SnapPastLattice(double date, const std::vector<double>& grid) {
  auto first = std::partition_point(grid.begin(), grid.end(),
                                    [date](double g) { return date - g >= kSnapDays; });
  if (first == grid.end()) return date;
  auto k = static_cast<std::size_t>(first - grid.begin());
  date = grid[k];
  double best = kNoDistance;
  for (++k; k < grid.size(); ++k) {
    const double d = std::fabs(date - grid[k]);
    if (d >= best) return grid[k - 1];
    best = d;
    if (k + 1 == grid.size()) return grid[k];
  }
  return date;
}

// Walks consecutive grid dates (prev, cur) and splits each gap the rule
// asks for into n + 1 equal parts. Returns false beyond maxDates.
template <class PartsOf>
bool Subdivide(std::vector<double>& grid, std::size_t maxDates, PartsOf partsOf) {
  std::size_t added = 0;
  for (std::size_t k = 1; k < grid.size(); ++k) {
    const double n = partsOf(grid[k - 1], grid[k]);
    if (n > static_cast<double>(maxDates)) return false;
    added += static_cast<std::size_t>(n);
    if (grid.size() + added > maxDates) return false;
  }
  if (added == 0) return true;
  std::vector<double> out;
  out.reserve(grid.size() + added);
  out.push_back(grid.front());
  for (std::size_t k = 1; k < grid.size(); ++k) {
    const double prev = grid[k - 1];
    const double cur = grid[k];
    const double n = partsOf(prev, cur);
    const double gap = cur - prev;
    for (double j = 1.0; j <= n; j += 1.0) out.push_back(prev + j * gap / (n + 1.0));
    out.push_back(cur);
  }
  grid.swap(out);
  return true;
}

}  // namespace

TimeGrid BuildTimeGrid(const TimeGridInput& in) {
  TimeGrid g;
  g.status = -1;
  if (in.stepCount < 1 || in.exerciseDates.empty() || in.curveDates.empty()) return g;
  const double t0 = in.startDate;
  const double stepsN = static_cast<double>(in.stepCount);
  try {
    // The maturity list is the zero curve up to and including its first
    // date on or after the end date; the tree reaches no further.
    std::vector<double> maturities;
    maturities.push_back(in.curveDates.front());
    for (std::size_t k = 1; k < in.curveDates.size(); ++k) {
      if (in.curveDates[k - 1] < in.endDate) maturities.push_back(in.curveDates[k]);
    }
    g.endDate = maturities.back();

    std::vector<double>& grid = g.dates;
    std::vector<double> snapped;
    snapped.reserve(maturities.size());
    if (in.uniform) {
      const double expiry = in.exerciseDates.back();
      if (!(expiry > t0)) return g;
      if (static_cast<double>(in.stepCount) + 2.0 > static_cast<double>(in.maxDates)) {
        g.tooLong = true;
        return g;
      }
      const double step = (expiry - t0) / stepsN;
      grid.reserve(static_cast<std::size_t>(in.stepCount) + 2);
      grid.push_back(t0);
      for (int i = 1; i < in.stepCount; ++i) grid.push_back(t0 + i * step);
      grid.push_back(expiry);
      g.latticeEnd = expiry + step;
      grid.push_back(g.latticeEnd);
      SortUnique(grid);
      if (g.endDate < g.latticeEnd) g.endDate = g.latticeEnd;
      for (double date : maturities) {
        snapped.push_back(date <= g.latticeEnd ? SnapInsideLattice(date, grid)
                                               : SnapPastLattice(date, grid));
      }
    } else {
      grid.push_back(t0);
      for (double d : in.exerciseDates) {
        if (d > t0) grid.push_back(d);
      }
      SortUnique(grid);
      g.latticeEnd = grid.back();
      if (g.endDate < g.latticeEnd) g.endDate = g.latticeEnd;
      for (double date : maturities) snapped.push_back(SnapWithinFiveDays(date, grid));
    }
    // Snapping keeps the order; two maturities on one grid date become one.
    for (double d : snapped) {
      if (t0 <= d && d <= g.endDate) g.maturities.push_back(d);
    }
    SortUnique(g.maturities);
    grid = MergeSets(grid, g.maturities);

    const double latticeEnd = g.latticeEnd;
    bool fits = false;
    if (in.uniform) {
      fits = Subdivide(grid, in.maxDates, [latticeEnd](double prev, double cur) {
        return prev >= latticeEnd ? std::floor((cur - prev) * kEightPerYear) : 0.0;
      });
    } else {
      const double shortStep = 365.0 / stepsN;
      fits = Subdivide(grid, in.maxDates, [latticeEnd, shortStep](double prev, double cur) {
        const double maxStep = cur <= latticeEnd ? shortStep : kLongStepDays;
        return std::floor((cur - prev) / maxStep);
      });
    }
    if (!fits || grid.size() > in.maxDates) g.tooLong = true;
    if (!fits || grid.size() < 2 || grid.size() > in.maxDates) return g;
  } catch (const std::bad_alloc&) {
    return g;
  }
  g.status = 0;
  return g;
}

}  // namespace lorvex
