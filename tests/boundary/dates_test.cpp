#include "boundary/dates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "market/calendar.h"

namespace lorvex {
namespace {

TEST(Dates, YearsToDaysRoundsHalvesUp) {
  struct Row {
    double years;
    int days;
  };
  const Row rows[] = {{0.0, 0}, {1.0, 365}, {0.5, 183}, {2.5, 913}, {100.3 / 365, 100},
                      {1.5, 548}, {1.3, 475}, {30.0, 10950}};
  for (const Row& r : rows) EXPECT_EQ(YearsToDays(r.years), r.days) << r.years;
}

TEST(Dates, AccrualStartMovesBackByTheFractionOfAYear) {
  const int j = 2451545;
  EXPECT_EQ(AccrualStartDate(j, 2.0), j);
  EXPECT_EQ(AccrualStartDate(j, 2.5), j - 183);
  EXPECT_EQ(AccrualStartDate(j, 1.3), DateToJdn(13, 9, 1999));
}

TEST(Dates, SerialsAndYearsOutsideTheCalendarAreRefused) {
  int jdn = 0;
  EXPECT_TRUE(ValuationJdn(36526, &jdn));
  EXPECT_EQ(jdn, 2451545);
  EXPECT_FALSE(ValuationJdn(-693594, &jdn));  // 31 December of year 0
  EXPECT_TRUE(ValuationJdn(-693593, &jdn));   // 1 January of year 1
  EXPECT_TRUE(ValuationJdn(2958465, &jdn));   // 31 December 9999
  EXPECT_FALSE(ValuationJdn(2958466, &jdn));
  EXPECT_FALSE(ValuationJdn(std::numeric_limits<std::int32_t>::max(), &jdn));
  EXPECT_FALSE(ValuationJdn(std::numeric_limits<std::int32_t>::min(), &jdn));

  const double bad[] = {std::nan(""), std::numeric_limits<double>::infinity(), -1e300, 1e300,
                        8100.0, -2001.0};
  for (double years : bad) EXPECT_FALSE(DateAfterYears(2451545, years, &jdn)) << years;
  EXPECT_TRUE(DateAfterYears(2451545, -1.0, &jdn));
  EXPECT_EQ(jdn, 2451545 - 364);  // -trunc(-0.5 + 365): negative times round towards today
  int start = 0, maturity = 0;
  EXPECT_FALSE(BondDates(kFirstCalendarJdn, 0.5, &start, &maturity));  // accrual start before year 1
}

}  // namespace
}  // namespace lorvex
