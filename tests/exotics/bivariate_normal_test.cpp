#include "exotics/bivariate_normal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "reference.h"

namespace lorvex {
namespace {

constexpr double kPi = 3.14159265358979323846;

// P(X <= a, Y <= b) for standard normals with correlation rho, as the
// integral over x up to a of phi(x) P(Y <= b | X = x), with the exact normal
// distribution. |rho| < 1.
double IntegratedBivariate(double a, double b, double rho) {
  const double s = std::sqrt(1.0 - rho * rho);
  const auto integrand = [&](double x) {
    return std::exp(-0.5 * x * x) / std::sqrt(2.0 * kPi) *
           0.5 * std::erfc(-(b - rho * x) / s / std::sqrt(2.0));
  };
  if (a <= -12.0) return 0.0;
  return test::Integrate(integrand, -12.0, a, 1e-13);
}

// Worst absolute error over a grid of limits, for one correlation.
double WorstError(double rho) {
  static const double kLimits[] = {-3.0, -2.0, -1.3, -0.7, -0.25, 0.0, 0.3, 0.8, 1.5, 2.2, 3.0};
  double worst = 0.0;
  for (double a : kLimits) {
    for (double b : kLimits) {
      const double got = BivariateNormal(a, b, rho);
      const double want = IntegratedBivariate(a, b, rho);
      EXPECT_TRUE(std::isfinite(got)) << a << " " << b << " " << rho;
      worst = std::max(worst, std::fabs(got - want));
    }
  }
  return worst;
}

// Drezner's four-point rule against numerical integration, every sign case
// of a, b and rho. Measured worst errors: 4.1e-6 at rho = 0 (the bare
// four-point sum), 7e-6 to 8.2e-6 where a reduction adds a second sum, and
// no worse close to |rho| = 1. The tolerance is the rule's accuracy, 1e-5.
TEST(BivariateNormal, AgreesWithNumericalIntegration) {
  // The reference itself: independent variables give the product.
  EXPECT_NEAR(IntegratedBivariate(0.3, -0.8, 0.0),
              test::ExactNormalCdf(0.3) * test::ExactNormalCdf(-0.8), 1e-12);
  static const double kRhos[] = {-0.99999, -0.999, -0.99, -0.9, -0.5, -0.2, 0.0,
                                 0.2,      0.5,    0.9,   0.99, 0.999, 0.99999};
  for (double rho : kRhos) {
    const double worst = WorstError(rho);
    std::printf("rho %+.5f  worst error %.2e\n", rho, worst);
    EXPECT_LT(worst, 1e-5) << "rho = " << rho;
  }
}

TEST(BivariateNormal, LimitsAreInterchangeable) {
  static const double kLimits[] = {-2.5, -0.4, 0.0, 0.6, 1.9};
  static const double kRhos[] = {-0.95, -0.3, 0.0, 0.45, 0.97};
  for (double a : kLimits) {
    for (double b : kLimits) {
      for (double rho : kRhos) {
        EXPECT_NEAR(BivariateNormal(a, b, rho), BivariateNormal(b, a, rho), 1e-9)
            << a << " " << b << " " << rho;
      }
    }
  }
}

// At the origin with no correlation the sum is (sum of weights)^2 / pi,
// about 1.4e-9 from 1/4 (the 1/pi constant used differs from 1/pi at 1e-11).
TEST(BivariateNormal, OriginIsTheSquaredWeightSum) {
  const double weights = 0.325303 + 0.4211071 + 0.1334425 + 0.006374323;
  EXPECT_NEAR(BivariateNormal(0.0, 0.0, 0.0), weights * weights / kPi, 1e-10);
  EXPECT_NEAR(BivariateNormal(0.0, 0.0, 0.0), 0.25, 1e-7);
  EXPECT_DOUBLE_EQ(DreznerSum(0.0, 0.0, 0.0), BivariateNormal(0.0, 0.0, 0.0));
}

// At rho = +-1 the reduced correlations are +-1 and are held inside the
// interval, so the value stays finite: N(min(a, b)) for rho = 1,
// max(0, N(a) + N(b) - 1) for rho = -1. Just below 1 with equal limits the
// reduced correlations are near 0 instead.
TEST(BivariateNormal, ReducedCorrelationsAtOneStayFinite) {
  struct Row {
    double a, b, rho, expected;
  };
  const Row rows[] = {
      {1.0, 1.0, 0.9999999999, test::ExactNormalCdf(1.0)},
      {-1.0, -1.0, 0.9999999999, test::ExactNormalCdf(-1.0)},
      {1.0, 2.0, 1.0, test::ExactNormalCdf(1.0)},
      {-0.5, -1.5, 1.0, test::ExactNormalCdf(-1.5)},
      {1.0, -2.0, -1.0, 0.0},
      {1.5, 0.5, -1.0, test::ExactNormalCdf(1.5) + test::ExactNormalCdf(0.5) - 1.0},
  };
  for (const Row& r : rows) {
    const double got = BivariateNormal(r.a, r.b, r.rho);
    EXPECT_NEAR(got, r.expected, 1e-5) << r.a << " " << r.b << " " << r.rho;
  }
}

// The far tails: a very negative limit gives 0, a very positive one the
// other limit's marginal.
TEST(BivariateNormal, TailsReduceToTheMarginals) {
  static const double kRhos[] = {-0.8, 0.0, 0.8};
  for (double rho : kRhos) {
    EXPECT_NEAR(BivariateNormal(-9.0, 0.7, rho), 0.0, 1e-12) << rho;
    EXPECT_NEAR(BivariateNormal(9.0, 0.7, rho), NormalCdf(0.7), 1e-9) << rho;
    EXPECT_NEAR(BivariateNormal(-0.4, 9.0, rho), NormalCdf(-0.4), 1e-9) << rho;
  }
}

}  // namespace
}  // namespace lorvex
