#include "market/swap_schedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "market/calendar.h"
#include "market/zero_curve.h"
#include "test_arrays.h"

namespace lorvex {
namespace {

using lorvex_test::Flat;

ZeroCurve Sloped() {
  const double xs[] = {2451545, 2451900, 2452600, 2454500};
  const double ys[] = {0.02, 0.035, 0.05, 0.058};
  return ZeroCurve(4, xs, ys);
}

using lorvex_test::Df;

// How the first period of a leg is laid: a first stub of half a period or
// more stays a period of its own, a shorter one is folded into the next.
struct StubCase {
  const char* what;
  CalendarDate start, end;
  int perYear;
  int count;
  CalendarDate firstEnd;  // ignored when count is 0
};

const StubCase kStubCases[] = {
    {"whole periods only", {1, 1, 2000}, {1, 1, 2005}, 2, 10, {1, 7, 2000}},
    {"four-month stub kept (59 days past 1 Jan)", {1, 3, 2001}, {1, 1, 2006}, 2, 10, {1, 7, 2001}},
    {"four-month stub kept in a leap year (60 days)", {1, 3, 2000}, {1, 1, 2005}, 2, 10, {1, 7, 2000}},
    {"eight-month first period (stub of 2 months merged)", {1, 5, 2001}, {1, 1, 2006}, 2, 9, {1, 1, 2002}},
    {"91 days past the scheduled date: stub kept", {2, 4, 2001}, {1, 1, 2006}, 2, 10, {1, 7, 2001}},
    {"92 days past the scheduled date: stub merged", {3, 4, 2001}, {1, 1, 2006}, 2, 9, {1, 1, 2002}},
    {"swap shorter than half a period is empty", {1, 12, 2000}, {1, 1, 2001}, 2, 0, {0, 0, 0}},
    {"one full annual period", {1, 1, 2000}, {1, 1, 2001}, 1, 1, {1, 1, 2001}},
    {"monthly from a month end", {31, 1, 2001}, {31, 12, 2001}, 12, 11, {28, 2, 2001}},
    {"quarterly stub of 45 days kept", {15, 2, 2001}, {1, 1, 2003}, 4, 8, {1, 4, 2001}},
    {"quarterly stub of 46 days merged", {16, 2, 2001}, {1, 1, 2003}, 4, 7, {1, 7, 2001}},
};

int Jdn(const CalendarDate& d) { return DateToJdn(d.day, d.month, d.year); }

TEST(SwapSchedule, StubRuleLaysBothLegsAlike) {
  for (const StubCase& c : kStubCases) {
    SCOPED_TRACE(c.what);
    const int start = Jdn(c.start);
    const int end = Jdn(c.end);
    SwapSchedule swap(100.0, 0.05, 0.001, start, end, c.perYear, c.perYear);
    EXPECT_EQ(swap.status(), 0);
    ASSERT_EQ(swap.FixedCount(), c.count);
    ASSERT_EQ(swap.FloatingCount(), c.count);
    if (c.count == 0) {
      EXPECT_EQ(swap.FinalDate(), 0);
      continue;
    }
    EXPECT_EQ(swap.FixedPeriods()[0].start, start);
    EXPECT_EQ(swap.FixedPeriods()[0].end, Jdn(c.firstEnd));
    EXPECT_EQ(swap.FinalDate(), end);
    for (int i = 0; i < c.count; ++i) {
      const FixedPeriod& f = swap.FixedPeriods()[i];
      const FloatingPeriod& g = swap.FloatingPeriods()[i];
      EXPECT_EQ(f.start, i == 0 ? start : swap.FixedPeriods()[i - 1].end);
      EXPECT_EQ(f.end, AddMonths(end, -(c.count - 1 - i) * (12 / c.perYear)));
      EXPECT_EQ(f.amount, 5.0);
      EXPECT_EQ(f.accrualFraction, (f.end - f.start) / 365.0);
      EXPECT_EQ(g.start, f.start);
      EXPECT_EQ(g.end, f.end);
      EXPECT_EQ(g.signedNotional, -100.0);
      EXPECT_EQ(g.spread, 0.001);
      EXPECT_EQ(g.accrualFraction, f.accrualFraction);
    }
  }
}

TEST(SwapSchedule, LegsKeepTheirOwnFrequencies) {
  SwapSchedule swap(1e6, 0.04, 0.0, DateToJdn(1, 1, 2000), DateToJdn(1, 1, 2003), 1, 4);
  EXPECT_EQ(swap.FixedCount(), 3);
  EXPECT_EQ(swap.FloatingCount(), 12);
  EXPECT_EQ(swap.FixedRate(), 0.04);
  EXPECT_EQ(swap.FinalDate(), DateToJdn(1, 1, 2003));
}

TEST(SwapSchedule, RefusedFrequencyEmptiesThatLegOnly) {
  const int s = DateToJdn(1, 1, 2000);
  const int m = DateToJdn(1, 1, 2002);
  struct Row {
    int fixed, floating, fixedCount, floatingCount;
  };
  for (const Row& r : {Row{3, 2, 0, 4}, Row{2, 0, 4, 0}, Row{-1, 6, 0, 0}, Row{24, 12, 0, 24}}) {
    SwapSchedule swap(100, 0.05, 0, s, m, r.fixed, r.floating);
    EXPECT_EQ(swap.status(), -1) << r.fixed << " " << r.floating;
    EXPECT_EQ(swap.FixedCount(), r.fixedCount);
    EXPECT_EQ(swap.FloatingCount(), r.floatingCount);
  }
  // An end on or before the start is an empty swap, not an error, whatever
  // the frequency; valuing it gives 0.
  const SwapSchedule empty(100, 0.05, 0, m, s, 3, 3);
  const ZeroCurve curve = Flat(0.05);
  EXPECT_EQ(empty.ForwardRate(0, s, s, curve), 0.0);
  EXPECT_EQ(empty.SwapValue(0, s, s, curve), 0.0);
  EXPECT_EQ(empty.status(), 0);
}

// Valuation identities on several curves: the floating leg telescopes to
// -A (DF(first reset) - DF(end)) at any floating frequency, the annuity is
// A sum tau DF(end), a spread C adds -C times the annuity, and the swap at
// its forward rate is worth nothing.
TEST(SwapSchedule, LegValuesFollowFromDiscountFactors) {
  const std::vector<ZeroCurve> curves = {Flat(0.05), Flat(0.0), Flat(-0.01), Sloped()};
  const int a = DateToJdn(1, 1, 2000);
  const int s = DateToJdn(3, 4, 2001);
  const int m = DateToJdn(1, 1, 2006);
  const double notional = 250.0;
  for (std::size_t k = 0; k < curves.size(); ++k) {
    const ZeroCurve& curve = curves[k];
    for (int c : {a, s, DateToJdn(15, 5, 2003)}) {
      SCOPED_TRACE(testing::Message() << "curve " << k << " cutoff " << c);
      const int reset = c < s ? s : c;
      for (int floatingPerYear : {1, 2, 4, 12}) {
        SwapSchedule swap(notional, 0.05, 0.0, s, m, 2, floatingPerYear);
        EXPECT_NEAR(swap.FloatingLegValue(0, a, c, curve),
                    -notional * (Df(curve, a, reset) - Df(curve, a, m)), 1e-12);
      }
      SwapSchedule plain(notional, 0.05, 0.0, s, m, 2, 2);
      SwapSchedule spread(notional, 0.05, 0.0125, s, m, 2, 2);
      double annuity = 0.0;
      for (const FixedPeriod& p : plain.FixedPeriods()) {
        if (p.end <= c) continue;
        const double tau = p.start > c ? p.accrualFraction : (p.end - c) / 365.0;
        annuity += notional * tau * Df(curve, a, p.end);
      }
      EXPECT_NEAR(plain.Annuity(0, a, c, curve), annuity, 1e-12);
      EXPECT_NEAR(plain.FixedLegValue(0, a, c, curve), 0.05 * annuity, 1e-12);
      EXPECT_NEAR(spread.FloatingLegValue(0, a, c, curve) - plain.FloatingLegValue(0, a, c, curve),
                  -0.0125 * annuity, 1e-12);
      const double forward = plain.ForwardRate(0, a, c, curve);
      SwapSchedule atForward(notional, forward, 0.0, s, m, 2, 2);
      EXPECT_NEAR(atForward.SwapValue(0, a, c, curve), 0.0, 1e-12);
    }
  }
}

// Annual swap from year 1 to year 6 on a flat curve: the forward rate is
// (DF(1y) - DF(6y)) / sum tau DF over the five payment dates.
TEST(SwapSchedule, ForwardRateOfAnAnnualSwapOnAFlatCurve) {
  const int a = 2451545;
  const int s = a + 365;
  const int m = a + 2191;
  for (double r : {0.01, 0.05, 0.12}) {
    const ZeroCurve curve = Flat(r);
    SwapSchedule swap(1.0, 0.05, 0.0, s, m, 1, 1);
    ASSERT_EQ(swap.FixedCount(), 5);
    double denominator = 0.0;
    for (const FixedPeriod& p : swap.FixedPeriods()) {
      denominator += (p.end - p.start) / 365.0 * std::exp(-r * (p.end - a) / 365.0);
    }
    const double expected = (std::exp(-r * 365 / 365.0) - std::exp(-r * 2191 / 365.0)) / denominator;
    EXPECT_NEAR(swap.ForwardRate(0, a, a, curve), expected, 1e-14) << r;
  }
}

TEST(SwapSchedule, ZeroFixedRateHasNoAnnuityNorForwardRate) {
  const ZeroCurve curve = Flat(0.05);
  const int a = 2451545;
  SwapSchedule swap(100, 0.0, 0.0, a + 365, a + 2191, 2, 2);
  EXPECT_EQ(swap.Annuity(0, a, a + 365, curve), 0.0);
  EXPECT_EQ(swap.ForwardRate(0, a, a + 365, curve), 0.0);
  EXPECT_LT(swap.FloatingLegValue(0, a, a + 365, curve), 0.0);
}

}  // namespace
}  // namespace lorvex
