#include "exotics/bivariate_normal.h"

#include <cmath>

#include "market/normal.h"

namespace lorvex {
namespace {

constexpr double kWeights[4] = {0.325303, 0.4211071, 0.1334425, 0.006374323};
constexpr double kNodes[4] = {0.1337764, 0.6243247, 1.3425378, 2.2626645};
constexpr double kOneOverPi = 0.31830988619288864;
// Correlations of the reduced problems are held strictly inside (-1, 1) so
// that sqrt(1 - rho^2) in the sum stays positive.
constexpr double kCorrelationLimit = 0.999999999;

double Sign(double x) { return x >= 0.0 ? 1.0 : -1.0; }

double Clamp(double rho) {
  if (rho > kCorrelationLimit) return kCorrelationLimit;
  if (rho < -kCorrelationLimit) return -kCorrelationLimit;
  return rho;
}

// M(x, 0, rho) through the sign cases of one limit at 0.
double WithZeroLimit(double x, double rho) {
  if (x > 0.0 && rho >= 0.0) return 0.5 - DreznerSum(-x, 0.0, -rho);
  if (x > 0.0 && rho < 0.0) return NormalCdf(x) - 0.5 + DreznerSum(-x, 0.0, rho);
  if (x < 0.0 && rho >= 0.0) return NormalCdf(x) - DreznerSum(x, 0.0, -rho);
  return DreznerSum(x, 0.0, rho);
}

}  // namespace

double DreznerSum(double a, double b, double rho) {
  const double root = std::sqrt(1.0 - rho * rho);
  const double scale = std::sqrt(2.0 * (1.0 - rho * rho));
  const double aPrime = a / scale;
  const double bPrime = b / scale;
  double sum = 0.0;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      sum += kWeights[i] * kWeights[j] *
             std::exp(aPrime * (2.0 * kNodes[i] - aPrime) + bPrime * (2.0 * kNodes[j] - bPrime) +
                      2.0 * rho * (kNodes[i] - aPrime) * (kNodes[j] - bPrime));
    }
  }
  return root * kOneOverPi * sum;
}

double BivariateNormal(double a, double b, double rho) {
  if (a * b * rho > 0.0) {
    // Split into two problems with one limit at 0 (the rotation that makes
    // the reduced correlations rho1, rho2).
    const double d = std::sqrt(a * a - 2.0 * rho * a * b + b * b);
    const double rho1 = Clamp(Sign(a) * (rho * a - b) / d);
    const double rho2 = Clamp(Sign(b) * (rho * b - a) / d);
    const double delta = (1.0 - Sign(a) * Sign(b)) / 4.0;
    return WithZeroLimit(a, rho1) + WithZeroLimit(b, rho2) - delta;
  }
  if (a <= 0.0 && b <= 0.0 && rho <= 0.0) return DreznerSum(a, b, rho);
  if (a <= 0.0 && b >= 0.0 && rho >= 0.0) return NormalCdf(a) - DreznerSum(a, -b, -rho);
  if (a < 0.0 || b > 0.0 || rho < 0.0) {
    return NormalCdf(a) + NormalCdf(b) - 1.0 + DreznerSum(-a, -b, rho);
  }
  return NormalCdf(b) - DreznerSum(-a, b, -rho);
}

}  // namespace lorvex
