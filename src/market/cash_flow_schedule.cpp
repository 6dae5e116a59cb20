#include "market/cash_flow_schedule.h"

#include "market/calendar.h"

namespace lorvex {

int CountScheduledDates(int start, int end, int perYear, int* onOrBefore) {
  int n = 0;
  MonthWalk dates(end, 12 / perYear);
  for (; dates.Date() > start; dates.Back()) ++n;
  *onOrBefore = dates.Date();
  return n;
}

int CountPeriodsWithStubRule(int start, int end, int perYear) {
  int previous = 0;
  int n = CountScheduledDates(start, end, perYear, &previous);
  if (start - previous > 182.5 / perYear) --n;
  return n;
}

int ScheduledPeriodEnd(int end, int perYear, int n, int j) {
  return AddMonths(end, -(n - 1 - j) * (12 / perYear));
}

}  // namespace lorvex
