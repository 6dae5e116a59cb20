#include "hullwhite/zero_bond.h"

#include <gtest/gtest.h>

#include <cmath>

#include "market/zero_curve.h"

namespace lorvex {
namespace {

constexpr double kT0 = 2451545.0;  // 1 January 2000

// Zero rates linear in time between the valuation date and ten years.
ZeroCurve Line(double r0, double r10) {
  ZeroCurve curve;
  curve.Insert(kT0, r0);
  curve.Insert(kT0 + 3650, r10);
  return curve;
}

double MarketDiscount(const ZeroCurve& curve, double T) {
  return std::exp(-curve.Interpolate(T) * (T - kT0) / 365.0);
}

// Reference values from QuantLib 1.29 (HullWhite::discountBond and
// HullWhite::discountBondOption, exact normal distribution) on the same
// curves, Actual/365 Fixed times from 1 January 2000: option expiring in 365
// days on the bond maturing in 1825 days, strike 0.8, sigma 0.01; the model
// price at 365 days of the 1825-day bond given r = 0.05. Our options carry
// the polynomial normal's error: |N error| < 8.3e-8 on two terms of size
// below 1, so 2e-7. The bond price differs only by rounding (the curve's
// slope is constant between the points, so the difference quotient is exact).
TEST(HullWhiteZeroBond, MatchesIndependentLibrary) {
  struct Row {
    double r0, r10, a, call, put, price;
  };
  const Row rows[] = {
      {0.05, 0.05, 0.1, 0.0210560202, 0.0032387767, 0.818327587567},
      {0.05, 0.05, 0.0, 0.0231939007, 0.0053766572, 0.818076030400},
      {0.04, 0.06, 0.1, 0.0166354261, 0.0049304675, 0.795906672201},
      {0.04, 0.06, 0.0, 0.0190594699, 0.0073545113, 0.792312020081},
  };
  for (const Row& r : rows) {
    const ZeroCurve curve = Line(r.r0, r.r10);
    const double call = HullWhiteZeroBondOption(kT0, kT0 + 365, kT0 + 1825, 0.8, curve, 0.01, r.a, 0);
    const double put = HullWhiteZeroBondOption(kT0, kT0 + 365, kT0 + 1825, 0.8, curve, 0.01, r.a, 1);
    const double price = HullWhiteZeroBondPrice(0.05, kT0, kT0 + 365, kT0 + 1825, curve, 0.01, r.a);
    EXPECT_NEAR(call, r.call, 2e-7) << "curve " << r.r0 << "/" << r.r10 << " a " << r.a;
    EXPECT_NEAR(put, r.put, 2e-7) << "curve " << r.r0 << "/" << r.r10 << " a " << r.a;
    EXPECT_NEAR(price, r.price, 1e-11) << "curve " << r.r0 << "/" << r.r10 << " a " << r.a;
  }
}

// With no volatility the model is deterministic: the short rate at t is the
// instantaneous forward f(t), and the bond at t is worth the forward
// P_M(T)/P_M(t). With zero rates r0 + s t linear in years, f(t) = r0 + 2 s t.
TEST(HullWhiteZeroBond, DeterministicModelGivesForwardPrices) {
  const ZeroCurve curve = Line(0.03, 0.07);
  const double s = 0.004;  // per year
  struct Row {
    double t, T, a;
  };
  const Row rows[] = {{100, 800, 0.1}, {365, 3000, 0.0}, {1000, 1001, 0.3}, {2000, 3600, 5e-5}};
  for (const Row& r : rows) {
    const double f = 0.03 + 2.0 * s * r.t / 365.0;
    const double model = HullWhiteZeroBondPrice(f, kT0, kT0 + r.t, kT0 + r.T, curve, 0.0, r.a);
    const double forward = MarketDiscount(curve, kT0 + r.T) / MarketDiscount(curve, kT0 + r.t);
    EXPECT_NEAR(model, forward, 1e-13) << "t " << r.t << " T " << r.T << " a " << r.a;
  }
}

// At the valuation date the model price is the market's, whatever the rate.
TEST(HullWhiteZeroBond, PriceAtValuationIsMarketDiscount) {
  const ZeroCurve curve = Line(0.04, 0.06);
  for (double r : {-0.5, 0.0, 0.05, 3.0}) {
    EXPECT_EQ(HullWhiteZeroBondPrice(r, kT0, kT0, kT0 + 1500, curve, 0.02, 0.1),
              MarketDiscount(curve, kT0 + 1500));
  }
}

// call - put = P_M(T) - X P_M(tc) on both branches (priced with volatility,
// and at intrinsic value when the bond volatility vanishes), and the limits
// that need no volatility: strike 0, expiry today, sigma 0 or negative.
TEST(HullWhiteZeroBond, ParityAndDegenerateInputs) {
  const ZeroCurve curve = Line(0.04, 0.06);
  struct Row {
    double tc, T, X, sigma, a;
  };
  const Row rows[] = {{365, 1825, 0.8, 0.01, 0.1},  {365, 1825, 0.95, 0.01, 0.1}, {730, 731, 0.9999, 0.02, 0.0},
                      {200, 3000, 0.5, 0.015, -0.05}, {365, 1825, 0.8, 0.0, 0.1},   {365, 1825, 0.9, -0.01, 0.1},
                      {0, 1825, 0.8, 0.01, 0.1},      {0, 1825, 0.7, 0.01, 0.1}};
  for (const Row& r : rows) {
    const double pT = MarketDiscount(curve, kT0 + r.T);
    const double pc = MarketDiscount(curve, kT0 + r.tc);
    const double call = HullWhiteZeroBondOption(kT0, kT0 + r.tc, kT0 + r.T, r.X, curve, r.sigma, r.a, 0);
    const double put = HullWhiteZeroBondOption(kT0, kT0 + r.tc, kT0 + r.T, r.X, curve, r.sigma, r.a, 7);
    EXPECT_NEAR(call - put, pT - r.X * pc, 1e-15) << "tc " << r.tc << " X " << r.X << " sigma " << r.sigma;
    EXPECT_GE(put, 0.0);
    EXPECT_GE(call, pT - r.X * pc - 1e-15);
    if (r.sigma <= 0.0 || r.tc == 0.0) {  // no time value: the intrinsic value
      EXPECT_EQ(call, std::max(pT - r.X * pc, 0.0)) << "tc " << r.tc << " sigma " << r.sigma;
    }
  }
  const double pT = MarketDiscount(curve, kT0 + 1825);
  EXPECT_EQ(HullWhiteZeroBondOption(kT0, kT0 + 365, kT0 + 1825, 0.0, curve, 0.01, 0.1, 0), pT);
  EXPECT_EQ(HullWhiteZeroBondOption(kT0, kT0 + 365, kT0 + 1825, 0.0, curve, 0.01, 0.1, 1), 0.0);
}

// Small mean reversion. Below 1e-4, B and the variance term of A take their
// limits, so the bond price at a = 5e-5 is the price at a = 0 exactly; the
// bond volatility keeps its general form down to a = 0 exclusive, whose
// cancellation at a = 1e-9 costs about 1e-16 / 1e-9 relative. At a = 5e-5 the
// general volatility is below the limit one by a (tc + (T - tc))/2 relative
// to first order, so the option moves by at most vega x that, with the
// vega per unit bond volatility P_M(T) phi(d1) <= 0.4 P_M(T).
TEST(HullWhiteZeroBond, SmallMeanReversionJoinsTheLimitForms) {
  const ZeroCurve curve = Line(0.04, 0.06);
  const double tc = kT0 + 730, T = kT0 + 2555, sigma = 0.012;
  EXPECT_EQ(HullWhiteB(kT0, kT0 + 1000, 5e-5), 1000 / 365.0);
  EXPECT_EQ(HullWhiteB(kT0, kT0 + 1000, -5e-5), 1000 / 365.0);
  EXPECT_EQ(HullWhiteB(kT0, kT0 + 1000, 0.0), 1000 / 365.0);
  // Just above the threshold the general B is below the limit by a D/2 to
  // first order; the second-order term (a D)^2/6 is 1.3e-8.
  const double years = 1000 / 365.0;
  EXPECT_NEAR(HullWhiteB(kT0, kT0 + 1000, 1e-4) / years - 1.0, -1e-4 * years / 2, 2e-8);
  for (double r : {0.02, 0.05}) {
    EXPECT_EQ(HullWhiteZeroBondPrice(r, kT0, tc, T, curve, sigma, 5e-5),
              HullWhiteZeroBondPrice(r, kT0, tc, T, curve, sigma, 0.0));
  }
  const double spLimit = sigma * std::sqrt(2.0) * 5.0;  // sigma sqrt(tc) (T - tc)
  for (double X : {0.85, 0.9, 0.95}) {
    for (int isPut : {0, 1}) {
      const double at0 = HullWhiteZeroBondOption(kT0, tc, T, X, curve, sigma, 0.0, isPut);
      const double tiny = HullWhiteZeroBondOption(kT0, tc, T, X, curve, sigma, 1e-9, isPut);
      const double small = HullWhiteZeroBondOption(kT0, tc, T, X, curve, sigma, 5e-5, isPut);
      EXPECT_NEAR(tiny, at0, 1e-9) << "X " << X;
      const double bound = 0.4 * MarketDiscount(curve, T) * spLimit * 5e-5 * 7.0 / 2.0;
      EXPECT_LE(std::fabs(small - at0), 1.05 * bound) << "X " << X;
      EXPECT_LT(small, at0) << "X " << X;  // less volatility, less time value
    }
  }
}

}  // namespace
}  // namespace lorvex
