// HW_TreeBondOption through the export: convergence to the closed form,
// no-arbitrage bounds, and the statuses of bad input.
#include <gtest/gtest.h>

#include <functional>
#include <cmath>
#include <limits>
#include <vector>

#include "lorvex/lorvex.h"
#include "market/bond_schedule.h"
#include "market/zero_curve.h"
#include "test_arrays.h"

namespace {

constexpr int kSerial = 36526;      // 1 January 2000
constexpr double kT0 = 2451545.0;   // its Julian day

using Curve = lorvex_test::CurveArray;
using lorvex_test::Days;
using lorvex_test::Df;
using lorvex_test::Rows;
using lorvex_test::ToJdn;

Rows SlopedRows() { return lorvex_test::SlopedRows(kSerial); }

struct Option {
  double maturityYears = 5.0;
  double coupon = 0.06;
  int frequency = 2;
  double expiryYears = 1.0;
  double strike = 100.0;
  int call = 1;
  int american = 0;
  int clean = 0;
  double sigma = 0.01;
  double a = 0.1;
  int steps = 100;
  int kind = 0;
};

int Price(const Option& o, SAFEARRAY** curve, double* value) {
  return HW_TreeBondOption(kSerial, o.maturityYears, o.coupon, 100.0, o.frequency, o.expiryYears, o.strike,
                           o.call, o.american, o.clean, curve, o.sigma, o.a, o.steps, o.kind, value);
}

double TreePrice(const Option& o, SAFEARRAY** curve) {
  double v = std::nan("");
  EXPECT_EQ(Price(o, curve, &v), 0);
  return v;
}

// The forward dirty price at expiry: the at-the-money strike.
double ForwardBondPrice(const Option& o, const lorvex::ZeroCurve& curve) {
  const int expiry = static_cast<int>(kT0) + Days(o.expiryYears);
  const int maturity = static_cast<int>(kT0) + Days(o.maturityYears);
  lorvex::BondSchedule bond(100.0, o.coupon, static_cast<int>(kT0), maturity, o.frequency);
  return bond.ForwardPrice(static_cast<int>(kT0), expiry, curve);
}

double ClosedFormExport(const Option& o, SAFEARRAY** curve) {
  double v = std::nan("");
  EXPECT_EQ(HW_HullWhiteBondOption(kSerial, o.maturityYears, o.coupon, 100.0, o.frequency, o.expiryYears,
                                   o.strike, o.sigma, o.a, o.call, o.clean, curve, &v),
            0);
  return v;
}

// The normal tree converges to the closed-form Hull-White price
// (HW_HullWhiteBondOption) as the steps grow: at-the-money 1-year call and
// put on a 5-year bond, on a flat and on a sloped curve. The error falls
// from 0.4 % at 25 steps to 0.02-0.03 % between 100 and 800 steps, and
// keeps falling beyond: 0.014 % at 1600 steps, 0.007 % at 3200, under
// 0.001 % at 6400. It has two parts. One is the variance bias of the
// lattice's one-step mean reversion and of reading the one-step rate as a
// zero-bond yield, about 0.2/N relative for a = 0.1 and a 1-year expiry (it
// vanishes with a = 0). The other is the kink of the payoff, whose place
// between nodes moves only with sqrt(N), so its 1/N-sized error goes through
// one slow cycle between about 400 and 6400 steps and looks like a plateau.
TEST(TreeBondOption, ConvergesToClosedForm) {
  for (const auto& rows : {Rows{{kSerial, 0.05}}, SlopedRows()}) {
    Curve curve(rows);
    const lorvex::ZeroCurve jdn = ToJdn(rows);
    for (int call : {1, 0}) {
      Option o;
      o.call = call;
      o.strike = ForwardBondPrice(o, jdn);
      const double reference = ClosedFormExport(o, curve.get());
      struct Row {
        int steps;
        double maxError;  // relative
      };
      const Row steps[] = {{25, 5e-3}, {50, 2e-3}, {100, 5e-4}, {200, 5e-4}, {400, 5e-4}};
      double first = 0.0;
      for (const Row& r : steps) {
        o.steps = r.steps;
        const double tree = TreePrice(o, curve.get());
        const double error = std::fabs(tree / reference - 1);
        if (r.steps == 25) first = error;
        EXPECT_LT(error, r.maxError) << "call " << call << " steps " << r.steps << " tree " << tree
                                     << " closed form " << reference;
        if (r.steps >= 100) {
          EXPECT_LT(error, first / 5) << "steps " << r.steps;
        }
      }
    }
  }
}

// A European call struck at 0 is worth today's value of the bond's flows
// after the expiry. On the lognormal and shape trees the node curves are
// the tree's own zero-bond prices, fitted to the curve (1e-6 relative); on
// the normal tree they come from the closed-form bond price (1e-5).
TEST(TreeBondOption, StrikeZeroCallIsTheBondValue) {
  Curve curve(SlopedRows());
  const lorvex::ZeroCurve jdn = ToJdn(SlopedRows());
  struct Row {
    int kind;
    double sigma;
    double tolerance;
  };
  const Row rows[] = {{0, 0.01, 1e-5}, {1, 0.2, 1e-6}, {2, 0.2, 1e-6}};
  for (const Row& r : rows) {
    for (int steps : {25, 100, 200}) {
      for (double expiryYears : {0.5, 1.0, 2.3}) {
        Option o;
        o.strike = 0;
        o.kind = r.kind;
        o.steps = steps;
        o.sigma = r.sigma;
        o.expiryYears = expiryYears;
        const int expiry = static_cast<int>(kT0) + Days(expiryYears);
        const double today = ForwardBondPrice(o, jdn) * Df(jdn, kT0, expiry);
        EXPECT_NEAR(TreePrice(o, curve.get()) / today, 1.0, r.tolerance)
            << "kind " << r.kind << " steps " << steps << " expiry " << expiryYears;
      }
    }
  }
}

// Exercise bounds and parities, for every kind, on a 1.3-year expiry
// (between coupon dates): American >= European and >= the immediate
// exercise on the dirty price today; European call - put = strike-0 call
// - strike * discount factor to the expiry; a clean strike K is a dirty
// strike K + accrued at expiry; the shape kind with g(r) = r prices like
// the lognormal kind.
TEST(TreeBondOption, ExerciseBoundsAndParities) {
  Curve curve(SlopedRows());
  const lorvex::ZeroCurve jdn = ToJdn(SlopedRows());
  lorvex::BondSchedule bond(100.0, 0.06, static_cast<int>(kT0), static_cast<int>(kT0) + 1825, 2);
  const int expiry = static_cast<int>(kT0) + 475;
  const double dirtyToday = bond.ForwardPrice(static_cast<int>(kT0), static_cast<int>(kT0), jdn);
  const double discount = Df(jdn, kT0, expiry);
  for (int kind : {0, 1, 2}) {
    Option base;
    base.kind = kind;
    base.sigma = kind == 0 ? 0.01 : 0.2;
    base.steps = 60;
    base.expiryYears = 1.3;
    Option zero = base;
    zero.strike = 0;
    const double forwardValue = TreePrice(zero, curve.get());
    for (double strike : {95.0, 100.0, 104.0}) {
      double european[2] = {0, 0};
      for (int call : {1, 0}) {
        Option o = base;
        o.strike = strike;
        o.call = call;
        european[call] = TreePrice(o, curve.get());
        o.american = 1;
        const double american = TreePrice(o, curve.get());
        const double immediate = std::max(call == 1 ? dirtyToday - strike : strike - dirtyToday, 0.0);
        EXPECT_GE(american, european[call] - 1e-12) << kind << " " << strike << " " << call;
        EXPECT_GE(american, immediate - 1e-6 * dirtyToday) << kind << " " << strike << " " << call;
      }
      EXPECT_NEAR(european[1] - european[0], forwardValue - strike * discount, 1e-6 * strike) << kind;
      Option clean = base;
      clean.strike = strike;
      clean.clean = 1;
      Option dirty = base;
      dirty.strike = strike + bond.AccruedInterest(expiry);
      EXPECT_NEAR(TreePrice(clean, curve.get()), TreePrice(dirty, curve.get()), 1e-10) << kind << " " << strike;
    }
  }
  EXPECT_GT(bond.AccruedInterest(expiry), 0.1);
  for (int american : {0, 1}) {
    Option o;
    o.sigma = 0.2;
    o.american = american;
    o.kind = 1;
    const double lognormal = TreePrice(o, curve.get());
    o.kind = 2;
    EXPECT_NEAR(TreePrice(o, curve.get()), lognormal, 1e-10);
  }
}

// A volatility of 0 or below is priced with 1e-6 a year.
TEST(TreeBondOption, NonPositiveVolatilityIsFloored) {
  Curve curve(SlopedRows());
  Option o;
  o.sigma = 1e-6;
  const double floored = TreePrice(o, curve.get());
  for (double sigma : {0.0, -0.02}) {
    o.sigma = sigma;
    EXPECT_EQ(TreePrice(o, curve.get()), floored) << sigma;
  }
}

// Statuses: -9 for arguments outside the calculation (result 0), -1 when
// the tree cannot be built, the curve reader's codes first.
TEST(TreeBondOption, BadInput) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Curve curve(SlopedRows());
  struct Row {
    const char* name;
    std::function<void(Option&)> change;
    int status;
  };
  const std::vector<Row> rows = {
      {"NaN maturity", [nan](Option& o) { o.maturityYears = nan; }, -9},
      {"NaN expiry", [nan](Option& o) { o.expiryYears = nan; }, -9},
      {"infinite strike", [inf](Option& o) { o.strike = inf; }, -9},
      {"NaN volatility", [nan](Option& o) { o.sigma = nan; }, -9},
      {"infinite mean reversion", [inf](Option& o) { o.a = -inf; }, -9},
      {"NaN coupon", [nan](Option& o) { o.coupon = nan; }, -9},
      {"expiry past year 9999", [](Option& o) { o.expiryYears = 9000; }, -9},
      {"no steps", [](Option& o) { o.steps = 0; }, -1},
      {"negative steps", [](Option& o) { o.steps = -4; }, -1},
      {"expiry on the valuation date", [](Option& o) { o.expiryYears = 0; }, -1},
      {"expiry before the valuation date", [](Option& o) { o.expiryYears = -1; }, -1},
      {"American expiring today", [](Option& o) { o.expiryYears = 0; o.american = 1; }, -1},
      {"a dt of 1 or more", [](Option& o) { o.a = 400; o.steps = 1; }, -1},
      {"enormous tree", [](Option& o) { o.steps = 2000000000; }, -1},
      {"enormous tree without mean reversion", [](Option& o) { o.steps = 200000; o.a = 0; }, -1},
  };
  for (const Row& r : rows) {
    Option o;
    r.change(o);
    double value = 42.0;
    EXPECT_EQ(Price(o, curve.get(), &value), r.status) << r.name;
    EXPECT_EQ(value, 0.0) << r.name;
  }
  Option o;
  EXPECT_EQ(Price(o, curve.get(), nullptr), -9);
  double value = 42.0;
  SAFEARRAY* none = nullptr;
  EXPECT_EQ(Price(o, &none, &value), -4);
  EXPECT_EQ(value, 0.0);
  // An empty curve reads 0 everywhere: the bond's dates alone make the
  // curve the tree is fitted to (zero rates). Without a bond (3 coupons a
  // year is no frequency) the tree has no curve at all.
  Curve empty({});
  EXPECT_EQ(Price(o, empty.get(), &value), 0);
  EXPECT_GT(value, 0.0);
  o.frequency = 3;
  EXPECT_EQ(Price(o, empty.get(), &value), -1);
  EXPECT_EQ(Price(o, curve.get(), &value), 0);
  EXPECT_EQ(value, 0.0);  // no bond, no value
}

}  // namespace
