// Independent references for the exotic tests: the plain Black-Scholes
// option with a dividend yield, and adaptive Simpson integration; and the
// parameter grids the identities are checked over.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "market/normal.h"

namespace lorvex::test {

inline double ExactNormalCdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// European call or put. The library's closed forms all use NormalCdf, so
// identities are checked against this with the same function.
inline double Vanilla(double s, double x, double r, double q, double sigma, double t, bool isCall,
                      double (*n)(double) = NormalCdf) {
  const double v = sigma * std::sqrt(t);
  const double d1 = (std::log(s / x) + (r - q) * t) / v + v / 2.0;
  const double d2 = d1 - v;
  const double sq = s * std::exp(-q * t);
  const double xr = x * std::exp(-r * t);
  return isCall ? sq * n(d1) - xr * n(d2) : xr * n(-d2) - sq * n(-d1);
}

// Every combination of one value from each list, the first list varying
// slowest: Grid({1, 2}, {0.1, 0.2}) is (1, 0.1), (1, 0.2), (2, 0.1), (2, 0.2).
template <class... T>
std::vector<std::array<double, sizeof...(T)>> Grid(std::initializer_list<T>... lists) {
  std::vector<std::array<double, sizeof...(T)>> points(1);
  std::size_t dimension = 0;
  const auto extend = [&](const auto& list) {
    std::vector<std::array<double, sizeof...(T)>> longer;
    for (const auto& p : points) {
      for (const auto v : list) {
        longer.push_back(p);
        longer.back()[dimension] = static_cast<double>(v);
      }
    }
    points = std::move(longer);
    ++dimension;
  };
  (extend(lists), ...);
  return points;
}

// Adaptive Simpson on [lo, hi] to an absolute tolerance.
inline double Integrate(const std::function<double(double)>& f, double lo, double hi,
                        double tolerance) {
  struct Rec {
    static double Run(const std::function<double(double)>& g, double a, double b, double fa,
                      double fm, double fb, double whole, double tol, int depth) {
      const double m = 0.5 * (a + b);
      const double lm = 0.5 * (a + m);
      const double rm = 0.5 * (m + b);
      const double flm = g(lm);
      const double frm = g(rm);
      const double left = (m - a) / 6.0 * (fa + 4.0 * flm + fm);
      const double right = (b - m) / 6.0 * (fm + 4.0 * frm + fb);
      const double delta = left + right - whole;
      if (depth <= 0 || std::fabs(delta) <= 15.0 * tol) return left + right + delta / 15.0;
      return Run(g, a, m, fa, flm, fm, left, tol / 2.0, depth - 1) +
             Run(g, m, b, fm, frm, fb, right, tol / 2.0, depth - 1);
    }
  };
  // Split first so that a narrow feature cannot hide between the first
  // three sample points.
  const int pieces = 64;
  double total = 0.0;
  for (int i = 0; i < pieces; ++i) {
    const double a = lo + (hi - lo) * i / pieces;
    const double b = lo + (hi - lo) * (i + 1) / pieces;
    const double fa = f(a);
    const double fb = f(b);
    const double fm = f(0.5 * (a + b));
    total += Rec::Run(f, a, b, fa, fm, fb, (b - a) / 6.0 * (fa + 4.0 * fm + fb),
                      tolerance / pieces, 40);
  }
  return total;
}

}  // namespace lorvex::test
