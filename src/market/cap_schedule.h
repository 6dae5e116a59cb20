// A cap or floor as a list of caplets, each fixing a simple rate at its start
// (reset) date and paying at its end date, laid backwards from the end date
// with the swap legs' stub rule: a first stub shorter than half a period is
// folded into the following caplet.
#pragma once

#include <vector>

#include "market/cash_flow_schedule.h"

namespace lorvex {

class ZeroCurve;

struct CapletPeriod {
  int start;               // JDN, reset date and accrual start
  int end;                 // JDN, payment date
  double notional;
  double capRate;          // strike rate, decimal
  double accrualFraction;  // tau = (end - start) / 365
  double extra;            // carried with the caplet, read by no pricer
};

class CapSchedule : public CashFlowSchedule {
 public:
  CapSchedule() = default;
  // Notional, cap rate, start S and end M (JDNs), payments a year (1, 2, 4
  // or 12; otherwise empty with status -1). An end on or before the start
  // gives an empty cap and no error. `extra` is stored with every caplet.
  CapSchedule(double notional, double capRate, int start, int end, int perYear, double extra);

  // End of the last caplet (0 when empty).
  int FinalDate() const override { return caplets_.empty() ? 0 : caplets_.back().end; }

  // Simple forward rate of caplet `index` (from 0) on the curve observed at
  // d: (DF(start) / DF(end) - 1) / tau with DF(t) = exp(-r(t) (t - d) / 365).
  // A caplet that does not exist gives 0.
  double CapletForwardRate(int index, double d, const ZeroCurve& curve) const;

  // Index of the caplet accruing on `date` (start <= date < end), or -1 when
  // the date lies before the first start, on or after the last end, or the
  // cap is empty.
  int CapletIndexAt(int date) const;

  // What caplet `index` pays at its end, valued at d on the curve seen from
  // d: N tau (F - K) DF(end) with F = (DF(start) / DF(end) - 1) / tau and
  // DF(t) = exp(-r(t) (t - d) / 365). Positive when the forward is above the
  // cap rate: the cap takes its positive part, the floor that of its
  // negative. A caplet that does not exist gives 0.
  double CapletPayoff(int index, double d, const ZeroCurve& curve) const;
  // The same from the two discount factors DF(start) and DF(end), however
  // they were read.
  double CapletPayoffFromDiscounts(int index, double dfStart, double dfEnd) const;

  // Empties `resets`, then inserts (start, 0.0) for every caplet: the reset
  // dates on which a tree settles the caplets. Returns 0, or -1 for an empty
  // cap (a tree has nothing to settle) or a failed insertion, which is also
  // kept in status() for the owner that builds the tree.
  int CapResetSchedule(ZeroCurve& resets);

  int Count() const { return static_cast<int>(caplets_.size()); }
  const CapletPeriod& operator[](int i) const { return caplets_[static_cast<std::size_t>(i)]; }
  const std::vector<CapletPeriod>& Caplets() const { return caplets_; }
  // 0, or -1 after a rejected construction or reset list. Owners test it
  // right after construction.
  int status() const { return status_; }

 private:
  std::vector<CapletPeriod> caplets_;
  int status_ = 0;
};

}  // namespace lorvex
