// Zero curves the Black pricer tests run their identities on.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "market/zero_curve.h"
#include "test_arrays.h"

namespace lorvex::testing_curves {

struct NamedCurve {
  std::string name;
  ZeroCurve curve;
};

using lorvex_test::Curve;
using lorvex_test::Df;

// Valuation 1 January 2000 (JDN 2451545).
inline std::vector<NamedCurve> Curves() {
  return {
      {"flat 5%", Curve({2451545}, {0.05})},
      {"flat 1.5%", Curve({2451545}, {0.015})},
      {"rising", Curve({2451545, 2451727, 2452275, 2453371, 2456289}, {0.03, 0.035, 0.045, 0.055, 0.06})},
      {"inverted", Curve({2451545, 2452000, 2453000, 2455000}, {0.08, 0.07, 0.055, 0.05})},
      {"humped", Curve({2451600, 2452300, 2454000}, {0.04, 0.07, 0.045})},
  };
}

// Black's formula with the exact normal distribution, an independent check
// of the library's (whose normal carries an error below 1e-7).
inline double ExactBlack(double forward, double strike, double stdDev, double discount, bool isPut) {
  auto n = [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); };
  const double d1 = (std::log(forward / strike) + 0.5 * stdDev * stdDev) / stdDev;
  const double d2 = d1 - stdDev;
  return isPut ? discount * (strike * n(-d2) - forward * n(-d1)) : discount * (forward * n(d1) - strike * n(d2));
}

}  // namespace lorvex::testing_curves
