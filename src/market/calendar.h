// Gregorian calendar on Julian Day Numbers (JDN 2451545 is 1 January 2000).
//
// The conversions count days from 1 March of year 0 in 400-year eras (the
// calendar repeats every 146097 days), as in H. Hinnant's "chrono-Compatible
// Low-Level Date Algorithms", with floor division, so they hold for every
// int, also before year 1, and give the days of Fliegel and Van Flandern's
// integer formulas. They are inline: a schedule lays each of its dates with
// a handful of integer operations.
#pragma once

#include <cstdint>

namespace lorvex {

struct CalendarDate {
  int day;
  int month;
  int year;
};

// Julian day of 1 March of year 0, the day the eras count from.
inline constexpr std::int64_t kMarch1Year0Jdn = 1721120;
inline constexpr std::int64_t kDaysPerEra = 146097;  // 400 Gregorian years

inline CalendarDate JdnToDate(int jdn) {
  const std::int64_t z = jdn - kMarch1Year0Jdn;
  const std::int64_t era = (z >= 0 ? z : z - (kDaysPerEra - 1)) / kDaysPerEra;
  const auto dayOfEra = static_cast<std::uint32_t>(z - era * kDaysPerEra);  // 0 .. 146096
  const std::uint32_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;  // 0 .. 399
  const std::uint32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);  // from 1 March
  const std::uint32_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 = March .. 11 = February
  CalendarDate out;
  out.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  out.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  out.year = static_cast<int>(era * 400 + yearOfEra + (shiftedMonth < 10 ? 0 : 1));
  return out;
}

inline int DateToJdn(int day, int month, int year) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month > 2 ? 0 : 1);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;  // 0 .. 399
  const std::int64_t shiftedMonth = month > 2 ? month - 3 : month + 9;
  // Days from 1 March to the month's first day, floored like the years so
  // that a month number outside 1 to 12 counts as in the integer formulas.
  const std::int64_t monthDays = 153 * shiftedMonth + 2;
  const std::int64_t daysBeforeMonth = (monthDays >= 0 ? monthDays : monthDays - 4) / 5;
  const std::int64_t dayOfEra = 365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100 + daysBeforeMonth;
  return static_cast<int>(era * kDaysPerEra + dayOfEra + day - 1 + kMarch1Year0Jdn);
}

// Divisible by 4 and not by 100, or by 400. For a multiple of 4, "by 100"
// is "by 25" and "by 400" is "by 16"; the bit tests hold for negative years
// too (two's complement).
inline bool IsLeapYear(int year) {
  return (year & 3) == 0 && (year % 25 != 0 || (year & 15) == 0);
}

// Months are counted as one index, 12 * year + month - 1, so that a step of
// n months is an addition.
inline std::int64_t MonthIndex(const CalendarDate& date) {
  return 12 * static_cast<std::int64_t>(date.year) + (date.month - 1);
}

// The Julian day of `day` in the month of the given index, a day past the
// month's end cut to its last day (31 goes to 30 in April, June, September
// and November; 29 to 31 go to 28 or 29 in February).
inline int JdnInMonth(std::int64_t monthIndex, int day) {
  const std::int64_t year = (monthIndex >= 0 ? monthIndex : monthIndex - 11) / 12;
  const int month = static_cast<int>(monthIndex - 12 * year) + 1;
  if ((month == 4 || month == 6 || month == 9 || month == 11) && day == 31) day = 30;
  if (month == 2 && day > 28) day = IsLeapYear(static_cast<int>(year)) ? 29 : 28;
  return DateToJdn(day, month, static_cast<int>(year));
}

// Moves a date by n calendar months (n may be negative). A day past the end
// of the target month is cut to its last day: 31 January + 1 month is
// 28 or 29 February, 31 May - 1 month is 30 April.
inline int AddMonths(int jdn, int n) {
  const CalendarDate date = JdnToDate(jdn);
  return JdnInMonth(MonthIndex(date) + n, date.day);
}

// A schedule's dates AddMonths(end, -k * step) for k = 0, 1, 2, ..., walked
// from one decomposition of the end date: Back() moves to k + 1, Forward()
// to k - 1, each by a few additions. Dates are counted from 1 March (the
// "shifted" year runs from March to February), so the one month whose
// length changes, February, is the last of the year.
class MonthWalk {
 public:
  MonthWalk(int end, int stepMonths) : step_(stepMonths) {
    const CalendarDate date = JdnToDate(end);
    month_ = date.month > 2 ? date.month - 3 : date.month + 9;
    year_ = date.month > 2 ? date.year : static_cast<std::int64_t>(date.year) - 1;
    day_ = date.day;
    marchFirst_ = static_cast<std::int64_t>(end) - (date.day - 1) - kDaysBefore[month_];
    february_ = FebruaryDays();
  }

  // AddMonths(end, -k * step): the end date's day, cut to the month's last.
  int Date() const {
    const int length = month_ == 11 ? february_ : kLength[month_];
    return static_cast<int>(marchFirst_ + kDaysBefore[month_] + (day_ < length ? day_ : length) - 1);
  }

  void Back() {
    month_ -= step_;
    if (month_ < 0) {
      month_ += 12;
      --year_;
      february_ = FebruaryDays();
      marchFirst_ -= 337 + february_;
    }
  }

  void Forward() {
    month_ += step_;
    if (month_ >= 12) {
      month_ -= 12;
      marchFirst_ += 337 + february_;
      ++year_;
      february_ = FebruaryDays();
    }
  }

 private:
  // Days from 1 March to the first of each month, and each month's length.
  static constexpr int kDaysBefore[12] = {0, 31, 61, 92, 122, 153, 184, 214, 245, 275, 306, 337};
  static constexpr int kLength[12] = {31, 30, 31, 30, 31, 31, 30, 31, 30, 31, 31, 28};

  // The shifted year's February falls in the calendar year after it.
  int FebruaryDays() const { return IsLeapYear(static_cast<int>(year_ + 1)) ? 29 : 28; }

  int step_;
  int month_;               // 0 = March .. 11 = February
  std::int64_t year_;       // the shifted year of the current date
  std::int64_t marchFirst_;  // Julian day of 1 March of that year
  int day_;                 // the end date's day of the month
  int february_;            // 28 or 29: February of the shifted year
};

// The dates the library accepts: 1 January of year 1 to 31 December 9999.
inline constexpr int kFirstCalendarJdn = 1721426;
inline constexpr int kLastCalendarJdn = 5373484;

}  // namespace lorvex
