#include "market/bond_schedule.h"

#include <gtest/gtest.h>

#include <cmath>

#include "market/calendar.h"
#include "market/zero_curve.h"
#include "test_arrays.h"

namespace lorvex {
namespace {

using lorvex_test::Flat;

TEST(BondSchedule, CouponDatesStepBackFromMaturityKeepingMonthEnds) {
  // Maturity 31 August 2003, semi-annual: 28/29 February and 31 August.
  const int maturity = DateToJdn(31, 8, 2003);
  BondSchedule bond(100, 0.05, DateToJdn(1, 1, 2002), maturity, 2);
  ASSERT_EQ(bond.Count(), 4);
  const int expectedEnds[] = {DateToJdn(28, 2, 2002), DateToJdn(31, 8, 2002),
                              DateToJdn(28, 2, 2003), maturity};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(bond[i].end, expectedEnds[i]);
    EXPECT_EQ(bond[i].start, i == 0 ? DateToJdn(1, 1, 2002) : expectedEnds[i - 1]);
    EXPECT_EQ(bond[i].coupon, 2.5);
    EXPECT_EQ(bond[i].principal, i == 3 ? 100.0 : 0.0);
  }
  EXPECT_EQ(bond.FinalDate(), maturity);
}

TEST(BondSchedule, RejectedFrequencyAndEmptySchedules) {
  const int start = 2451545;
  for (int f : {0, 3, 6, -1}) {
    BondSchedule bond(100, 0.05, start, start + 800, f);
    EXPECT_EQ(bond.Count(), 0) << f;
    EXPECT_EQ(bond.status(), -1);
  }
  // A bond without flows is worth nothing and accrues nothing; querying it
  // is no error.
  const BondSchedule empty(100, 0.05, start, start, 2);
  const ZeroCurve curve = Flat(0.05);
  EXPECT_EQ(empty.ForwardPrice(start, start, curve), 0.0);
  EXPECT_EQ(empty.PriceFromYield(start, 0.05), 0.0);
  EXPECT_EQ(empty.AccruedInterest(start), 0.0);
  EXPECT_EQ(empty.status(), 0);
}

TEST(BondSchedule, DirtyPriceOnAFlatCurveIsTheDiscountedFlows) {
  const int valuation = DateToJdn(30, 6, 2000);  // a coupon date
  BondSchedule bond(100, 0.06, DateToJdn(31, 12, 1999), DateToJdn(31, 12, 2003), 2);
  const double r = 0.045;
  ZeroCurve curve = Flat(r);
  double expected = 0.0;
  for (const CouponPeriod& p : bond.Periods()) {
    if (p.end > valuation) expected += (p.coupon + p.principal) * std::exp(-r * (p.end - valuation) / 365.0);
  }
  EXPECT_NEAR(bond.ForwardPrice(valuation, valuation, curve), expected, 1e-12);
  EXPECT_EQ(bond.AccruedInterest(valuation), 0.0);
}

// A forward price is today's value carried forward: ForwardPrice(a, b) times
// the discount factor to b equals today's value of the flows after b.
TEST(BondSchedule, ForwardPriceCarriesTodaysValueForward) {
  const double xs[] = {2451545, 2452000, 2453500};
  const double ys[] = {0.03, 0.05, 0.06};
  ZeroCurve curve(3, xs, ys);
  BondSchedule bond(100, 0.07, 2451400, 2453900, 4);
  const int a = 2451545;
  for (int b : {2451545, 2451700, 2452222, 2453000}) {
    double after = 0.0;
    for (const CouponPeriod& p : bond.Periods()) {
      if (p.end > b) after += (p.coupon + p.principal) * std::exp(-curve.Interpolate(p.end) * (p.end - a) / 365.0);
    }
    const double df = std::exp(-curve.Interpolate(b) * (b - a) / 365.0);
    EXPECT_NEAR(bond.ForwardPrice(a, b, curve) * df, after, 1e-11) << b;
  }
}

TEST(BondSchedule, PriceFromYieldAtTheAccrualStartIsThePlainAnnuity) {
  const int start = DateToJdn(1, 1, 2000);
  BondSchedule bond(100, 0.08, start, DateToJdn(1, 1, 2005), 2);
  const double y = 0.07;
  double expected = 0.0;
  for (int k = 1; k <= 10; ++k) expected += (k == 10 ? 104.0 : 4.0) / std::pow(1.035, k);
  EXPECT_NEAR(bond.PriceFromYield(start, y), expected, 1e-11);
  // A bond whose coupon equals its yield prices at par on a coupon date.
  EXPECT_NEAR(bond.PriceFromYield(DateToJdn(1, 7, 2002), 0.08), 100.0 + 0.0, 1e-10);
}

TEST(BondSchedule, AccruedInterestRunsLinearlyThroughThePeriod) {
  BondSchedule bond(100, 0.06, DateToJdn(2, 7, 1999), DateToJdn(2, 7, 2002), 2);
  const int s = DateToJdn(2, 7, 1999);
  EXPECT_NEAR(bond.AccruedInterest(s + 183), 3.0 * 183 / 184, 1e-15);
  EXPECT_EQ(bond.AccruedInterest(s), 0.0);
  EXPECT_EQ(bond.AccruedInterest(DateToJdn(2, 7, 2002)), 0.0);  // after the last period
}

}  // namespace
}  // namespace lorvex
