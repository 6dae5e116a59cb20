// HW_TreeCap and the tree rate spacings: convergence to the closed form,
// cap-floor parity, the strike-0 cap, the step rule, the argument orders
// and flags that differ from the other cap exports, and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.h"
#include "market/cap_schedule.h"
#include "market/zero_curve.h"
#include "treepricing/bond_tree_setup.h"
#include "treepricing/tree_cap.h"
#include "test_arrays.h"

namespace {

using Curve = lorvex_test::CurveArray;
using lorvex_test::Days;
using lorvex_test::Df;
using lorvex_test::Rows;
using lorvex_test::SlopedRows;
using lorvex_test::ToJdn;

constexpr int kSerial = 36526;     // 1 January 2000
constexpr int kT0 = 2451545;       // its Julian day

struct Cap {
  double endYears = 5.0;
  double startYears = 1.0;
  double rate = 0.045;
  double notional = 100.0;
  int perYear = 4;
  int capFlag = 1;
  double sigma = 0.01;
  double a = 0.1;
  int stepParameter = 10;
  int kind = 0;
};

int Price(const Cap& c, SAFEARRAY** curve, double* value) {
  return HW_TreeCap(kSerial, c.endYears, c.startYears, c.rate, c.notional, c.perYear, c.capFlag, curve, c.sigma,
                    c.a, c.stepParameter, c.kind, value);
}

double TreePrice(const Cap& c, SAFEARRAY** curve) {
  double v = std::nan("");
  EXPECT_EQ(Price(c, curve, &v), 0);
  return v;
}

// The caplets' forward agreements on today's curve: sum of
// N (P(start) - (1 + K tau) P(end)).
double ForwardAgreements(const Cap& c, const lorvex::ZeroCurve& curve) {
  const lorvex::CapSchedule cap(c.notional, c.rate, kT0 + Days(c.startYears), kT0 + Days(c.endYears), c.perYear,
                                0.0);
  double sum = 0.0;
  for (const lorvex::CapletPeriod& p : cap.Caplets()) {
    sum += c.notional * (Df(curve, kT0, p.start) - (1 + c.rate * p.accrualFraction) * Df(curve, kT0, p.end));
  }
  return sum;
}

// Steps a year: the step parameter over the years, rounded half up, within
// 1 .. 20; no finite integer quotient (a time of 0) gives 1.
TEST(TreeCap, StepRule) {
  struct Row {
    int parameter;
    double years;
    int steps;
  };
  const Row rows[] = {{10, 0.25, 20}, {10, 4.0, 3},  {10, 0.0, 1},   {0, 0.0, 1},    {-10, 0.0, 1},
                      {10, -1.0, 1},  {3, 2.0, 2},   {5, 2.0, 3},    {1, 3.0, 1},    {1, 2.5, 1},
                      {20, 1.0, 20},  {21, 1.0, 20}, {10, 1e-12, 1}, {0, 1.0, 1},    {7, 1.0, 7}};
  for (const Row& r : rows) EXPECT_EQ(lorvex::CapTreeStepCount(r.parameter, r.years), r.steps) << r.parameter << " " << r.years;
}

// The step rule seen through the exports: equal step counts price the same
// cap to the bit, different ones do not. HW_TreeCap divides by the start,
// HW_CapTreeRateDelta by the end.
TEST(TreeCap, StepRuleThroughTheExports) {
  Curve curve(SlopedRows(kSerial));
  Cap c;
  c.startYears = 0.25;
  c.stepParameter = 5;  // 20 a year
  const double twenty = TreePrice(c, curve.get());
  c.stepParameter = 10;  // 40, clamped to 20
  EXPECT_EQ(TreePrice(c, curve.get()), twenty);
  c.stepParameter = 4;  // 16
  EXPECT_NE(TreePrice(c, curve.get()), twenty);
  c.startYears = 4.0;
  c.endYears = 6.0;
  c.stepParameter = 10;  // 2.5 rounds to 3
  const double three = TreePrice(c, curve.get());
  c.stepParameter = 12;  // 3
  EXPECT_EQ(TreePrice(c, curve.get()), three);
  c.stepParameter = 9;  // 2.25: 2
  EXPECT_NE(TreePrice(c, curve.get()), three);
  c.startYears = 0.0;
  c.stepParameter = 10;  // no quotient: 1 a year, as with the parameter 1
  const double one = TreePrice(c, curve.get());
  c.stepParameter = 1;
  c.startYears = 0.0;
  EXPECT_EQ(TreePrice(c, curve.get()), one);
  // The rate spacing on the normal tree is sigma sqrt(3 dt0 / 365), dt0 the
  // first step: a cap from 1 to 5 years with the parameter 10 takes 10 / 5
  // = 2 steps a year, so the first year splits into 3 steps of 365/3 days;
  // the parameter 50 gives 10 a year: 11 steps of 365/11 days.
  struct Row {
    int parameter;
    double expected;
  };
  for (const Row& r : {Row{10, 0.01}, Row{50, 0.01 * std::sqrt(3.0 / 11.0)}, Row{500, 0.01 * std::sqrt(3.0 / 21.0)}}) {
    double delta = 0.0;
    ASSERT_EQ(HW_CapTreeRateDelta(kSerial, 1.0, 5.0, 4, curve.get(), 0.01, 0.1, r.parameter, 0, &delta), 0);
    EXPECT_NEAR(delta, r.expected, 1e-13) << r.parameter;
  }
}

// The tree cap with a start after today converges towards the closed-form
// Hull-White cap as the steps a year grow up to the clamp of 20: quarterly
// caplets from 1 to 5 years on the sloped curve, at three strikes. The
// error falls from about 4 % at 1 step a year to between 0.5 % and 1.4 %
// at 20 (the out-of-the-money floor furthest).
TEST(TreeCap, ConvergesTowardsTheClosedForm) {
  Curve curve(SlopedRows(kSerial));
  for (double strike : {0.035, 0.045, 0.055}) {
    for (int capFlag : {1, 0}) {
      double closed = 0.0;
      ASSERT_EQ(HW_HullWhiteCap(kSerial, 1.0, 5.0, strike, 100.0, 4, 0.01, 0.1, capFlag, curve.get(), &closed), 0);
      Cap c;
      c.rate = strike;
      c.capFlag = capFlag;
      double previous = std::numeric_limits<double>::infinity();
      for (int parameter : {1, 2, 5, 10, 20}) {
        c.stepParameter = parameter;
        const double error = std::fabs(TreePrice(c, curve.get()) / closed - 1);
        EXPECT_LT(error, previous) << strike << " " << capFlag << " " << parameter;
        previous = error;
      }
      EXPECT_LT(previous, 0.015) << strike << " " << capFlag;
    }
  }
}

// Cap - floor is the caplets' forward agreements on today's curve, for
// every kind: on the lognormal and shape trees the node bonds are the
// tree's own, repriced to the fit tolerance (1e-7 a discount factor, 16
// caplets of notional 100: within 1e-4); the normal tree reads them from
// the closed-form bond price, to first order in the step (within 2e-3).
// A cap struck at 0 is N (P(first start) - P(last end)) where rates stay
// positive (lognormal and shape); on the normal tree paths with negative
// forwards add value.
TEST(TreeCap, ParityAndStrikeZero) {
  const Rows rows = SlopedRows(kSerial);
  Curve curve(rows);
  const lorvex::ZeroCurve jdn = ToJdn(rows);
  struct Row {
    int kind;
    double sigma;
    double tolerance;
  };
  for (const Row& r : {Row{0, 0.01, 2e-3}, Row{1, 0.2, 1e-4}, Row{2, 0.2, 1e-4}}) {
    for (double start : {0.0, 0.5, 1.0}) {
      for (double strike : {0.0, 0.03, 0.05, 0.07}) {
        Cap c;
        c.kind = r.kind;
        c.sigma = r.sigma;
        c.startYears = start;
        c.rate = strike;
        const double cap = TreePrice(c, curve.get());
        c.capFlag = 0;
        const double floor = TreePrice(c, curve.get());
        EXPECT_NEAR(cap - floor, ForwardAgreements(c, jdn), r.tolerance) << r.kind << " " << start << " " << strike;
        if (strike == 0.0) {
          const double bonds = 100 * (Df(jdn, kT0, kT0 + Days(start)) - Df(jdn, kT0, kT0 + Days(5.0)));
          if (r.kind == 0) {
            // About 1e-3 on 100 with sigma 0.01 on this curve.
            EXPECT_GT(floor, 5e-4) << start;
            EXPECT_GT(cap, bonds + 5e-4) << start;
            EXPECT_NEAR(cap, bonds + floor, r.tolerance) << start;
          } else {
            EXPECT_NEAR(cap, bonds, r.tolerance) << r.kind << " " << start;
            EXPECT_EQ(floor, 0.0);
          }
        }
      }
    }
  }
}

// Flags and orders that differ from the other cap exports: 0 is the floor
// and every other value the cap (HW_HullWhiteCap takes only 1 as the cap);
// the end comes before the start, so swapping them leaves no caplet (-3),
// while HW_CapTreeRateDelta takes the start first.
TEST(TreeCap, FlagsAndArgumentOrder) {
  Curve curve(SlopedRows(kSerial));
  Cap c;
  const double cap = TreePrice(c, curve.get());
  c.capFlag = 0;
  const double floor = TreePrice(c, curve.get());
  EXPECT_NE(cap, floor);
  for (int flag : {2, -1, 7}) {
    c.capFlag = flag;
    EXPECT_EQ(TreePrice(c, curve.get()), cap) << flag;
    double closed = 0.0;
    double closedFloor = 0.0;
    ASSERT_EQ(HW_HullWhiteCap(kSerial, 1.0, 5.0, c.rate, 100.0, 4, 0.01, 0.1, flag, curve.get(), &closed), 0);
    ASSERT_EQ(HW_HullWhiteCap(kSerial, 1.0, 5.0, c.rate, 100.0, 4, 0.01, 0.1, 0, curve.get(), &closedFloor), 0);
    EXPECT_EQ(closed, closedFloor) << flag;
  }
  double value = 42.0;
  EXPECT_EQ(HW_TreeCap(kSerial, 1.0, 5.0, 0.045, 100.0, 4, 1, curve.get(), 0.01, 0.1, 10, 0, &value), -3);
  EXPECT_EQ(value, 0.0);
  EXPECT_EQ(HW_CapTreeRateDelta(kSerial, 1.0, 5.0, 4, curve.get(), 0.01, 0.1, 10, 0, &value), 0);
  EXPECT_GT(value, 0.0);
  struct Row {
    double start, end;
  };
  for (const Row& r : {Row{5.0, 1.0}, Row{2.0, 2.0}, Row{0.0, 0.0}}) {
    value = 42.0;
    EXPECT_EQ(HW_CapTreeRateDelta(kSerial, r.start, r.end, 4, curve.get(), 0.01, 0.1, 10, 0, &value), -3)
        << r.start << " " << r.end;
    EXPECT_EQ(value, 0.0);
  }
}

// A caplet resetting on the valuation date: the tree cap settles it on the
// root at its intrinsic value, N tau max(F - K, 0) P(end) on today's curve,
// while the Black and closed-form caps leave it out.
TEST(TreeCap, CapletResettingTodayCounts) {
  const Rows rows = SlopedRows(kSerial);
  Curve curve(rows);
  const lorvex::ZeroCurve jdn = ToJdn(rows);
  const lorvex::CapSchedule schedule(100.0, 0.02, kT0, kT0 + Days(0.25), 4, 0.0);
  ASSERT_EQ(schedule.Count(), 1);
  const double intrinsic = std::max(schedule.CapletPayoff(0, kT0, jdn), 0.0);
  ASSERT_GT(intrinsic, 0.2);
  for (int kind : {0, 1, 2}) {
    Cap c;
    c.kind = kind;
    c.sigma = kind == 0 ? 0.01 : 0.2;
    c.startYears = 0.0;
    c.endYears = 0.25;
    c.rate = 0.02;
    EXPECT_NEAR(TreePrice(c, curve.get()), intrinsic, kind == 0 ? 1e-4 : 1e-6) << kind;
  }
  double closed = 42.0;
  double black = 42.0;
  ASSERT_EQ(HW_HullWhiteCap(kSerial, 0.0, 0.25, 0.02, 100.0, 4, 0.01, 0.1, 1, curve.get(), &closed), 0);
  ASSERT_EQ(HW_BlackCap(kSerial, 0.0, 0.25, 0.02, 100.0, 4, 0.2, 1, curve.get(), &black), 0);
  EXPECT_EQ(closed, 0.0);
  EXPECT_EQ(black, 0.0);
}

// The bond tree's spacing on the normal tree is sigma sqrt(3 dt0 / 365),
// dt0 = expiry days / steps; on every kind it is the spacing of the tree
// HW_TreeBondOption builds, whatever the bond's coupon and the strike.
TEST(TreeRateDelta, BondTreeSpacing) {
  Curve curve(SlopedRows(kSerial));
  const lorvex::ZeroCurve jdn = ToJdn(SlopedRows(kSerial));
  struct Row {
    double expiryYears;
    int steps;
    double sigma;
  };
  for (const Row& r : {Row{1.0, 10, 0.01}, Row{0.5, 7, 0.02}, Row{2.3, 100, 0.005}}) {
    const double dt0 = Days(r.expiryYears) / static_cast<double>(r.steps);
    double delta = 0.0;
    ASSERT_EQ(HW_BondTreeRateDelta(kSerial, 5.0, r.expiryYears, curve.get(), r.sigma, 0.1, r.steps, 0, &delta), 0);
    EXPECT_NEAR(delta, r.sigma * std::sqrt(3 * dt0 / 365), 1e-13) << r.expiryYears;
  }
  for (int kind : {0, 1, 2}) {
    double delta = 0.0;
    ASSERT_EQ(HW_BondTreeRateDelta(kSerial, 5.0, 1.0, curve.get(), 0.2, 0.1, 10, kind, &delta), 0);
    for (double coupon : {0.0, 0.06, 0.12}) {
      for (double strike : {50.0, 100.0, 150.0}) {
        lorvex::ZeroCurve withBond = jdn;
        lorvex::BondTreeTerms terms;
        terms.valuation = kT0;
        terms.accrualStart = kT0;
        terms.maturity = kT0 + Days(5.0);
        terms.couponRate = coupon;
        terms.expiry = kT0 + 365;
        terms.strike = strike;
        terms.sigma = 0.2;
        terms.meanReversion = 0.1;
        terms.stepCount = 10;
        terms.kind = kind;
        lorvex::BondTreeSetup setup(terms, withBond);
        const lorvex::HullWhiteTree tree(setup.Args());
        ASSERT_EQ(tree.status(), 0);
        EXPECT_NEAR(tree.NodeRate(1, 2) - tree.NodeRate(1, 1), delta, 1e-15) << kind << " " << coupon;
      }
    }
  }
}

// Statuses of the cap and the two spacings: the curve reader first, -9 for
// arguments outside the calculation, -3 for a rejected cap schedule, -1
// when the tree cannot be built; the result is 0 after every failure.
TEST(TreeCap, BadInput) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Curve curve(SlopedRows(kSerial));
  Curve empty({});
  struct Row {
    const char* name;
    std::function<int(double*)> call;
    int status;
  };
  auto cap = [&](std::function<void(Cap&)> change) {
    return [&curve, change](double* v) {
      Cap c;
      change(c);
      return Price(c, curve.get(), v);
    };
  };
  auto bond = [&](double maturity, double expiry, double sigma, int steps, SAFEARRAY** array) {
    return [=](double* v) { return HW_BondTreeRateDelta(kSerial, maturity, expiry, array, sigma, 0.1, steps, 0, v); };
  };
  auto capDelta = [&](double start, double end, int perYear, double a, SAFEARRAY** array) {
    return [=](double* v) { return HW_CapTreeRateDelta(kSerial, start, end, perYear, array, 0.01, a, 10, 1, v); };
  };
  const std::vector<Row> rows = {
      {"cap: NaN end", cap([nan](Cap& c) { c.endYears = nan; }), -9},
      {"cap: infinite start", cap([inf](Cap& c) { c.startYears = inf; }), -9},
      {"cap: NaN rate", cap([nan](Cap& c) { c.rate = nan; }), -9},
      {"cap: infinite notional", cap([inf](Cap& c) { c.notional = inf; }), -9},
      {"cap: NaN volatility", cap([nan](Cap& c) { c.sigma = nan; }), -9},
      {"cap: infinite mean reversion", cap([inf](Cap& c) { c.a = inf; }), -9},
      {"cap: end past year 9999", cap([](Cap& c) { c.endYears = 9000; }), -9},
      {"cap: 3 payments a year", cap([](Cap& c) { c.perYear = 3; }), -3},
      {"cap: end before start", cap([](Cap& c) { c.endYears = 0.5; }), -3},
      {"cap: shorter than half a period", cap([](Cap& c) { c.endYears = 1.1; }), -3},
      {"cap: a dt of 1 or more", cap([](Cap& c) { c.a = 800; c.stepParameter = 1; }), -1},
      {"cap: value beyond the doubles", cap([](Cap& c) { c.notional = 1e308; c.rate = -1e10; }), -9},
      {"bond spacing: NaN maturity", bond(nan, 1.0, 0.01, 10, curve.get()), -9},
      {"bond spacing: infinite expiry", bond(5.0, inf, 0.01, 10, curve.get()), -9},
      {"bond spacing: NaN volatility", bond(5.0, 1.0, nan, 10, curve.get()), -9},
      {"bond spacing: expiry past year 9999", bond(5.0, 9000, 0.01, 10, curve.get()), -9},
      {"bond spacing: no steps", bond(5.0, 1.0, 0.01, 0, curve.get()), -1},
      {"bond spacing: expiry today", bond(5.0, 0.0, 0.01, 10, curve.get()), -1},
      {"bond spacing: empty curve", bond(5.0, 1.0, 0.01, 10, empty.get()), -1},
      {"bond spacing: enormous tree", bond(5.0, 1.0, 0.01, 2000000000, curve.get()), -1},
      {"cap spacing: NaN start", capDelta(nan, 5.0, 4, 0.1, curve.get()), -9},
      {"cap spacing: end before year 1", capDelta(1.0, -3000, 4, 0.1, curve.get()), -9},
      {"cap spacing: NaN mean reversion", capDelta(1.0, 5.0, 4, nan, curve.get()), -9},
      {"cap spacing: 5 payments a year", capDelta(1.0, 5.0, 5, 0.1, curve.get()), -3},
      {"cap spacing: a dt of 1 or more", capDelta(1.0, 5.0, 4, 900, curve.get()), -1},
      {"cap spacing: empty curve", capDelta(1.0, 5.0, 4, 0.1, empty.get()), -1},
  };
  for (const Row& r : rows) {
    double value = 42.0;
    EXPECT_EQ(r.call(&value), r.status) << r.name;
    EXPECT_EQ(value, 0.0) << r.name;
  }
  SAFEARRAY* none = nullptr;
  double value = 42.0;
  EXPECT_EQ(Price(Cap{}, &none, &value), -4);
  EXPECT_EQ(HW_BondTreeRateDelta(kSerial, 5.0, 1.0, &none, 0.01, 0.1, 10, 0, &value), -4);
  EXPECT_EQ(HW_CapTreeRateDelta(kSerial, 1.0, 5.0, 4, &none, 0.01, 0.1, 10, 0, &value), -4);
  EXPECT_EQ(value, 0.0);
  EXPECT_EQ(Price(Cap{}, curve.get(), nullptr), -9);
  EXPECT_EQ(HW_BondTreeRateDelta(kSerial, 5.0, 1.0, curve.get(), 0.01, 0.1, 10, 0, nullptr), -9);
  EXPECT_EQ(HW_CapTreeRateDelta(kSerial, 1.0, 5.0, 4, curve.get(), 0.01, 0.1, 10, 0, nullptr), -9);
}

}  // namespace
