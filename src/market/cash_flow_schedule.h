// Common ground of the bond, swap and cap schedules: periods are laid
// backwards from the end date in whole steps of 12/f calendar months, each
// date taken from the end date itself (so 31 August steps to 28 February
// and back to 31 August, not to 28 August).
#pragma once

namespace lorvex {

class CashFlowSchedule {
 public:
  virtual ~CashFlowSchedule() = default;
  // The last date of the instrument (JDN).
  virtual int FinalDate() const = 0;

 protected:
  CashFlowSchedule() = default;
  CashFlowSchedule(const CashFlowSchedule&) = default;
  CashFlowSchedule& operator=(const CashFlowSchedule&) = default;
};

// Payments a year the schedules accept: 1, 2, 4 or 12.
inline bool IsAcceptedFrequency(int perYear) {
  return perYear == 1 || perYear == 2 || perYear == 4 || perYear == 12;
}

// Counts the scheduled dates d_k = AddMonths(end, -k * 12/perYear),
// k = 0, 1, ..., that fall after start, stopping at the first on or before
// it, which is stored in *onOrBefore. perYear must be accepted.
int CountScheduledDates(int start, int end, int perYear, int* onOrBefore);

// The same count with the swap and cap stub rule: a first stub from start to
// the first scheduled date shorter than half a period (more than 182.5/f
// days between that earlier date and start) is merged into the next period.
int CountPeriodsWithStubRule(int start, int end, int perYear);

// The j-th of n period ends (j from 0): AddMonths(end, -(n - 1 - j) * 12/f).
int ScheduledPeriodEnd(int end, int perYear, int n, int j);

}  // namespace lorvex
