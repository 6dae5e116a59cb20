#include "market/calendar.h"

#include <gtest/gtest.h>

namespace lorvex {
namespace {

TEST(Calendar, KnownJulianDays) {
  EXPECT_EQ(DateToJdn(1, 1, 2000), 2451545);
  EXPECT_EQ(DateToJdn(1, 1, 1), kFirstCalendarJdn);
  EXPECT_EQ(DateToJdn(31, 12, 9999), kLastCalendarJdn);
  EXPECT_EQ(DateToJdn(15, 10, 1582), 2299161);  // first Gregorian day
}

TEST(Calendar, RoundTripsEveryDayOfTheCalendar) {
  int expectedDay = 1, expectedMonth = 1, expectedYear = 1;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int jdn = kFirstCalendarJdn; jdn <= kLastCalendarJdn; ++jdn) {
    const CalendarDate d = JdnToDate(jdn);
    ASSERT_EQ(d.day, expectedDay) << jdn;
    ASSERT_EQ(d.month, expectedMonth) << jdn;
    ASSERT_EQ(d.year, expectedYear) << jdn;
    ASSERT_EQ(DateToJdn(d.day, d.month, d.year), jdn);
    const int monthLength = kDays[expectedMonth - 1] + (expectedMonth == 2 && IsLeapYear(expectedYear));
    if (++expectedDay > monthLength) {
      expectedDay = 1;
      if (++expectedMonth > 12) {
        expectedMonth = 1;
        ++expectedYear;
      }
    }
  }
}

TEST(Calendar, AddMonthsCutsToTheEndOfShortMonths) {
  struct Row {
    int day, month, year, n, eDay, eMonth, eYear;
  };
  const Row rows[] = {
      {31, 1, 2001, 1, 28, 2, 2001},   {31, 1, 2004, 1, 29, 2, 2004},
      {31, 1, 2000, 1, 29, 2, 2000},   {31, 1, 1900, 1, 28, 2, 1900},
      {31, 1, 2100, 1, 28, 2, 2100},   {31, 5, 2001, -1, 30, 4, 2001},
      {31, 3, 2001, -12, 31, 3, 2000}, {15, 12, 2001, 1, 15, 1, 2002},
      {15, 1, 2001, -1, 15, 12, 2000}, {15, 3, 2001, -14, 15, 1, 2000},
      {31, 8, 2001, -6, 28, 2, 2001},  {31, 8, 2004, -6, 29, 2, 2004},
      {31, 12, 2001, -10, 28, 2, 2001}, {1, 1, 2, -12, 1, 1, 1},
  };
  for (const Row& r : rows) {
    const CalendarDate got = JdnToDate(AddMonths(DateToJdn(r.day, r.month, r.year), r.n));
    EXPECT_EQ(got.day, r.eDay) << r.day << "/" << r.month << "/" << r.year << " + " << r.n;
    EXPECT_EQ(got.month, r.eMonth);
    EXPECT_EQ(got.year, r.eYear);
  }
}

}  // namespace
}  // namespace lorvex
