#include "market/black_formula.h"

#include <cmath>

#include "market/normal.h"

namespace lorvex {

double BlackD1(double forward, double strike, double stdDev) {
  return std::log(forward / strike) / stdDev + stdDev / 2.0;
}

double BlackFromD1(double forward, double strike, double d1, double stdDev, bool isCall) {
  const double d2 = d1 - stdDev;
  if (isCall) return forward * NormalCdf(d1) - strike * NormalCdf(d2);
  return strike * NormalCdf(-d2) - forward * NormalCdf(-d1);
}

double BlackFormula(double forward, double strike, double stdDev, double discount, bool isPut) {
  // d1 keeps its own grouping here: (ln(F/K) + s^2/2) / s is not
  // BlackD1's ln(F/K)/s + s/2 to the last bit.
  const double d1 = (std::log(forward / strike) + stdDev * stdDev / 2.0) / stdDev;
  return discount * BlackFromD1(forward, strike, d1, stdDev, !isPut);
}

}  // namespace lorvex
