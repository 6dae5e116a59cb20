// Gregorian calendar on Julian Day Numbers (JDN 2451545 is 1 January 2000).
#pragma once

namespace lorvex {

struct CalendarDate {
  int day;
  int month;
  int year;
};

CalendarDate JdnToDate(int jdn);
int DateToJdn(int day, int month, int year);

bool IsLeapYear(int year);

// Moves a date by n calendar months (n may be negative). A day past the end
// of the target month is cut to its last day: 31 January + 1 month is
// 28 or 29 February, 31 May - 1 month is 30 April.
int AddMonths(int jdn, int n);

// The dates the library accepts: 1 January of year 1 to 31 December 9999.
inline constexpr int kFirstCalendarJdn = 1721426;
inline constexpr int kLastCalendarJdn = 5373484;

}  // namespace lorvex
