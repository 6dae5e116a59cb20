#include "exotics/compound_option.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "exotics/exotic_inputs.h"
#include "reference.h"

namespace lorvex {
namespace {

constexpr int kOtherPutCode = 14;

// Haug's compound example: S = 500, X1 = 50, X2 = 520, r = 0.08, q = 0.03,
// sigma = 0.35, T1 = 0.25, T2 = 0.5. Half a unit in the last decimal quoted.
TEST(CompoundOption, WorkedValues) {
  struct Row {
    int underlying;
    bool isCall;
    double value, critical;
  };
  const Row rows[] = {
      {kUnderlyingCall, false, 21.19856, 538.3165},
      {kUnderlyingCall, true, 17.59674, 538.3165},
      {kUnderlyingPut, true, 18.71412, 485.9157},
      {kUnderlyingPut, false, 15.26139, 485.9157},
  };
  for (const Row& r : rows) {
    const CompoundValue got =
        CompoundOption(500, 50, 520, 0.08, 0.03, 0.35, 0.25, 0.5, r.underlying, OptionTypeFromFlag(r.isCall));
    EXPECT_NEAR(got.value, r.value, 5e-6) << r.underlying << " " << r.isCall;
    EXPECT_NEAR(got.criticalPrice, r.critical, 5e-5) << r.underlying << " " << r.isCall;
  }
}

// At the critical price the underlying option, T2 - T1 before its expiry,
// is worth X1 (the Newton residual is below 1e-6 and one more step is taken).
TEST(CompoundOption, CriticalPriceMakesTheUnderlyingWorthTheCompoundStrike) {
  struct Row {
    double spot, x1, x2, sigma, t1, t2;
  };
  const Row rows[] = {{500, 50, 520, 0.35, 0.25, 0.5}, {100, 5, 100, 0.2, 0.5, 1.5},
                      {100, 12, 95, 0.45, 1.0, 2.0},   {40, 1, 50, 0.3, 0.1, 0.6}};
  for (const Row& r : rows) {
    for (int underlying : {kUnderlyingCall, kOtherPutCode}) {
      const CompoundValue got =
          CompoundOption(r.spot, r.x1, r.x2, 0.06, 0.02, r.sigma, r.t1, r.t2, underlying, OptionType::Call);
      const double atCritical = test::Vanilla(got.criticalPrice, r.x2, 0.06, 0.02, r.sigma,
                                              r.t2 - r.t1, underlying == kUnderlyingCall);
      EXPECT_NEAR(atCritical, r.x1, 1e-6) << r.spot << " " << underlying;
    }
  }
}

// Value as the discounted expectation of the compound payoff at T1 over the
// lognormal stock price, with the underlying option priced by Black-Scholes
// with the exact normal distribution: independent of the critical price and
// of the bivariate normal. Drezner's rule (1e-5 in probability) times prices
// of a few hundred bounds the agreement.
double IntegratedCompound(double s, double x1, double x2, double r, double q, double sigma,
                          double t1, double t2, bool underlyingIsCall, bool isCall) {
  const double root = sigma * std::sqrt(t1);
  const double drift = (r - q - sigma * sigma / 2.0) * t1;
  const auto integrand = [&](double z) {
    const double st1 = s * std::exp(drift + root * z);
    const double option =
        test::Vanilla(st1, x2, r, q, sigma, t2 - t1, underlyingIsCall, test::ExactNormalCdf);
    const double payoff = isCall ? std::max(option - x1, 0.0) : std::max(x1 - option, 0.0);
    return payoff * std::exp(-0.5 * z * z) / std::sqrt(2.0 * 3.14159265358979323846);
  };
  return std::exp(-r * t1) * test::Integrate(integrand, -10.0, 10.0, 1e-10);
}

TEST(CompoundOption, AgreesWithIntegrationOverTheStockAtFirstExpiry) {
  struct Row {
    double spot, x1, x2, sigma, t1, t2;
  };
  const Row rows[] = {{500, 50, 520, 0.35, 0.25, 0.5}, {100, 5, 100, 0.2, 0.5, 1.5},
                      {100, 12, 95, 0.45, 1.0, 2.0},   {40, 1, 50, 0.3, 0.1, 0.6}};
  double worst = 0.0;
  for (const Row& r : rows) {
    for (int underlying : {kUnderlyingCall, kUnderlyingPut}) {
      for (bool isCall : {true, false}) {
        const double got = CompoundOption(r.spot, r.x1, r.x2, 0.06, 0.02, r.sigma, r.t1, r.t2, underlying,
                                          OptionTypeFromFlag(isCall))
                               .value;
        const double want = IntegratedCompound(r.spot, r.x1, r.x2, 0.06, 0.02, r.sigma, r.t1,
                                               r.t2, underlying == kUnderlyingCall, isCall);
        EXPECT_NEAR(got, want, 2e-5 * r.spot) << r.spot << " " << underlying << " " << isCall;
        worst = std::max(worst, std::fabs(got - want) / r.spot);
      }
    }
  }
  std::printf("worst difference per unit of spot %.2e\n", worst);
}

// Call on an option less put on it is the option less X1 paid at T1, for
// either underlying kind, whatever the critical price: the sign reductions
// of the bivariate normal pair M(a, b, rho) + M(-a, b, -rho) into N(b)
// exactly, so this holds to rounding (measured 2.3e-16 of S + X2). X1 = 100
// makes code 13 take its no-search values.
TEST(CompoundOption, CallMinusPutIsTheUnderlyingLessTheDiscountedStrike) {
  static const double kSpots[] = {60, 100, 140};
  static const double kX1s[] = {2, 8, 20, 100};
  static const double kX2s[] = {90, 110};
  static const double kSigmas[] = {0.2, 0.5};
  struct Expiries {
    double t1, t2;
  };
  const Expiries expiries[] = {{0.25, 0.5}, {0.5, 2.0}, {1.0, 1.0}};
  double worst = 0.0;
  for (double s : kSpots)
    for (double x1 : kX1s)
      for (double x2 : kX2s)
        for (double sigma : kSigmas)
          for (const Expiries& e : expiries)
            for (int underlying : {kUnderlyingCall, kUnderlyingPut, kOtherPutCode}) {
              const double r = 0.05;
              const double q = 0.01;
              const double call =
                  CompoundOption(s, x1, x2, r, q, sigma, e.t1, e.t2, underlying, OptionType::Call).value;
              const double put =
                  CompoundOption(s, x1, x2, r, q, sigma, e.t1, e.t2, underlying, OptionType::Put).value;
              const double t2 = e.t2 > e.t1 ? e.t2 : e.t1 + kExoticSeparation;
              const double option = test::Vanilla(s, x2, r, q, sigma, t2, underlying == kUnderlyingCall);
              const double parity = option - x1 * std::exp(-r * e.t1);
              EXPECT_NEAR(call - put, parity, 1e-12 * (s + x2))
                  << "S " << s << " X1 " << x1 << " X2 " << x2 << " sigma " << sigma << " T1 "
                  << e.t1 << " T2 " << e.t2 << " kind " << underlying;
              EXPECT_GE(call, -1e-6);
              EXPECT_GE(put, -1e-6);
              worst = std::max(worst, std::fabs(call - put - parity) / (s + x2));
            }
  std::printf("worst parity gap per unit of S + X2 %.2e\n", worst);
}

// Put code 13 with a put that can never be worth X1 at T1 needs no search:
// the call on it is 0 and the put on it a certain sale. Code 14 reaches the
// same values through the iteration (the critical price sinks to its floor
// 0.01).
TEST(CompoundOption, PutCode13SkipsTheSearchWhenThePutCannotReachX1) {
  // X2 e^(-r (T2 - T1)) = 100 e^(-0.05 * 0.5) = 97.53 < X1 = 98.
  const double s = 100, x1 = 98, x2 = 100, r = 0.05, q = 0.0, sigma = 0.3, t1 = 0.5, t2 = 1.0;
  const CompoundValue call13 =
      CompoundOption(s, x1, x2, r, q, sigma, t1, t2, kUnderlyingPut, OptionType::Call);
  const CompoundValue put13 =
      CompoundOption(s, x1, x2, r, q, sigma, t1, t2, kUnderlyingPut, OptionType::Put);
  const CompoundValue call14 =
      CompoundOption(s, x1, x2, r, q, sigma, t1, t2, kOtherPutCode, OptionType::Call);
  const CompoundValue put14 = CompoundOption(s, x1, x2, r, q, sigma, t1, t2, kOtherPutCode, OptionType::Put);
  const double sale = x1 * std::exp(-r * t1) - test::Vanilla(s, x2, r, q, sigma, t2, false);
  EXPECT_EQ(call13.value, 0.0);
  EXPECT_TRUE(std::isnan(call13.criticalPrice));
  EXPECT_NEAR(put13.value, sale, 1e-12);
  EXPECT_GT(put13.value, 80.0);
  EXPECT_NEAR(call14.criticalPrice, 0.01, 1e-12);
  EXPECT_NEAR(call14.value, 0.0, 1e-6);
  EXPECT_NEAR(put14.value, sale, 1e-3);
  // Just above the threshold code 13 searches too and agrees with code 14.
  const CompoundValue near13 =
      CompoundOption(s, 97, x2, r, q, sigma, t1, t2, kUnderlyingPut, OptionType::Call);
  const CompoundValue near14 =
      CompoundOption(s, 97, x2, r, q, sigma, t1, t2, kOtherPutCode, OptionType::Call);
  EXPECT_FALSE(std::isnan(near13.criticalPrice));
  EXPECT_EQ(near13.value, near14.value);
}

}  // namespace
}  // namespace lorvex
