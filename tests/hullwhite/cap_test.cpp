#include "hullwhite/cap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "black/black_cap.h"
#include "market/cap_schedule.h"
#include "market/zero_curve.h"
#include "test_arrays.h"

namespace lorvex {
namespace {

constexpr int kT0 = 2451545;  // 1 January 2000

using lorvex_test::Line;

double MarketDiscount(const ZeroCurve& curve, double T) { return lorvex_test::Df(curve, kT0, T); }

struct CapTerms {
  std::string name;
  int startDays, endDays, perYear;
  double rate;
};

const CapTerms kCaps[] = {
    {"1y-3y quarterly 5%", 365, 1095, 4, 0.05},
    {"from today 5y semi-annual 6%", 0, 1826, 2, 0.06},
    {"started half a year ago, annual 3%", -183, 2000, 1, 0.03},
    {"monthly 0%", 30, 700, 12, 0.0},
    {"negative rate -1%", 100, 1500, 4, -0.01},
};

// cap - floor = sum over the caplets not yet reset of N (P(s) - (1 + K tau) P(e)),
// a portfolio of forward-rate agreements: any model must agree.
TEST(HullWhiteCap, CapMinusFloorIsTheForwardRateAgreements) {
  const ZeroCurve curve = Line(0.035, 0.065);
  for (const CapTerms& t : kCaps) {
    const CapSchedule cap(100.0, t.rate, kT0 + t.startDays, kT0 + t.endDays, t.perYear, 0.0);
    double fras = 0.0;
    for (const CapletPeriod& c : cap.Caplets()) {
      if (c.start > kT0) {
        fras += 100.0 * (MarketDiscount(curve, c.start) -
                         (1.0 + t.rate * c.accrualFraction) * MarketDiscount(curve, c.end));
      }
    }
    for (double a : {0.1, 0.0, -0.02}) {
      const double capValue = HullWhiteCapValue(kT0, 0.012, a, OptionType::Call, curve, cap);
      const double floorValue = HullWhiteCapValue(kT0, 0.012, a, OptionType::Put, curve, cap);
      EXPECT_NEAR(capValue - floorValue, fras, 1e-12) << t.name << " a " << a;
      EXPECT_GT(capValue, std::max(fras, 0.0)) << t.name << " a " << a;
    }
  }
}

// sigma -> 0 (0 and negative are priced at 1e-6): each caplet is worth its
// discounted intrinsic value, as is the Black cap at vanishing volatility.
// Both reduce to N max(P(s) - (1 + K tau) P(e), 0) up to rounding.
TEST(HullWhiteCap, VanishingVolatilityMatchesBlack) {
  const ZeroCurve curve = Line(0.035, 0.065);
  for (const CapTerms& t : kCaps) {
    const CapSchedule cap(100.0, t.rate, kT0 + t.startDays, kT0 + t.endDays, t.perYear, 0.0);
    if (t.rate <= 0.0) continue;  // the Black cap replaces such a rate by 1e-6
    for (int isFloor : {0, 1}) {
      const double black = BlackCapFloor(kT0, 0.0, OptionTypeFromFlag(isFloor == 0), curve, cap);
      for (double sigma : {0.0, -0.01, 1e-7}) {
        EXPECT_NEAR(HullWhiteCapValue(kT0, sigma, 0.1, OptionTypeFromFlag(isFloor == 0), curve, cap), black,
                    1e-10)
            << t.name << " floor " << isFloor << " sigma " << sigma;
      }
    }
  }
}

// Mean reversion 1e-9 against 0: 1 - exp(-x) with x = a x years loses about
// 2.2e-16 / x of itself to cancellation, so the bond volatility is off by up
// to 2.2e-16 / (a min(tc, T - tc)) relative (4e-7 on a quarter). At 5e-5 only
// the bond volatility moves, by at most a T/2 relative. Each caplet moves by
// at most its vega per unit bond volatility, 0.4 N (1 + K tau) P(e), times
// the volatility's change.
TEST(HullWhiteCap, SmallMeanReversionIsContinuous) {
  const ZeroCurve curve = Line(0.035, 0.065);
  const double sigma = 0.015;
  for (const CapTerms& t : kCaps) {
    const CapSchedule cap(100.0, t.rate, kT0 + t.startDays, kT0 + t.endDays, t.perYear, 0.0);
    double bound = 0.0;
    double tinyBound = 0.0;
    for (const CapletPeriod& c : cap.Caplets()) {
      if (c.start <= kT0) continue;
      const double tc = (c.start - kT0) / 365.0, T = (c.end - kT0) / 365.0;
      const double vega = 0.4 * 100.0 * (1.0 + t.rate * c.accrualFraction) * sigma * std::sqrt(tc) * (T - tc);
      bound += vega * 5e-5 * T / 2.0;
      tinyBound += vega * 2.2e-16 / (1e-9 * std::min(tc, T - tc));
    }
    for (int isFloor : {0, 1}) {
      const double at0 = HullWhiteCapValue(kT0, sigma, 0.0, OptionTypeFromFlag(isFloor == 0), curve, cap);
      EXPECT_NEAR(HullWhiteCapValue(kT0, sigma, 1e-9, OptionTypeFromFlag(isFloor == 0), curve, cap), at0,
                  tinyBound)
          << t.name;
      EXPECT_NEAR(HullWhiteCapValue(kT0, sigma, 5e-5, OptionTypeFromFlag(isFloor == 0), curve, cap), at0,
                  bound)
          << t.name;
    }
  }
}

// Caplets already reset are left out; a cap with none left is worth 0.
// A strike at or below -1/tau cannot be missed: the caplet is its forward
// and the floorlet nothing.
TEST(HullWhiteCap, EdgeCases) {
  const ZeroCurve curve = Line(0.035, 0.065);
  const CapSchedule resetToday(100.0, 0.05, kT0, kT0 + 91, 4, 0.0);
  ASSERT_EQ(resetToday.Count(), 1);
  EXPECT_EQ(HullWhiteCapValue(kT0, 0.01, 0.1, OptionType::Call, curve, resetToday), 0.0);
  EXPECT_EQ(HullWhiteCapValue(kT0, 0.01, 0.1, OptionType::Put, curve, resetToday), 0.0);
  const CapSchedule empty(100.0, 0.05, kT0 + 500, kT0 + 400, 4, 0.0);
  EXPECT_EQ(HullWhiteCapValue(kT0, 0.01, 0.1, OptionType::Call, curve, empty), 0.0);

  for (double rate : {-4.0, -10.0}) {  // 1 + K tau = 0 on 91.25 days, below 0 at -10
    const CapSchedule cap(100.0, rate, kT0 + 365, kT0 + 1095, 4, 0.0);
    double fras = 0.0;
    for (const CapletPeriod& c : cap.Caplets()) {
      fras += 100.0 * (MarketDiscount(curve, c.start) - (1.0 + rate * c.accrualFraction) * MarketDiscount(curve, c.end));
    }
    EXPECT_NEAR(HullWhiteCapValue(kT0, 0.01, 0.1, OptionType::Call, curve, cap), fras, 1e-11) << rate;
    EXPECT_NEAR(HullWhiteCapValue(kT0, 0.01, 0.1, OptionType::Put, curve, cap), 0.0, 1e-11) << rate;
  }
}

}  // namespace
}  // namespace lorvex
