#include "boundary/dates.h"

#include <cmath>

#include "market/calendar.h"
#include "market/constants.h"

namespace lorvex {

int YearsToDays(double years) {
  return -static_cast<int>(std::trunc(-0.5 - kDaysPerYear * years));
}

int AccrualStartDate(int valuationJdn, double years) {
  const double fraction = years - std::trunc(years);
  return valuationJdn - static_cast<int>(std::trunc(0.5 + kDaysPerYear * fraction));
}

bool IsCalendarJdn(long long jdn) {
  return jdn >= kFirstCalendarJdn && jdn <= kLastCalendarJdn;
}

bool ValuationJdn(std::int32_t serial, int* jdn) {
  const long long j = static_cast<long long>(serial) + kSerialToJdn;
  if (!IsCalendarJdn(j)) return false;
  *jdn = static_cast<int>(j);
  return true;
}

bool DateAfterYears(int valuationJdn, double years, int* jdn) {
  if (!std::isfinite(years)) return false;
  // The calendar spans under 3.7 million days, so a larger offset is out
  // whatever the valuation date, and the cast below stays defined.
  if (std::fabs(kDaysPerYear * years) > 4.0e6) return false;
  const long long j = static_cast<long long>(valuationJdn) + YearsToDays(years);
  if (!IsCalendarJdn(j)) return false;
  *jdn = static_cast<int>(j);
  return true;
}

bool BondDates(int valuationJdn, double years, int* accrualStart, int* maturity) {
  if (!DateAfterYears(valuationJdn, years, maturity)) return false;
  const int start = AccrualStartDate(valuationJdn, years);
  if (!IsCalendarJdn(start)) return false;
  *accrualStart = start;
  return true;
}

bool AllFinite(std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace lorvex
