#include "market/calendar.h"

#include <cstdint>

namespace lorvex {
namespace {

// Floor division. For dates from 1 March of year 0 on every numerator below
// is non-negative and this is plain integer division; flooring keeps the
// one-year look-back of a schedule laid near year 1 exact as well.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

}  // namespace

CalendarDate JdnToDate(int jdn) {
  const std::int64_t j = jdn;
  const std::int64_t c = FloorDiv(4 * j - 6884477, 146097);
  std::int64_t d = FloorDiv(4 * j - 6884477 - 146097 * c, 4);
  const std::int64_t y = FloorDiv(4 * d + 3, 1461);
  d = FloorDiv(4 * d + 7 - 1461 * y, 4);
  const std::int64_t m = FloorDiv(5 * d - 3, 153);
  CalendarDate out;
  out.day = static_cast<int>(FloorDiv(5 * d + 2 - 153 * m, 5));
  out.year = static_cast<int>(100 * c + y);
  if (m < 10) {
    out.month = static_cast<int>(m + 3);
  } else {
    out.month = static_cast<int>(m - 9);
    out.year += 1;
  }
  return out;
}

int DateToJdn(int day, int month, int year) {
  std::int64_t m;
  std::int64_t y;
  if (month > 2) {
    m = month - 3;
    y = year;
  } else {
    m = month + 9;
    y = year - 1;
  }
  const std::int64_t c = FloorDiv(y, 100);
  const std::int64_t ya = y - 100 * c;
  return static_cast<int>(FloorDiv(146097 * c, 4) + FloorDiv(1461 * ya, 4) +
                          FloorDiv(153 * m + 2, 5) + day + 1721119);
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int AddMonths(int jdn, int n) {
  CalendarDate date = JdnToDate(jdn);
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
  if (month == 2 && day > 28) day = IsLeapYear(year) ? 29 : 28;
  return DateToJdn(day, month, year);
}

}  // namespace lorvex
