// Market inputs the tree pricers share, and the set-up every tree pricer
// starts from.
#pragma once

#include <new>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "market/zero_curve.h"

namespace lorvex {

// Adds each date to the curve at the curve's own rate there, all rates
// read from the curve as given (before any of the dates is added), so the
// curve's values are unchanged while its points gain the instrument's
// dates, which the tree then makes level dates. A date already present
// keeps its point. Returns 0, or -1 when memory runs out.
int InsertDatesAtCurveRates(ZeroCurve& curve, const std::vector<double>& dates);

// The three one-point lists every tree export builds: mean reversion
// {(t0, a)}, volatility {(t0, sigma)} (sigma <= 0 priced with 1e-6) and the
// shape points {(0.01, 0.01)}, under which the shape kind is lognormal.
struct TreeModelLists {
  ZeroCurve meanReversion;
  ZeroCurve volatility;
  ZeroCurve shapePoints;
  // -1 when any list ran out of memory.
  int status() const {
    return meanReversion.status() != 0 || volatility.status() != 0 || shapePoints.status() != 0 ? -1 : 0;
  }
};
TreeModelLists MakeTreeModelLists(double valuationDate, double sigma, double a);

// The build arguments every tree pricer shares: the tree runs from the
// valuation date to endDate on the given curve, model lists and exercise
// dates, with steps a year (not equal steps to the expiry) and node curves
// read on every level. Pricers change what differs. The arguments point at
// the lists, which the tree copies when it is built.
TreeBuildArgs TreeArgsOnMarket(int kind, int stepCount, double valuationDate, double endDate,
                               const ZeroCurve& exercise, const ZeroCurve& curve,
                               const TreeModelLists& lists);

// What every tree pricer builds before its lattice: a copy of the caller's
// curve (the caller's own is never changed), to which the instrument adds
// its period dates, and the one-point model lists. An instrument's set-up
// derives from it and adds its schedule and exercise list.
class TreeSetup {
 public:
  // 0; -1 when memory ran out; an instrument's own code for a schedule it
  // rejects.
  int status() const { return status_; }

  ZeroCurve curve;  // the caller's curve with the instrument's dates added
  TreeModelLists lists;

 protected:
  TreeSetup(const ZeroCurve& marketCurve, double valuationDate, double sigma, double a)
      : curve(marketCurve), lists(MakeTreeModelLists(valuationDate, sigma, a)) {}

  // Adds the start and end date of every period of the lists (anything with
  // start and end) at the curve's own rates, all read before any is added.
  template <class... PeriodLists>
  void AddPeriodDates(const PeriodLists&... periods) {
    std::vector<double> dates;
    try {
      dates.reserve(2 * (periods.size() + ... + 0));
    } catch (const std::bad_alloc&) {
      Fail(-1);
      return;
    }
    (AppendPeriodDates(periods, dates), ...);
    if (InsertDatesAtCurveRates(curve, dates) != 0) Fail(-1);
  }
  // Keeps the first failure.
  void Fail(int status) {
    if (status_ == 0) status_ = status;
  }
  // After the instrument's own checks: -1 when a list ran out of memory.
  void CheckLists(const ZeroCurve& exerciseList) {
    if (curve.status() != 0 || exerciseList.status() != 0 || lists.status() != 0) Fail(-1);
  }

 private:
  template <class Periods>
  static void AppendPeriodDates(const Periods& periods, std::vector<double>& dates) {
    for (const auto& p : periods) {
      dates.push_back(p.start);
      dates.push_back(p.end);
    }
  }

  int status_ = 0;
};

}  // namespace lorvex
