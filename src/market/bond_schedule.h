// A fixed-coupon bond as a list of coupon periods laid backwards from
// maturity. The first period runs from the accrual start to the first coupon
// date however long or short it is, and pays the full coupon.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "market/cash_flow_schedule.h"
#include "market/discount_table.h"

namespace lorvex {

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

// What bonds priced on one curve from one day t share: the discount factor
// of each payment day (a DiscountTable), and the payment dates of each
// schedule. A bond accruing since t or before pays after t on dates that
// its maturity and frequency alone give, so these are laid once per
// maturity and frequency, as days from t, and the bonds after skip the
// calendar: for maturities up to 100 years, and up to kMaxOffsets dates in
// all (2 MiB, with at most 1.2 MB of index and the days' 292 kB). Other
// bonds walk their dates as BondCleanPrice does. The curve must outlive the
// table and stay unchanged. Not for sharing between threads: a lookup may
// write.
class BondFlowTable {
 public:
  static constexpr std::size_t kMaxOffsets = std::size_t{1} << 20;

  // The dates of one schedule: Offsets(flows)[0] days from the date the
  // walk back from the maturity stops at (the last on or before t) to t,
  // then, for each of the `count` flows after t, oldest first, its days
  // after t.
  struct Flows {
    int first;
    int count;  // -1: not laid yet
  };

  BondFlowTable(const ZeroCurve& curve, int t);
  int Valuation() const { return days_.Valuation(); }
  DiscountTable& Days() { return days_; }

  // The flows after t of a bond of this maturity and accepted frequency,
  // laid at the first call; nullptr for a maturity not after t or more than
  // 100 years after, or once kMaxOffsets dates are held.
  const Flows* Find(int maturity, int couponsPerYear) {
    const long long days = static_cast<long long>(maturity) - days_.Valuation();
    if (days <= 0 || days > DiscountTable::kMaxTableDays) return nullptr;
    // Frequencies 1, 2, 4 and 12 have rows 0 to 3.
    std::vector<Flows>& row = schedules_[couponsPerYear == 12 ? 3 : couponsPerYear >> 1];
    const auto index = static_cast<std::size_t>(days);
    if (index < row.size() && row[index].count >= 0) return &row[index];
    return Remember(maturity, couponsPerYear, row, index);
  }
  const std::uint16_t* Offsets(const Flows& flows) const { return offsets_.data() + flows.first; }

 private:
  const Flows* Remember(int maturity, int couponsPerYear, std::vector<Flows>& row, std::size_t index);

  DiscountTable days_;
  std::vector<Flows> schedules_[4];     // per frequency, by days from t to the maturity
  std::vector<std::uint16_t> offsets_;  // the schedules laid, one after another
};

// BondCleanPrice at t = table.Valuation() on the table's curve, to the last
// bit: the same flows and factors, added in the same order.
double BondCleanPrice(double face, double couponRate, int accrualStart, int maturity, int couponsPerYear,
                      BondFlowTable& table);

}  // namespace lorvex
