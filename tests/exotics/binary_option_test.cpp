#include "exotics/binary_option.h"

#include <gtest/gtest.h>

#include <cmath>

#include "reference.h"

namespace lorvex {
namespace {

// Call + put pays the cash (or the stock) for sure; an asset call less X
// cash calls paying 1 is the plain call; a cash call paying 1 is minus the
// strike derivative of the plain call (exact normal, central difference).
TEST(BinaryOption, ParitiesOverAGrid) {
  for (const auto& [s, x, q, sigma, t] :
       test::Grid({70, 100, 130}, {80, 100, 120}, {0.0, 0.06}, {0.1, 0.35}, {0.1, 0.75, 3.0})) {
    const double r = 0.05, k = 10;
    const auto at = [&](bool cash, bool isCall, double amount = 10) {
      return BinaryOption(s, x, r, q, sigma, t, amount, cash, OptionTypeFromFlag(isCall));
    };
    const auto where = [&] {
      return ::testing::Message() << s << " " << x << " " << q << " " << sigma << " " << t;
    };
    // NormalCdf(x) + NormalCdf(-x) is 1 to rounding, off by its
    // 4.8e-8 step only at 0.
    EXPECT_NEAR(at(true, true) + at(true, false), k * std::exp(-r * t), 5e-8 * k) << where();
    EXPECT_NEAR(at(false, true) + at(false, false), s * std::exp(-q * t), 5e-8 * s) << where();
    EXPECT_NEAR(at(false, true) - x * at(true, true, 1.0), test::Vanilla(s, x, r, q, sigma, t, true),
                5e-8 * (s + x))
        << where();
    const double h = 1e-4 * x;
    const double slope = (test::Vanilla(s, x + h, r, q, sigma, t, true, test::ExactNormalCdf) -
                          test::Vanilla(s, x - h, r, q, sigma, t, true, test::ExactNormalCdf)) /
                         (2 * h);
    EXPECT_NEAR(at(true, true, 1.0), -slope, 2e-7) << where();
  }
}

TEST(BinaryOption, AssetOrNothingIgnoresTheCash) {
  const double value = BinaryOption(100, 100, 0.05, 0.0, 0.2, 1.0, 10, false, OptionType::Call);
  EXPECT_EQ(BinaryOption(100, 100, 0.05, 0.0, 0.2, 1.0, -3, false, OptionType::Call), value);
}

}  // namespace
}  // namespace lorvex
