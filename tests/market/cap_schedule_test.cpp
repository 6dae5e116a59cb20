#include "market/cap_schedule.h"

#include <gtest/gtest.h>

#include <cmath>

#include "market/calendar.h"
#include "market/zero_curve.h"

namespace lorvex {
namespace {

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

TEST(CapSchedule, QuarterlyCapletsLastThreeCalendarMonths) {
  CapSchedule cap(1.0, 0.04, DateToJdn(1, 1, 2001), DateToJdn(1, 1, 2004), 4, 0.0);
  ASSERT_EQ(cap.Count(), 12);
  for (int i = 0; i < 12; ++i) {
    const CalendarDate s = JdnToDate(cap[i].start);
    const CalendarDate e = JdnToDate(cap[i].end);
    EXPECT_EQ(s.day, 1);
    EXPECT_EQ(e.day, 1);
    EXPECT_EQ((e.year * 12 + e.month) - (s.year * 12 + s.month), 3) << i;
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

TEST(CapSchedule, ForwardRateOfAMissingCapletIsZeroWithStatus) {
  ZeroCurve curve;
  curve.Insert(2451545, 0.05);
  CapSchedule cap(100, 0.05, 2451545, 2451545 + 730, 4, 0.0);
  for (int index : {-1, 8, 1000}) {
    CapSchedule copy = cap;
    EXPECT_EQ(copy.CapletForwardRate(index, 2451545, curve), 0.0) << index;
    EXPECT_EQ(copy.status(), -1);
  }
  EXPECT_EQ(cap.status(), 0);
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
  auto df = [&](int t) { return std::exp(-sloped.Interpolate(t) * (t - a) / 365.0); };
  EXPECT_NEAR(growth, df(cap[0].start) / df(cap.FinalDate()), 1e-13);
}

}  // namespace
}  // namespace lorvex
