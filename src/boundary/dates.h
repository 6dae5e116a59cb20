// Turning the caller's serial dates and times in years into Julian days,
// with the checks that keep every date inside the calendar.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace lorvex {

// Whole days in a time of years: -trunc(-0.5 - 365 * years), so 365 * years
// rounded to the nearest day with halves up (0.5 years is 183 days).
// Callers check the range first (InCalendarAfter): converting an
// out-of-range double to an integer is undefined.
int YearsToDays(double years);

// Accrual start of a bond of the given maturity in years: the valuation day
// moved back by the fractional part of the years, rounded, halves up.
int AccrualStartDate(int valuationJdn, double years);

// True for a Julian day from 1 January of year 1 to 31 December 9999.
bool IsCalendarJdn(long long jdn);

// Valuation serial to Julian day; false outside the calendar.
bool ValuationJdn(std::int32_t serial, int* jdn);

// valuationJdn + YearsToDays(years); false if years is not finite or the
// date would fall outside the calendar.
bool DateAfterYears(int valuationJdn, double years, int* jdn);

// Maturity and accrual start of a bond given by its years; false if either
// falls outside the calendar.
bool BondDates(int valuationJdn, double years, int* accrualStart, int* maturity);

bool AllFinite(std::initializer_list<double> values);

}  // namespace lorvex
