#include "black/black_bond_option.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "black/black_test_curves.h"
#include "market/bond_schedule.h"
#include "market/calendar.h"

namespace lorvex {
namespace {

using testing_curves::Curves;
using testing_curves::Df;

constexpr int kValuation = 2451545;  // 1 January 2000

// Today's value of the bond's flows paid strictly after date t.
double ValueAfter(const BondSchedule& bond, const ZeroCurve& curve, int t) {
  double v = 0.0;
  for (const CouponPeriod& p : bond.Periods()) {
    if (p.end > t) v += (p.coupon + p.principal) * Df(curve, kValuation, p.end);
  }
  return v;
}

struct BondCase {
  const char* what;
  double coupon;
  int years;  // to maturity, from the accrual start 1 January 2000 less 100 days
  int frequency;
  int expiryDays;
};

const BondCase kBonds[] = {
    {"5y 6% semi-annual, 1y option", 0.06, 5, 2, 365},
    {"10y 4% annual, 2y option", 0.04, 10, 1, 730},
    {"3y 9% quarterly, 6m option", 0.09, 3, 4, 183},
    {"7y 2% monthly, 3y option", 0.02, 7, 12, 1096},
};

// Put-call parity: call - put = D (F - K) = (value of the flows after
// expiry) - D K, on every curve and strike.
TEST(BlackBondOption, CallMinusPutIsTheDiscountedForwardLessStrike) {
  for (const auto& [name, curve] : Curves()) {
    for (const BondCase& b : kBonds) {
      BondSchedule bond(100.0, b.coupon, kValuation - 100, AddMonths(kValuation - 100, 12 * b.years), b.frequency);
      const int expiry = kValuation + b.expiryDays;
      const double D = Df(curve, kValuation, expiry);
      for (double strike : {80.0, 98.5, 100.0, 104.0, 130.0}) {
        for (double vol : {0.05, 0.2, 0.6}) {
          SCOPED_TRACE(testing::Message() << name << ", " << b.what << ", K " << strike << ", vol " << vol);
          const double call =
              BlackBondOption(kValuation, expiry, strike, vol, OptionType::Call, curve, bond);
          const double put = BlackBondOption(kValuation, expiry, strike, vol, OptionType::Put, curve, bond);
          EXPECT_NEAR(call - put, ValueAfter(bond, curve, expiry) - D * strike, 1e-9);
          EXPECT_GE(call, 0.0);
          EXPECT_GE(put, 0.0);
        }
      }
    }
  }
}

// The worked bond, priced with an exact-normal Black formula at the same
// forward and price volatility: the two agree to the normal's accuracy.
TEST(BlackBondOption, AgreesWithBlackOnTheExactNormal) {
  const ZeroCurve curve = testing_curves::Curve({2451545}, {0.05});
  BondSchedule bond(100.0, 0.06, kValuation, kValuation + 1825, 2);
  const int expiry = kValuation + 365;
  const double D = Df(curve, kValuation, expiry);
  const double F = ValueAfter(bond, curve, expiry) / D;
  const double sigmaP = PriceVolFromYieldVol(0.1, expiry, F, bond);
  for (double strike : {95.0, 100.0163835, 103.0}) {
    for (bool isPut : {false, true}) {
      const double expected = testing_curves::ExactBlack(F, strike, sigmaP, D, isPut);
      EXPECT_NEAR(BlackBondOption(kValuation, expiry, strike, 0.1, OptionTypeFromFlag(!isPut), curve, bond),
                  expected, 100 * 2e-7)
          << strike << " " << isPut;
    }
  }
}

// The price volatility is the modified duration at the forward yield times
// that yield times the yield volatility. Reference: the yield found by
// bisection and the duration by a central difference; the library's secant
// stops within 0.0001 of the price, so agreement is to about 1e-4 relative.
TEST(BlackBondOption, PriceVolatilityIsDurationTimesYieldVolatility) {
  for (const BondCase& b : kBonds) {
    BondSchedule bond(100.0, b.coupon, kValuation - 100, AddMonths(kValuation - 100, 12 * b.years), b.frequency);
    const int expiry = kValuation + b.expiryDays;
    for (double F : {85.0, 100.0, 112.0}) {
      double lo = -0.05;
      double hi = 0.5;
      for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        (bond.PriceFromYield(expiry, mid) > F ? lo : hi) = mid;
      }
      const double y = 0.5 * (lo + hi);
      const double h = 1e-6;
      const double slope = (bond.PriceFromYield(expiry, y + h) - bond.PriceFromYield(expiry, y - h)) / (2 * h);
      const double expected = -slope / F * y * 0.15;
      EXPECT_NEAR(PriceVolFromYieldVol(0.15, expiry, F, bond), expected, 2e-4 * std::fabs(expected) + 1e-7)
          << b.what << " F " << F;
    }
  }
}

// A forward price exactly at one end of the search's starting line makes
// its first guess exact, so the secant never moves; the duration must still
// be measured (a central difference) instead of dividing 0 by 0.
TEST(BlackBondOption, PriceVolatilityWhenTheFirstGuessIsExact) {
  BondSchedule bond(100.0, 0.06, kValuation, kValuation + 1826, 2);
  const int expiry = kValuation + 365;
  for (double y : {0.001, 0.25}) {
    const double F = bond.PriceFromYield(expiry, y);
    const double h = 1e-5;
    const double slope = (bond.PriceFromYield(expiry, y + h) - bond.PriceFromYield(expiry, y - h)) / (2 * h);
    const double expected = -slope / F * y * 0.1;
    const double got = PriceVolFromYieldVol(0.1, expiry, F, bond);
    EXPECT_TRUE(std::isfinite(got)) << y;
    EXPECT_NEAR(got, expected, 1e-6 * expected) << y;
  }
}

TEST(BlackBondOption, DegenerateTermsFollowTheirLimits) {
  const ZeroCurve curve = testing_curves::Curve({2451545, 2453000}, {0.04, 0.06});
  BondSchedule bond(100.0, 0.06, kValuation, kValuation + 1826, 2);
  const int expiry = kValuation + 365;
  const double D = Df(curve, kValuation, expiry);
  const double V = ValueAfter(bond, curve, expiry);
  const double F = V / D;
  struct Row {
    const char* what;
    int expiry;
    double strike, vol;
    bool isPut;
    double expected, tol;
  };
  const Row rows[] = {
      {"expiry today", kValuation, 100, 0.1, false, 0.0, 0.0},
      {"expiry before today", kValuation - 10, 100, 0.1, true, 0.0, 0.0},
      {"expiry after the last flow", kValuation + 2000, 100, 0.1, false, 0.0, 0.0},
      {"strike 0: call is the flows after expiry", expiry, 0.0, 0.1, false, V, 1e-12},
      {"strike 0: put is nothing", expiry, 0.0, 0.1, true, 0.0, 0.0},
      {"negative strike", expiry, -5.0, 0.1, false, V, 1e-12},
      {"zero volatility: discounted intrinsic call", expiry, 95.0, 0.0, false, D * (F - 95.0), 1e-9},
      {"zero volatility: out-of-the-money put", expiry, 95.0, 0.0, true, 0.0, 1e-9},
      {"negative volatility: intrinsic put", expiry, 110.0, -0.3, true, D * (110.0 - F), 1e-9},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(
        BlackBondOption(kValuation, r.expiry, r.strike, r.vol, OptionTypeFromFlag(!r.isPut), curve, bond),
        r.expected, r.tol)
        << r.what;
  }
  // An empty bond (refused frequency) has no flows after expiry.
  BondSchedule empty(100.0, 0.06, kValuation, kValuation + 1826, 3);
  EXPECT_EQ(BlackBondOption(kValuation, expiry, 100, 0.1, OptionType::Call, curve, empty), 0.0);
}

// A coupon paid on the expiry date goes to the holder before expiry: it is
// part of the income, not of the bond delivered.
TEST(BlackBondOption, CouponOnTheExpiryDateIsNotDelivered) {
  const ZeroCurve curve = testing_curves::Curve({2451545}, {0.05});
  BondSchedule bond(100.0, 0.06, DateToJdn(1, 1, 2000), DateToJdn(1, 1, 2005), 2);
  const int expiry = DateToJdn(1, 1, 2001);
  double afterExpiry = 0.0;
  for (const CouponPeriod& p : bond.Periods()) {
    if (p.end > expiry) afterExpiry += (p.coupon + p.principal) * Df(curve, kValuation, p.end);
  }
  EXPECT_NEAR(BlackBondOption(kValuation, expiry, 0.0, 0.1, OptionType::Call, curve, bond), afterExpiry,
              1e-12);
  EXPECT_NEAR(ValueAfter(bond, curve, expiry - 1) - afterExpiry, 3.0 * Df(curve, kValuation, expiry), 1e-12);
}

}  // namespace
}  // namespace lorvex
