#include "exotics/average_price_option.h"

#include <gtest/gtest.h>

#include <cmath>

#include "reference.h"

namespace lorvex {
namespace {

// The lognormal approximation keeps the first moment exactly, so call - put
// is (T2/T) e^(-r T2) (E[remaining average] - adjusted strike), with the
// expected average S (e^(b T2) - 1)/(b T2). NormalCdf's 4.8e-8 step at 0
// allows 5e-8 of the prices.
TEST(AveragePriceOption, CallMinusPutIsTheDiscountedExpectedExcess) {
  struct Observed {
    double average, elapsed;
  };
  const Observed observed[] = {{0, 0}, {95, 0.25}, {104, 1.0}};
  for (const auto& [s, q, sigma] : test::Grid({80, 100, 125}, {0.0, 0.02, 0.09}, {0.1, 0.4})) {
    for (const Observed& o : observed) {
      const double x = 100, r = 0.06, t2 = 0.75;
      const double call =
          AveragePriceOption(s, x, r, q, sigma, t2, o.average, o.elapsed, OptionType::Call);
      const double put =
          AveragePriceOption(s, x, r, q, sigma, t2, o.average, o.elapsed, OptionType::Put);
      const double whole = o.elapsed + t2;
      const double adjusted = (x * whole - o.elapsed * o.average) / t2;
      const double b = r - q;
      const double expectedAverage = s * (std::exp(b * t2) - 1.0) / (b * t2);
      EXPECT_NEAR(call - put, t2 / whole * std::exp(-r * t2) * (expectedAverage - adjusted),
                  5e-8 * (s + x))
          << s << " " << q << " " << sigma << " " << o.elapsed;
      EXPECT_GE(put, 0.0);
      EXPECT_GE(call, 0.0);
    }
  }
}

TEST(AveragePriceOption, NothingObservedIgnoresTheObservedAverage) {
  for (bool isCall : {true, false}) {
    const double base = AveragePriceOption(100, 100, 0.05, 0.0, 0.2, 1.0, 0, 0, OptionTypeFromFlag(isCall));
    EXPECT_EQ(AveragePriceOption(100, 100, 0.05, 0.0, 0.2, 1.0, 250, 0, OptionTypeFromFlag(isCall)), base);
  }
}

// Observed prices so high that the average must end above the strike: the
// put is worthless and the call is the discounted expected excess of the
// average. At r = q the expected sum over the remaining period is S T2, the
// limit of S (e^((r-q) T2) - 1)/(r - q).
TEST(AveragePriceOption, CertainExercise) {
  struct Row {
    double r, q;
  };
  const Row rows[] = {{0.05, 0.0}, {0.03, 0.07}, {0.04, 0.04}};
  const double s = 100, x = 90, t2 = 0.5, average = 150, elapsed = 1.0;
  for (const Row& row : rows) {
    const double b = row.r - row.q;
    const double expectedSum = b == 0.0 ? s * t2 : s * (std::exp(b * t2) - 1.0) / b;
    const double want = std::exp(-row.r * t2) * ((expectedSum + elapsed * average) / (elapsed + t2) - x);
    EXPECT_NEAR(AveragePriceOption(s, x, row.r, row.q, 0.3, t2, average, elapsed, OptionType::Call), want,
                1e-9)
        << row.r << " " << row.q;
    EXPECT_EQ(AveragePriceOption(s, x, row.r, row.q, 0.3, t2, average, elapsed, OptionType::Put), 0.0);
  }
  // r = q joins the neighbouring rates (taking E = S instead would jump by
  // e^(-r T2) S (1 - T2)/T, about 16 here).
  EXPECT_NEAR(AveragePriceOption(s, x, 0.04, 0.04, 0.3, t2, average, elapsed, OptionType::Call),
              AveragePriceOption(s, x, 0.04, 0.04 + 1e-7, 0.3, t2, average, elapsed, OptionType::Call),
              1e-6);
  // Just on the other side of the threshold the approximation gives almost
  // the same call.
  const double threshold = x * 1.5 / 1.0;  // tau SA = X T
  EXPECT_NEAR(AveragePriceOption(s, x, 0.05, 0.0, 0.3, t2, threshold - 1e-6, elapsed, OptionType::Call),
              AveragePriceOption(s, x, 0.05, 0.0, 0.3, t2, threshold + 1e-6, elapsed, OptionType::Call),
              1e-4);
}

}  // namespace
}  // namespace lorvex
