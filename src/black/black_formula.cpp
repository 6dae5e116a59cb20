#include "black/black_formula.h"

#include <cmath>

#include "market/normal.h"

namespace lorvex {

double FlooredVolatility(double volatility) { return volatility > 0.0 ? volatility : 1e-6; }

double BlackFormula(double forward, double strike, double stdDev, double discount, bool isPut) {
  const double d1 = (std::log(forward / strike) + stdDev * stdDev / 2.0) / stdDev;
  const double d2 = d1 - stdDev;
  if (isPut) return discount * (strike * NormalCdf(-d2) - forward * NormalCdf(-d1));
  return discount * (forward * NormalCdf(d1) - strike * NormalCdf(d2));
}

}  // namespace lorvex
