#include "market/normal.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lorvex {
namespace {

// Values of the five-term polynomial itself (its own error is up to 8.3e-8
// against the exact distribution, so these are not exact normal values).
TEST(NormalCdf, PolynomialValues) {
  struct Row {
    double x, expected, tolerance;
  };
  const Row rows[] = {
      {0.0, 0.49999997596, 5e-12},  {1.0, 0.84134473264, 5e-12}, {-1.0, 0.15865526736, 5e-12},
      {1.96, 0.97500217362, 5e-12}, {-6.0, 9.901219e-10, 5e-17}, {10.0, 1.0, 0.0},
      {-40.0, 0.0, 0.0},
  };
  for (const Row& r : rows) EXPECT_NEAR(NormalCdf(r.x), r.expected, r.tolerance) << "x = " << r.x;
}

TEST(NormalCdf, SymmetricAndWithinItsStatedErrorOfTheExactDistribution) {
  double worst = 0.0;
  for (double x = -8.0; x <= 8.0; x += 0.001) {
    EXPECT_NEAR(NormalCdf(x) + NormalCdf(-x), 1.0, 1e-15) << x;
    const double exact = 0.5 * std::erfc(-x / std::sqrt(2.0));
    worst = std::max(worst, std::fabs(NormalCdf(x) - exact));
  }
  EXPECT_LT(worst, 8.5e-8);
}

// The two branches meet with a step of 4.8e-8 at 0: the tail of 0 from the
// left is 0.50000002404, from the right 1 minus that.
TEST(NormalCdf, StepAtZeroIsTheTruncatedDensityConstant) {
  EXPECT_NEAR(NormalCdf(-1e-300) - NormalCdf(0.0), 4.808e-8, 1e-11);
}

}  // namespace
}  // namespace lorvex
