// A fixed-coupon bond as a list of coupon periods laid backwards from
// maturity. The first period runs from the accrual start to the first coupon
// date however long or short it is, and pays the full coupon.
#pragma once

#include <vector>

#include "market/cash_flow_schedule.h"

namespace lorvex {

class DiscountTable;
class ZeroCurve;

struct CouponPeriod {
  int start;         // JDN, accrual start
  int end;           // JDN, payment date
  double coupon;     // paid at end
  double principal;  // face in the last period, 0 before
};

class BondSchedule : public CashFlowSchedule {
 public:
  BondSchedule() = default;
  // Face A, annual coupon rate R (decimal), accrual start S and maturity M
  // (JDNs), f coupons a year (1, 2, 4 or 12; otherwise empty with status -1).
  // M <= S gives an empty schedule that prices to 0.
  BondSchedule(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear);
  void Build(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear);

  int FinalDate() const override { return periods_.empty() ? 0 : periods_.back().end; }

  // The queries below are worth 0 on an empty schedule (a bond without
  // flows), whether it is empty by its dates or by a rejected frequency:
  // status() tells the two apart once, after construction.

  // Dirty value at date b of the flows paid strictly after b, discounted on
  // the curve as seen from date a: sum of flows * DF_a(end) / DF_a(b).
  double ForwardPrice(int a, int b, const ZeroCurve& curve) const;
  // Dirty price at date a for an annual yield y compounded f times a year,
  // with the fraction of the current period already run as the first
  // exponent's offset.
  double PriceFromYield(int a, double yield) const;
  // Coupon accrued at t in the period containing it (start <= t < end), 0
  // when no period contains t.
  double AccruedInterest(double t) const;

  int Count() const { return static_cast<int>(periods_.size()); }
  const std::vector<CouponPeriod>& Periods() const { return periods_; }
  const CouponPeriod& operator[](int i) const { return periods_[static_cast<std::size_t>(i)]; }
  // 0, or -1 after a rejected frequency or a failed allocation.
  int status() const { return status_; }

 private:
  std::vector<CouponPeriod> periods_;
  int couponsPerYear_ = 0;
  int status_ = 0;
};

// The clean price at date t of BondSchedule(face, couponRate, accrualStart,
// maturity, couponsPerYear) on the curve as seen from t, that is
// ForwardPrice(t, t, curve) - AccruedInterest(t), to the last bit, without
// building the schedule: the periods are laid on the fly from one
// decomposition of the maturity, oldest first, the curve is read with a
// cursor, and nothing is allocated. The price of HW_BondPrice.
double BondCleanPrice(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear, int t,
                      const ZeroCurve& curve);
// The same price, to the last bit, at t = discounts.Valuation() on the
// table's curve: each payment day's discount factor is computed once for
// all the bonds priced with the table.
double BondCleanPrice(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear,
                      DiscountTable& discounts);

}  // namespace lorvex
