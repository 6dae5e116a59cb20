// Turning the caller's serial dates and times in years into Julian days,
// with the checks that keep every date inside the calendar.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "market/calendar.h"
#include "market/constants.h"

namespace lorvex {

// Whole days in a time of years: -trunc(-0.5 - 365 * years), so 365 * years
// rounded to the nearest day with halves up (0.5 years is 183 days).
// Callers check the range first (InCalendarAfter): converting an
// out-of-range double to an integer is undefined.
inline int YearsToDays(double years) { return -static_cast<int>(std::trunc(-0.5 - kDaysPerYear * years)); }

// Accrual start of a bond of the given maturity in years: the valuation day
// moved back by the fractional part of the years, rounded, halves up.
inline int AccrualStartDate(int valuationJdn, double years) {
  const double fraction = years - std::trunc(years);
  return valuationJdn - static_cast<int>(std::trunc(0.5 + kDaysPerYear * fraction));
}

// True for a Julian day from 1 January of year 1 to 31 December 9999.
inline bool IsCalendarJdn(long long jdn) { return jdn >= kFirstCalendarJdn && jdn <= kLastCalendarJdn; }

// Valuation serial to Julian day; false outside the calendar.
inline bool ValuationJdn(std::int32_t serial, int* jdn) {
  const long long j = static_cast<long long>(serial) + kSerialToJdn;
  if (!IsCalendarJdn(j)) return false;
  *jdn = static_cast<int>(j);
  return true;
}

// valuationJdn + YearsToDays(years); false if years is not finite or the
// date would fall outside the calendar.
inline bool DateAfterYears(int valuationJdn, double years, int* jdn) {
  if (!std::isfinite(years)) return false;
  // The calendar spans under 3.7 million days, so a larger offset is out
  // whatever the valuation date, and the cast below stays defined.
  if (std::fabs(kDaysPerYear * years) > 4.0e6) return false;
  const long long j = static_cast<long long>(valuationJdn) + YearsToDays(years);
  if (!IsCalendarJdn(j)) return false;
  *jdn = static_cast<int>(j);
  return true;
}

// Maturity and accrual start of a bond given by its years; false if either
// falls outside the calendar.
inline bool BondDates(int valuationJdn, double years, int* accrualStart, int* maturity) {
  if (!DateAfterYears(valuationJdn, years, maturity)) return false;
  const int start = AccrualStartDate(valuationJdn, years);
  if (!IsCalendarJdn(start)) return false;
  *accrualStart = start;
  return true;
}

bool AllFinite(std::initializer_list<double> values);

}  // namespace lorvex
