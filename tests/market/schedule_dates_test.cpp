// The fast paths of the calendar, the curve and the coupon bond against the
// plain definitions they stand for, to the last bit: Julian days and month
// steps as the textbook integer formulas give them, the curve cursor
// against Interpolate, and the bond's clean price laid on the fly (and the
// schedule built and priced, and the price from remembered discount factors)
// against the definition written out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "market/bond_schedule.h"
#include "market/calendar.h"
#include "market/zero_curve.h"

namespace lorvex {
namespace {

// The textbook conversions (Fliegel and Van Flandern's integer form, floored
// so they hold before year 1 too) and the month step built on them.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

CalendarDate PlainJdnToDate(int jdn) {
  const std::int64_t j = jdn;
  const std::int64_t c = FloorDiv(4 * j - 6884477, 146097);
  std::int64_t d = FloorDiv(4 * j - 6884477 - 146097 * c, 4);
  const std::int64_t y = FloorDiv(4 * d + 3, 1461);
  d = FloorDiv(4 * d + 7 - 1461 * y, 4);
  const std::int64_t m = FloorDiv(5 * d - 3, 153);
  const int day = static_cast<int>(FloorDiv(5 * d + 2 - 153 * m, 5));
  const int year = static_cast<int>(100 * c + y);
  return m < 10 ? CalendarDate{day, static_cast<int>(m + 3), year}
                : CalendarDate{day, static_cast<int>(m - 9), year + 1};
}

int PlainDateToJdn(int day, int month, int year) {
  const std::int64_t m = month > 2 ? month - 3 : month + 9;
  const std::int64_t y = month > 2 ? year : year - 1;
  const std::int64_t c = FloorDiv(y, 100);
  const std::int64_t ya = y - 100 * c;
  return static_cast<int>(FloorDiv(146097 * c, 4) + FloorDiv(1461 * ya, 4) + FloorDiv(153 * m + 2, 5) + day +
                          1721119);
}

bool PlainIsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int PlainAddMonths(int jdn, int n) {
  const CalendarDate date = PlainJdnToDate(jdn);
  const std::int64_t total = static_cast<std::int64_t>(date.month) + n;
  const std::int64_t k = FloorDiv(total, 12);
  int month = static_cast<int>(total - 12 * k);
  int year = static_cast<int>(date.year + k);
  if (month == 0) {
    month = 12;
    year -= 1;
  }
  int day = date.day;
  if ((month == 4 || month == 6 || month == 9 || month == 11) && day == 31) day = 30;
  if (month == 2 && day > 28) day = PlainIsLeapYear(year) ? 29 : 28;
  return PlainDateToJdn(day, month, year);
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The bond's clean price at t as its definition reads: periods laid back
// from the maturity by the month step until the accrual start, then the
// flows after t discounted on the curve as seen from t, divided by the
// discount factor to t, less the coupon accrued in the period holding t.
double PlainCleanPrice(double face, double rate, int start, int maturity, int f, int t, const ZeroCurve& curve) {
  if (maturity <= start || !(f == 1 || f == 2 || f == 4 || f == 12)) return 0.0;
  std::vector<int> ends;
  for (int k = 0; PlainAddMonths(maturity, -k * (12 / f)) > start; ++k) {
    ends.insert(ends.begin(), PlainAddMonths(maturity, -k * (12 / f)));
  }
  const double coupon = (rate / f) * face;
  const auto discount = [&](double to) { return std::exp(-curve.Interpolate(to) * (to - t) / 365.0); };
  double sum = 0.0;
  double accrued = 0.0;
  bool accruedFound = false;
  for (std::size_t j = 0; j < ends.size(); ++j) {
    const int periodStart = j == 0 ? start : ends[j - 1];
    const double principal = j + 1 == ends.size() ? face : 0.0;
    if (ends[j] > t) sum += (coupon + principal) * discount(ends[j]);
    if (!accruedFound && periodStart <= t && t < ends[j]) {
      accrued = coupon * (static_cast<double>(t) - periodStart) / (ends[j] - periodStart);
      accruedFound = true;
    }
  }
  return sum / discount(t) - accrued;
}

TEST(ScheduleDates, ConversionsEqualTheTextbookFormulasOnEveryDay) {
  // The calendar's days, and 400 years on either side (years before 1 are
  // reached by the look-back of a schedule laid near year 1).
  for (int jdn = kFirstCalendarJdn - 146097; jdn <= kLastCalendarJdn + 146097; ++jdn) {
    const CalendarDate fast = JdnToDate(jdn);
    const CalendarDate plain = PlainJdnToDate(jdn);
    ASSERT_TRUE(fast.day == plain.day && fast.month == plain.month && fast.year == plain.year) << jdn;
    ASSERT_EQ(DateToJdn(fast.day, fast.month, fast.year), jdn);
  }
  for (int year = -1000; year <= 11000; ++year) {
    ASSERT_EQ(IsLeapYear(year), PlainIsLeapYear(year)) << year;
    for (int month = -14; month <= 26; ++month) {
      for (int day = -1; day <= 32; day += 11) {
        ASSERT_EQ(DateToJdn(day, month, year), PlainDateToJdn(day, month, year)) << day << "/" << month << "/" << year;
      }
    }
  }
}

TEST(ScheduleDates, MonthWalkAndAddMonthsEqualTheMonthStepOfTheTextbook) {
  // Every end date of years 1 to 3, 1896 to 1904, 1998 to 2002 and 2098 to
  // 2102 (month ends, leap days, century years) and 9996 to 9999, walked
  // back 30 steps and forward again, for each frequency's step.
  const int ranges[][2] = {{DateToJdn(1, 1, 1), DateToJdn(31, 12, 3)},
                           {DateToJdn(1, 1, 1896), DateToJdn(31, 12, 1904)},
                           {DateToJdn(1, 1, 1998), DateToJdn(31, 12, 2002)},
                           {DateToJdn(1, 1, 2098), DateToJdn(31, 12, 2102)},
                           {DateToJdn(1, 1, 9996), DateToJdn(31, 12, 9999)}};
  for (const int step : {1, 3, 6, 12}) {
    for (const auto& range : ranges) {
      for (int end = range[0]; end <= range[1]; ++end) {
        MonthWalk walk(end, step);
        int k = 0;
        for (; k <= 30; ++k, walk.Back()) {
          const int expected = PlainAddMonths(end, -k * step);
          ASSERT_EQ(walk.Date(), expected) << end << " - " << k << " x " << step << " months";
          ASSERT_EQ(AddMonths(end, -k * step), expected);
          ASSERT_EQ(AddMonths(end, k * step), PlainAddMonths(end, k * step));
        }
        for (k = 30; k >= 0; --k) {  // the walk stands at k = 31
          walk.Forward();
          ASSERT_EQ(walk.Date(), PlainAddMonths(end, -k * step)) << end << " forward to " << k;
        }
      }
    }
  }
}

TEST(ScheduleDates, CursorReadsTheCurveAsInterpolate) {
  const double xs[] = {2451545, 2451600, 2451910, 2452275, 2453000, 2455000, 2460000};
  const double ys[] = {0.031, 0.034, 0.033, 0.041, 0.047, 0.052, 0.05};
  for (int points = 0; points <= 7; ++points) {
    const ZeroCurve curve(points, xs, ys);
    // Rising lookups from before the first point to beyond the last, with
    // jumps over several points, then one lookup going back.
    std::vector<double> at;
    for (double x = 2451500; x < 2461000; x += 37.5) at.push_back(x);
    for (double x = 2451500; x < 2461000; x += 2900) at.push_back(x);
    at.push_back(2451545);
    at.push_back(std::numeric_limits<double>::quiet_NaN());
    CurveCursor cursor(curve);
    for (const double x : at) {
      ASSERT_TRUE(SameBits(cursor.At(x), curve.Interpolate(x))) << points << " points, x = " << x;
    }
  }
}

TEST(ScheduleDates, CleanPriceOnTheFlyIsTheScheduleDirtyPriceLessAccrued) {
  // Valuation dates on month ends and leap days, maturities from days to 60
  // years (monthly bonds past the dates kept on the stack), the accrual
  // start before, at and after the valuation date, a curve with points
  // before, inside and after the flows, and one with a rate that is not a
  // number. One table of remembered factors per curve and valuation serves
  // all its bonds; those accruing after t walk their dates.
  const double xs[] = {2451000, 2451545, 2452000, 2453500, 2458000, 2470000};
  const double ys[] = {0.02, 0.045, 0.05, 0.055, 0.06, 0.058};
  const double nanYs[] = {0.02, 0.045, std::numeric_limits<double>::quiet_NaN(), 0.055, 0.06, 0.058};
  const ZeroCurve curves[] = {ZeroCurve(6, xs, ys), ZeroCurve(1, xs + 1, ys + 1), ZeroCurve(), ZeroCurve(6, xs, nanYs)};
  const int valuations[] = {DateToJdn(31, 1, 2000), DateToJdn(29, 2, 2000), DateToJdn(30, 6, 2003),
                            DateToJdn(15, 11, 2011)};
  int priced = 0;
  for (const ZeroCurve& curve : curves) {
    for (const int t : valuations) {
      BondFlowTable table(curve, t);
      for (const int f : {1, 2, 4, 12, 3}) {
        for (int days = -40; days <= 60 * 365; days += days < 800 ? 7 : 173) {
          for (const int startOffset : {-400, -183, -1, 0, 5}) {
            const int start = t + startOffset;
            const int maturity = t + days;
            const double expected = PlainCleanPrice(100.0, 0.0625, start, maturity, f, t, curve);
            const BondSchedule bond(100.0, 0.0625, start, maturity, f);
            const double built = bond.ForwardPrice(t, t, curve) - bond.AccruedInterest(t);
            const double got = BondCleanPrice(100.0, 0.0625, start, maturity, f, t, curve);
            const double remembered = BondCleanPrice(100.0, 0.0625, start, maturity, f, table);
            ASSERT_TRUE(SameBits(got, expected) || (std::isnan(got) && std::isnan(expected)))
                << "t " << t << " start " << start << " maturity " << maturity << " f " << f << ": expected "
                << expected << ", got " << got;
            ASSERT_TRUE(SameBits(built, expected) || (std::isnan(built) && std::isnan(expected)))
                << "schedule, t " << t << " start " << start << " maturity " << maturity << " f " << f;
            ASSERT_TRUE(SameBits(remembered, expected) || (std::isnan(remembered) && std::isnan(expected)))
                << "table, t " << t << " start " << start << " maturity " << maturity << " f " << f;
            ++priced;
          }
        }
      }
    }
  }
  EXPECT_GT(priced, 10000);
  // A table holds the days up to the furthest flow asked for, not a
  // century; once it holds kMaxOffsets dates, bonds of maturities not laid
  // yet walk their dates, to the same prices.
  const int t = valuations[0];
  BondFlowTable table(curves[0], t);
  BondCleanPrice(100.0, 0.0625, t - 100, t + 730, 2, table);
  EXPECT_EQ(table.Days().Held(), 731u);
  for (int days = 50 * 365; days <= 100 * 365; days += 7) {
    ASSERT_TRUE(SameBits(BondCleanPrice(100.0, 0.0625, t - 10, t + days, 12, table),
                         BondCleanPrice(100.0, 0.0625, t - 10, t + days, 12, t, curves[0])))
        << days;
  }
  EXPECT_EQ(table.Find(t + 100 * 365 - 1, 12), nullptr);
}

}  // namespace
}  // namespace lorvex
