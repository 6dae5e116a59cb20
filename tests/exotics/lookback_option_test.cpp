#include "exotics/lookback_option.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "reference.h"

namespace lorvex {
namespace {

// Independent value from the distribution of the running extreme of the log
// price x_t = nu t + sigma W_t (reflection principle, exact normal):
//   P(min x <= y) = N((y - nu T)/s) + e^(2 nu y / sigma^2) N((y + nu T)/s), y <= 0,
//   P(max x >= y) = N((nu T - y)/s) + e^(2 nu y / sigma^2) N((-y - nu T)/s), y >= 0.
// The call pays S_T - min(Smin, S e^(min x)), and E[min(Smin, M)] is Smin less
// the integral of P(M <= m) over m below Smin; the put likewise.
double IntegratedLookback(double s, double r, double q, double sigma, double t, double sMax,
                          double sMin, bool isCall) {
  const double root = sigma * std::sqrt(t);
  const double nu = r - q - sigma * sigma / 2.0;
  const double w = 2.0 * nu / (sigma * sigma);
  using test::ExactNormalCdf;
  if (isCall) {
    const auto below = [&](double y) {
      return s * std::exp(y) *
             (ExactNormalCdf((y - nu * t) / root) + std::exp(w * y) * ExactNormalCdf((y + nu * t) / root));
    };
    const double top = std::log(sMin / s);
    const double expectedMin = sMin - test::Integrate(below, top - 40.0 * root, top, 1e-11);
    return s * std::exp(-q * t) - std::exp(-r * t) * expectedMin;
  }
  const auto above = [&](double y) {
    return s * std::exp(y) *
           (ExactNormalCdf((nu * t - y) / root) + std::exp(w * y) * ExactNormalCdf((-y - nu * t) / root));
  };
  const double bottom = std::log(sMax / s);
  const double expectedMax = sMax + test::Integrate(above, bottom, bottom + 15.0 * root, 1e-11);
  return std::exp(-r * t) * expectedMax - s * std::exp(-q * t);
}

// Agreement within the pricer's NormalCdf error over five terms weighted by
// prices up to about 200: 1e-4.
TEST(LookbackOption, AgreesWithTheDistributionOfTheExtreme) {
  struct Row {
    double s, r, q, sigma, t, sMax, sMin;
  };
  const Row rows[] = {{120, 0.1, 0.04, 0.3, 0.5, 150, 100}, {100, 0.05, 0.0, 0.2, 1.0, 100, 100},
                      {100, 0.02, 0.06, 0.4, 2.0, 130, 70}, {50, 0.08, 0.03, 0.25, 0.25, 55, 48}};
  for (const Row& r : rows) {
    for (bool isCall : {true, false}) {
      EXPECT_NEAR(LookbackOption(r.s, r.r, r.q, r.sigma, r.t, r.sMax, r.sMin, OptionTypeFromFlag(isCall)),
                  IntegratedLookback(r.s, r.r, r.q, r.sigma, r.t, r.sMax, r.sMin, isCall), 1e-4)
          << r.s << " " << r.r << " " << r.q << " call " << isCall;
    }
  }
}

// Paying S_T less a minimum no higher than Smin is worth at least the
// European call struck at Smin, and the put at least the European put struck
// at Smax; a lookback struck today is worth more than nothing.
TEST(LookbackOption, DominatesTheEuropeanStruckAtTheExtreme) {
  for (const auto& [s, r, sigma, t] : test::Grid({80, 100, 120}, {0.01, 0.08}, {0.1, 0.35}, {0.1, 1.0, 3.0})) {
    const double q = 0.03;
    const double sMin = std::min(s, 90.0);
    const double sMax = std::max(s, 110.0);
    const double call = LookbackOption(s, r, q, sigma, t, sMax, sMin, OptionType::Call);
    const double put = LookbackOption(s, r, q, sigma, t, sMax, sMin, OptionType::Put);
    EXPECT_GE(call, test::Vanilla(s, sMin, r, q, sigma, t, true) - 1e-6) << s << " " << r << " " << t;
    EXPECT_GE(put, test::Vanilla(s, sMax, r, q, sigma, t, false) - 1e-6) << s << " " << r << " " << t;
    EXPECT_GT(LookbackOption(s, r, q, sigma, t, s, s, OptionType::Call), 0.0);
    EXPECT_GT(LookbackOption(s, r, q, sigma, t, s, s, OptionType::Put), 0.0);
  }
}

TEST(LookbackOption, EachSideUsesOnlyItsOwnExtreme) {
  const double call = LookbackOption(120, 0.1, 0.04, 0.3, 0.5, 150, 100, OptionType::Call);
  const double put = LookbackOption(120, 0.1, 0.04, 0.3, 0.5, 150, 100, OptionType::Put);
  for (double other : {0.0, 120.0, 1e6}) {
    EXPECT_EQ(LookbackOption(120, 0.1, 0.04, 0.3, 0.5, other, 100, OptionType::Call), call) << other;
    EXPECT_EQ(LookbackOption(120, 0.1, 0.04, 0.3, 0.5, 150, other, OptionType::Put), put) << other;
  }
}

}  // namespace
}  // namespace lorvex
