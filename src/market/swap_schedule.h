// An interest-rate swap as a fixed and a floating leg of periods between a
// start and an end date, each leg laid backwards from the end date at its
// own frequency. A first stub shorter than half a period is folded into the
// following period (see CountPeriodsWithStubRule).
//
// Every valuation discounts with DF(t) = exp(-r(t) * (t - a) / 365) on the
// curve observed at date a, counts only what accrues after the cutoff date
// c, and moves every period date by `shift` days first (0 for a plain swap).
#pragma once

#include <vector>

#include "market/cash_flow_schedule.h"

namespace lorvex {

class ZeroCurve;

struct FixedPeriod {
  int start;               // JDN, accrual start
  int end;                 // JDN, payment date
  double amount;           // notional * fixed rate
  double accrualFraction;  // (end - start) / 365
};

struct FloatingPeriod {
  int start;               // JDN, reset and accrual start
  int end;                 // JDN, payment date
  double signedNotional;   // -notional: the floating leg is paid
  double spread;           // added to the floating rate, decimal
  double accrualFraction;  // (end - start) / 365
};

class SwapSchedule : public CashFlowSchedule {
 public:
  SwapSchedule() = default;
  // Notional A, fixed rate K, floating spread C, start S and end M (JDNs),
  // fixed and floating payments a year (1, 2, 4 or 12 each). An end on or
  // before the start gives two empty legs and no error; an unaccepted
  // frequency leaves that leg empty with status -1 (the other leg is still
  // built).
  SwapSchedule(double notional, double fixedRate, double spread, int start, int end,
               int fixedPerYear, int floatingPerYear);

  // The later of the two legs' last payment dates (0 when both are empty).
  int FinalDate() const override;

  // Value of receiving the fixed leg: sum of amount * accrual * DF(end) over
  // the periods ending after c; a period running across c accrues from c.
  double FixedLegValue(int shift, int a, int c, const ZeroCurve& curve) const;
  // Value of paying the floating leg at the forward rates of the curve plus
  // the spread: sum of -A * (DF(start) - DF(end) + spread * accrual * DF(end)),
  // with a period running across c reset at c.
  double FloatingLegValue(int shift, int a, int c, const ZeroCurve& curve) const;
  // Receive fixed, pay floating.
  double SwapValue(int shift, int a, int c, const ZeroCurve& curve) const;
  // Fixed leg value per unit of fixed rate (it includes the notional); 0 when
  // the fixed rate is 0.
  double Annuity(int shift, int a, int c, const ZeroCurve& curve) const;
  // The fixed rate that makes the swap worth 0: -floating leg / annuity, or 0
  // when the annuity is 0.
  double ForwardRate(int shift, int a, int c, const ZeroCurve& curve) const;

  int FixedCount() const { return static_cast<int>(fixed_.size()); }
  int FloatingCount() const { return static_cast<int>(floating_.size()); }
  const std::vector<FixedPeriod>& FixedPeriods() const { return fixed_; }
  const std::vector<FloatingPeriod>& FloatingPeriods() const { return floating_; }
  double FixedRate() const { return fixedRate_; }
  // 0, or -1 after a rejected leg. Owners test it right after construction;
  // valuing an empty leg gives 0 and leaves it alone.
  int status() const { return status_; }

 private:
  std::vector<FixedPeriod> fixed_;
  std::vector<FloatingPeriod> floating_;
  double fixedRate_ = 0.0;
  int status_ = 0;
};

}  // namespace lorvex
