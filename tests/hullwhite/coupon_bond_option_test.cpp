#include "hullwhite/coupon_bond_option.h"

#include <gtest/gtest.h>

#include <cmath>

#include "hullwhite/zero_bond.h"
#include "market/bond_schedule.h"
#include "market/calendar.h"
#include "market/zero_curve.h"
#include "test_arrays.h"

namespace lorvex {
namespace {

const int kT0 = DateToJdn(1, 1, 2000);

using lorvex_test::Line;

double MarketDiscount(const ZeroCurve& curve, double T) { return lorvex_test::Df(curve, kT0, T); }

// Market value today of the bond's flows paid strictly after `after`.
double FlowsAfter(const BondSchedule& bond, int after, const ZeroCurve& curve) {
  double sum = 0.0;
  for (const CouponPeriod& p : bond.Periods()) {
    if (p.end > after) sum += (p.coupon + p.principal) * MarketDiscount(curve, p.end);
  }
  return sum;
}

struct Trade {
  double years;  // bond maturity
  double coupon;
  int frequency;
  int expiryDays;
  double strike;  // dirty
  double sigma, a;
};

BondSchedule Bond(const Trade& t) {
  const int maturity = kT0 + static_cast<int>(std::lround(365 * t.years));
  return BondSchedule(100.0, t.coupon, kT0, maturity, t.frequency);
}

// Bonds around, in and out of the money, with mean reversion positive, zero,
// below the small-a threshold and negative, and an expiry on a coupon date.
const Trade kTrades[] = {
    {5, 0.06, 2, 365, 100.0, 0.01, 0.1},  {5, 0.06, 2, 365, 95.0, 0.01, 0.1},
    {5, 0.06, 2, 365, 108.0, 0.01, 0.0},  {10, 0.05, 1, 730, 100.0, 0.02, 5e-5},
    {10, 0.05, 4, 1000, 90.0, 0.015, -0.03}, {30, 0.08, 12, 3000, 120.0, 0.01, 0.05},
    {3, 0.0, 1, 400, 85.0, 0.03, 0.2},    {6, 0.06, 2, 364, 101.0, 0.01, 0.1},
};

// The critical rate prices the bond at the strike (the search stops within
// 1e-5 and then takes one more Newton step), within a few steps.
TEST(HullWhiteCouponBondOption, CriticalRatePricesTheBondAtTheStrike) {
  const ZeroCurve curve = Line(0.04, 0.06);
  for (const Trade& t : kTrades) {
    const BondSchedule bond = Bond(t);
    const double tex = kT0 + t.expiryDays;
    const CouponBondOptionResult o = HullWhiteCouponBondOption(kT0, kT0 + t.expiryDays, t.strike,
                                                               OptionType::Call, curve, t.sigma, t.a, bond);
    ASSERT_EQ(o.status, 0);
    const double v = HullWhiteCouponBondValue(bond, kT0, tex, tex, curve, o.criticalRate, t.sigma, t.a).value;
    EXPECT_NEAR(v, t.strike, 1e-5) << t.years << "y strike " << t.strike;
    EXPECT_LE(o.steps, 8) << t.years << "y strike " << t.strike;
  }
}

// call - put = value today of the flows after expiry - X P_M(expiry); the
// zero-bond strikes add up to the bond's value at r*, so the identity holds
// to the search tolerance times P_M(expiry). A coupon paid on the expiry day
// belongs to neither side (the last trade expires on a coupon date).
TEST(HullWhiteCouponBondOption, PutCallParity) {
  const ZeroCurve curve = Line(0.04, 0.06);
  for (const Trade& t : kTrades) {
    const BondSchedule bond = Bond(t);
    const int tex = kT0 + t.expiryDays;
    const double call =
        HullWhiteCouponBondOption(kT0, tex, t.strike, OptionType::Call, curve, t.sigma, t.a, bond).value;
    const double put =
        HullWhiteCouponBondOption(kT0, tex, t.strike, OptionType::Put, curve, t.sigma, t.a, bond).value;
    const double forward = FlowsAfter(bond, tex, curve) - t.strike * MarketDiscount(curve, tex);
    EXPECT_NEAR(call - put, forward, 1e-5) << t.years << "y strike " << t.strike;
    EXPECT_GT(call, std::max(forward, 0.0)) << t.years << "y strike " << t.strike;
    EXPECT_GT(put, std::max(-forward, 0.0)) << t.years << "y strike " << t.strike;
  }
}

// One flow after expiry: the option is that many options on the zero bond,
// struck at X / flow. The search ends one Newton step past 1e-5, so the
// strikes agree to far better than that.
TEST(HullWhiteCouponBondOption, OneFlowIsAZeroBondOption) {
  const ZeroCurve curve = Line(0.04, 0.06);
  struct Row {
    double years, coupon;
    int frequency, expiryDays;
    double strike, sigma, a;
  };
  const Row rows[] = {{1, 0.06, 1, 200, 100.0, 0.01, 0.1},
                      {2, 0.05, 1, 400, 97.0, 0.02, 0.0},
                      {5, 0.07, 2, 1700, 101.0, 0.01, 0.05},  // last coupon only
                      {4, 0.0, 4, 1000, 80.0, 0.03, -0.02}};
  for (const Row& r : rows) {
    const int maturity = kT0 + static_cast<int>(std::lround(365 * r.years));
    const BondSchedule bond(100.0, r.coupon, kT0, maturity, r.frequency);
    const double flow = bond.Periods().back().coupon + 100.0;
    for (int isPut : {0, 1}) {
      const double option = HullWhiteCouponBondOption(kT0, kT0 + r.expiryDays, r.strike,
                                                      OptionTypeFromFlag(!isPut), curve, r.sigma, r.a, bond)
                                .value;
      const double zero = HullWhiteZeroBondOption(kT0, kT0 + r.expiryDays, maturity, r.strike / flow, curve,
                                                  r.sigma, r.a, isPut);
      EXPECT_NEAR(option, flow * zero, 1e-10) << r.years << "y put " << isPut;
    }
  }
}

// Without volatility the bond's value at expiry is its forward, so the
// options are worth the discounted intrinsic value of the forward: all flows
// are exercised together or not at all. (A negative sigma is not this
// limit: the critical rate then carries the convexity of sigma^2 while each
// flow is taken at its intrinsic value.)
TEST(HullWhiteCouponBondOption, VanishingVolatilityGivesIntrinsicValueOfForward) {
  const ZeroCurve curve = Line(0.04, 0.06);
  for (const Trade& t : kTrades) {
    const BondSchedule bond = Bond(t);
    const int tex = kT0 + t.expiryDays;
    const double forward = FlowsAfter(bond, tex, curve) - t.strike * MarketDiscount(curve, tex);
    for (double sigma : {0.0, 1e-8}) {
      const double call =
          HullWhiteCouponBondOption(kT0, tex, t.strike, OptionType::Call, curve, sigma, t.a, bond).value;
      const double put =
          HullWhiteCouponBondOption(kT0, tex, t.strike, OptionType::Put, curve, sigma, t.a, bond).value;
      EXPECT_NEAR(call, std::max(forward, 0.0), 1e-5) << t.years << "y strike " << t.strike;
      EXPECT_NEAR(put, std::max(-forward, 0.0), 1e-5) << t.years << "y strike " << t.strike;
    }
  }
}

// Mean reversion 1e-9 against 0: the general bond volatility loses about
// 1e-7 of itself to cancellation, which moves an option on face 100 by far
// less than 1e-6. At 5e-5 only the bond volatility differs from the a = 0
// forms (by a T/2 relative at most), so the option moves by at most
// 0.4 x (flows) x sigma_p x a T / 2.
TEST(HullWhiteCouponBondOption, SmallMeanReversionIsContinuous) {
  const ZeroCurve curve = Line(0.04, 0.06);
  for (const Trade& t : kTrades) {
    const BondSchedule bond = Bond(t);
    const int tex = kT0 + t.expiryDays;
    const double flows = FlowsAfter(bond, tex, curve);
    const double longest = t.years;
    const double spMax = t.sigma * std::sqrt(t.expiryDays / 365.0) * longest;
    for (int isPut : {0, 1}) {
      const double at0 =
          HullWhiteCouponBondOption(kT0, tex, t.strike, OptionTypeFromFlag(!isPut), curve, t.sigma, 0.0, bond)
              .value;
      const double tiny = HullWhiteCouponBondOption(kT0, tex, t.strike, OptionTypeFromFlag(!isPut), curve,
                                                    t.sigma, 1e-9, bond)
                              .value;
      const double small = HullWhiteCouponBondOption(kT0, tex, t.strike, OptionTypeFromFlag(!isPut), curve,
                                                     t.sigma, 5e-5, bond)
                               .value;
      EXPECT_NEAR(tiny, at0, 1e-6) << t.years << "y strike " << t.strike;
      EXPECT_NEAR(small, at0, 0.4 * flows * spMax * 5e-5 * longest / 2) << t.years << "y strike " << t.strike;
    }
  }
}

// The cases decided for an option without a critical rate.
TEST(HullWhiteCouponBondOption, DegenerateCases) {
  const ZeroCurve curve = Line(0.04, 0.06);
  const BondSchedule bond(100.0, 0.06, kT0, kT0 + 1826, 2);
  struct Row {
    const char* name;
    int expiryDays;
    double strike;
    double call, put;  // NaN: the market value of the flows after expiry
  };
  const double flowsValue = std::nan("");
  const Row rows[] = {
      {"expiry today", 0, 100.0, 0.0, 0.0},
      {"expiry before today", -10, 100.0, 0.0, 0.0},
      {"expiry at maturity", 1826, 100.0, 0.0, 0.0},
      {"expiry after maturity", 2000, 100.0, 0.0, 0.0},
      {"strike 0", 365, 0.0, flowsValue, 0.0},
      {"negative strike", 365, -5.0, flowsValue, 0.0},
  };
  for (const Row& r : rows) {
    const int tex = kT0 + r.expiryDays;
    const CouponBondOptionResult call =
        HullWhiteCouponBondOption(kT0, tex, r.strike, OptionType::Call, curve, 0.01, 0.1, bond);
    const CouponBondOptionResult put =
        HullWhiteCouponBondOption(kT0, tex, r.strike, OptionType::Put, curve, 0.01, 0.1, bond);
    EXPECT_EQ(call.status, 0) << r.name;
    EXPECT_EQ(put.status, 0) << r.name;
    EXPECT_EQ(call.value, std::isnan(r.call) ? FlowsAfter(bond, tex, curve) : r.call) << r.name;
    EXPECT_EQ(put.value, r.put) << r.name;
  }
  const BondSchedule empty(100.0, 0.06, kT0, kT0 + 1826, 3);
  const CouponBondOptionResult none =
      HullWhiteCouponBondOption(kT0, kT0 + 365, 100.0, OptionType::Call, curve, 0.01, 0.1, empty);
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.value, 0.0);
}

// A search that cannot succeed stops: a bond whose flows are all 0 has no
// slope (the first step is infinite), a strike thousands of times the face
// throws the rate where the bond's value overflows, and a bond with negative
// coupons whose value never reaches the strike wanders until the limit.
TEST(HullWhiteCouponBondOption, FailedSearchIsRefused) {
  const ZeroCurve curve = Line(0.04, 0.06);
  struct Row {
    const char* name;
    double face, coupon, strike;
  };
  const Row rows[] = {{"nothing paid", 0.0, 0.0, 100.0},
                      {"strike 1e6 on face 100", 100.0, 0.06, 1e6},
                      {"value below the strike everywhere", 100.0, -0.5, 100.0}};
  for (const Row& r : rows) {
    const BondSchedule bond(r.face, r.coupon, kT0, kT0 + 3650, 2);
    const CouponBondOptionResult o =
        HullWhiteCouponBondOption(kT0, kT0 + 365, r.strike, OptionType::Put, curve, 0.01, 0.1, bond);
    EXPECT_EQ(o.status, kCriticalRateNotFound) << r.name;
    EXPECT_EQ(o.value, 0.0) << r.name;
    EXPECT_LE(o.steps, kMaxCriticalRateSteps) << r.name;
  }
  // The step limit itself: this search needs 4 steps (3 to meet the
  // tolerance, the last one still taken), so a limit of 3 refuses it.
  const BondSchedule bond(100.0, 0.06, kT0, kT0 + 1825, 2);
  const CouponBondOptionResult enough =
      HullWhiteCouponBondOption(kT0, kT0 + 365, 100.0, OptionType::Call, curve, 0.01, 0.1, bond, 4);
  EXPECT_EQ(enough.status, 0);
  EXPECT_EQ(enough.steps, 4);
  EXPECT_GT(enough.value, 0.0);
  const CouponBondOptionResult cut =
      HullWhiteCouponBondOption(kT0, kT0 + 365, 100.0, OptionType::Call, curve, 0.01, 0.1, bond, 3);
  EXPECT_EQ(cut.status, kCriticalRateNotFound);
  EXPECT_EQ(cut.value, 0.0);
}

}  // namespace
}  // namespace lorvex
