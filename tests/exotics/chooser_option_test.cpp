#include "exotics/chooser_option.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "reference.h"

namespace lorvex {
namespace {

// The holder can always choose the better of the two: at least the larger
// plain option; choosing at expiry is a straddle; choosing at once is the
// larger plain option. NormalCdf's step at 0 allows 5e-8 of the prices.
TEST(ChooserOption, BoundsAndLimits) {
  for (const auto& [s, q, sigma, t] : test::Grid({40, 50, 65}, {0.0, 0.03}, {0.15, 0.45}, {0.25, 1.0, 2.0})) {
    const double x = 50, r = 0.06;
    const double call = test::Vanilla(s, x, r, q, sigma, t, true);
    const double put = test::Vanilla(s, x, r, q, sigma, t, false);
    for (double fraction : {0.1, 0.5, 0.9}) {
      EXPECT_GE(ChooserOption(s, x, r, q, sigma, t, fraction * t), std::max(call, put) - 1e-9)
          << s << " " << q << " " << sigma << " " << t << " " << fraction;
    }
    EXPECT_NEAR(ChooserOption(s, x, r, q, sigma, t, t), call + put, 5e-8 * (s + x));
    EXPECT_NEAR(ChooserOption(s, x, r, q, sigma, t, 1e-10), std::max(call, put), 1e-6);
  }
}

// Independently: the discounted expectation at t1 of the larger of the call
// and the put then, over the lognormal stock price (exact normal).
TEST(ChooserOption, AgreesWithIntegrationOverTheStockAtTheChoice) {
  struct Row {
    double s, x, r, q, sigma, t, t1;
  };
  const Row rows[] = {{50, 50, 0.08, 0.0, 0.25, 0.5, 0.25}, {100, 90, 0.03, 0.05, 0.3, 1.0, 0.4},
                      {100, 120, 0.05, 0.0, 0.5, 2.0, 1.5}};
  for (const Row& row : rows) {
    const double root = row.sigma * std::sqrt(row.t1);
    const double drift = (row.r - row.q - row.sigma * row.sigma / 2.0) * row.t1;
    const auto integrand = [&](double z) {
      const double st1 = row.s * std::exp(drift + root * z);
      const double left = row.t - row.t1;
      const double better =
          std::max(test::Vanilla(st1, row.x, row.r, row.q, row.sigma, left, true, test::ExactNormalCdf),
                   test::Vanilla(st1, row.x, row.r, row.q, row.sigma, left, false, test::ExactNormalCdf));
      return better * std::exp(-0.5 * z * z) / std::sqrt(2.0 * 3.14159265358979323846);
    };
    const double want = std::exp(-row.r * row.t1) * test::Integrate(integrand, -10.0, 10.0, 1e-10);
    EXPECT_NEAR(ChooserOption(row.s, row.x, row.r, row.q, row.sigma, row.t, row.t1), want,
                4e-7 * (row.s + row.x))
        << row.s << " " << row.x;
  }
}

}  // namespace
}  // namespace lorvex
