#include "market/cap_schedule.h"

#include <gtest/gtest.h>

#include <cmath>

#include "market/calendar.h"
#include "market/zero_curve.h"
#include "test_arrays.h"

namespace lorvex {
namespace {

using lorvex_test::Df;

int Jdn(const CalendarDate& d) { return DateToJdn(d.day, d.month, d.year); }

// First caplet and count for a handful of cap terms: a first stub of half a
// period or more (45.625 days for quarterly caplets) stays its own caplet.
struct CapCase {
  const char* what;
  CalendarDate start, end;
  int perYear;
  int count;
  CalendarDate firstEnd;
};

const CapCase kCapCases[] = {
    {"12 quarterly caplets of three months", {1, 1, 2001}, {1, 1, 2004}, 4, 12, {1, 4, 2001}},
    {"45-day stub kept", {15, 2, 2001}, {1, 1, 2003}, 4, 8, {1, 4, 2001}},
    {"46-day stub merged", {16, 2, 2001}, {1, 1, 2003}, 4, 7, {1, 7, 2001}},
    {"50-day stub merged", {20, 2, 2001}, {1, 1, 2003}, 4, 7, {1, 7, 2001}},
    {"quarter ends from 31 December", {1, 4, 2000}, {31, 12, 2002}, 4, 11, {30, 6, 2000}},
    {"semi-annual", {1, 1, 2000}, {1, 1, 2005}, 2, 10, {1, 7, 2000}},
    {"cap shorter than half a period is empty", {1, 12, 2000}, {1, 1, 2001}, 2, 0, {0, 0, 0}},
};

TEST(CapSchedule, CapletsFollowTheStubRule) {
  for (const CapCase& c : kCapCases) {
    SCOPED_TRACE(c.what);
    const int start = Jdn(c.start);
    const int end = Jdn(c.end);
    CapSchedule cap(100.0, 0.05, start, end, c.perYear, 0.2);
    EXPECT_EQ(cap.status(), 0);
    ASSERT_EQ(cap.Count(), c.count);
    if (c.count == 0) continue;
    EXPECT_EQ(cap[0].start, start);
    EXPECT_EQ(cap[0].end, Jdn(c.firstEnd));
    EXPECT_EQ(cap.FinalDate(), end);
    for (int i = 0; i < c.count; ++i) {
      EXPECT_EQ(cap[i].start, i == 0 ? start : cap[i - 1].end);
      EXPECT_EQ(cap[i].end, AddMonths(end, -(c.count - 1 - i) * (12 / c.perYear)));
      EXPECT_EQ(cap[i].notional, 100.0);
      EXPECT_EQ(cap[i].capRate, 0.05);
      EXPECT_EQ(cap[i].extra, 0.2);
      EXPECT_EQ(cap[i].accrualFraction, (cap[i].end - cap[i].start) / 365.0);
    }
  }
}

TEST(CapSchedule, RefusedFrequencyAndEmptyCaps) {
  const int s = DateToJdn(1, 1, 2000);
  for (int f : {0, 3, 6, -4, 52}) {
    CapSchedule cap(100, 0.05, s, s + 1000, f, 0.0);
    EXPECT_EQ(cap.status(), -1) << f;
    EXPECT_EQ(cap.Count(), 0);
  }
  // End on or before the start: empty, no error, whatever the frequency.
  CapSchedule empty(100, 0.05, s, s, 3, 0.0);
  EXPECT_EQ(empty.status(), 0);
  EXPECT_EQ(empty.Count(), 0);
  EXPECT_EQ(empty.FinalDate(), 0);
}

// On a flat continuously compounded curve every simple forward rate is
// (exp(r tau) - 1) / tau, whatever the observation date; on any curve the
// compounded forwards rebuild the discount factor across the whole cap.
TEST(CapSchedule, ForwardRatesMatchTheDiscountCurve) {
  const int a = DateToJdn(1, 1, 2000);
  CapSchedule cap(100, 0.05, DateToJdn(15, 2, 2000), DateToJdn(31, 12, 2004), 4, 0.0);
  for (double r : {0.0, 0.03, 0.08}) {
    ZeroCurve flat;
    flat.Insert(a, r);
    for (int i = 0; i < cap.Count(); ++i) {
      const double tau = cap[i].accrualFraction;
      const double expected = r == 0.0 ? 0.0 : (std::exp(r * tau) - 1.0) / tau;
      EXPECT_NEAR(cap.CapletForwardRate(i, a, flat), expected, 1e-13) << r << " " << i;
      EXPECT_NEAR(cap.CapletForwardRate(i, a + 123.5, flat), expected, 1e-13);
    }
  }
  const double xs[] = {2451545, 2452000, 2453000};
  const double ys[] = {0.01, 0.04, 0.065};
  const ZeroCurve sloped(3, xs, ys);
  double growth = 1.0;
  for (int i = 0; i < cap.Count(); ++i) growth *= 1.0 + cap[i].accrualFraction * cap.CapletForwardRate(i, a, sloped);
  EXPECT_NEAR(growth, Df(sloped, a, cap[0].start) / Df(sloped, a, cap.FinalDate()), 1e-13);
}

}  // namespace
}  // namespace lorvex

namespace lorvex {
namespace {

// The caplet accruing on a date: its start belongs to it, its end to the
// next one, and neither a date before the first start nor the last end
// falls in any caplet (45-day first stub, then quarters).
TEST(CapSchedule, CapletIndexAtTheBoundaries) {
  const CapSchedule cap(100, 0.05, DateToJdn(15, 2, 2001), DateToJdn(1, 1, 2003), 4, 0.0);
  ASSERT_EQ(cap.Count(), 8);
  struct Row {
    int date;
    int index;
  };
  const Row rows[] = {
      {cap[0].start - 1, -1}, {cap[0].start, 0},   {cap[0].end - 1, 0},       {cap[0].end, 1},
      {cap[3].start, 3},      {cap[7].start, 7},   {cap[7].end - 1, 7},       {cap[7].end, -1},
      {cap[7].end + 400, -1}, {cap[0].start - 400, -1},
  };
  for (const Row& r : rows) EXPECT_EQ(cap.CapletIndexAt(r.date), r.index) << r.date;
  EXPECT_EQ(cap.status(), 0);
  const CapSchedule empty(100, 0.05, DateToJdn(1, 1, 2001), DateToJdn(1, 1, 2001), 4, 0.0);
  EXPECT_EQ(empty.CapletIndexAt(DateToJdn(1, 1, 2001)), -1);
}

// The payoff is N tau (F - K) DF(end) with F the caplet's own forward rate,
// that is N (DF(start) - (1 + K tau) DF(end)); seen from the reset date
// DF(start) is 1. A missing caplet has no forward and pays nothing.
TEST(CapSchedule, CapletPayoffIsTheForwardAgreementValue) {
  ZeroCurve curve;
  curve.Insert(2451545, 0.03);
  curve.Insert(2451545 + 1000, 0.06);
  const CapSchedule cap(250, 0.045, 2451545 + 100, 2451545 + 900, 4, 0.0);
  for (double d : {2451545.0, 2451545.0 + 37.25}) {
    for (int i = 0; i < cap.Count(); ++i) {
      const CapletPeriod& c = cap[i];
      const double ps = lorvex_test::Df(curve, d, c.start);
      const double pe = lorvex_test::Df(curve, d, c.end);
      EXPECT_NEAR(cap.CapletPayoff(i, d, curve), 250 * (ps - (1 + 0.045 * c.accrualFraction) * pe), 1e-11);
    }
  }
  const CapletPeriod& c = cap[2];
  EXPECT_NEAR(cap.CapletPayoff(2, c.start, curve),
              250 * (1 - (1 + 0.045 * c.accrualFraction) * std::exp(-curve.Interpolate(c.end) * (c.end - c.start) / 365)),
              1e-12);
  for (int index : {-1, cap.Count(), 1000}) {
    EXPECT_EQ(cap.CapletPayoff(index, 2451545, curve), 0.0) << index;
    EXPECT_EQ(cap.CapletForwardRate(index, 2451545, curve), 0.0) << index;
  }
}

// The reset list holds every caplet start, with value 0, and replaces what
// the list held; an empty cap reports it.
TEST(CapSchedule, ResetScheduleListsEveryStart) {
  CapSchedule cap(100, 0.05, DateToJdn(20, 2, 2001), DateToJdn(1, 1, 2003), 4, 0.0);
  ZeroCurve resets;
  resets.Insert(1.0, 7.0);
  EXPECT_EQ(cap.CapResetSchedule(resets), 0);
  EXPECT_EQ(cap.status(), 0);
  ASSERT_EQ(resets.Count(), cap.Count());
  for (int i = 0; i < cap.Count(); ++i) {
    EXPECT_EQ(resets.XAt(i + 1), cap[i].start);
    EXPECT_EQ(resets.YAt(i + 1), 0.0);
  }
  CapSchedule empty(100, 0.05, DateToJdn(1, 1, 2003), DateToJdn(1, 1, 2002), 4, 0.0);
  EXPECT_EQ(empty.CapResetSchedule(resets), -1);
  EXPECT_EQ(empty.status(), -1);
  EXPECT_TRUE(resets.Empty());
}

}  // namespace
}  // namespace lorvex
