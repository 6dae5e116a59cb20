#include "market/normal.h"

#include <cmath>

namespace lorvex {

double NormalCdf(double x) {
  const double a = std::fabs(x);
  const double k = 1.0 / (1.0 + 0.2316419 * a);
  const double density = 0.3989423 * std::exp(-a * a / 2.0);
  const double tail =
      density * (0.31938153 * k - 0.356563782 * k * k + 1.781477937 * k * k * k -
                 1.821255978 * k * k * k * k + 1.330274429 * k * k * k * k * k);
  return x < 0.0 ? tail : 1.0 - tail;
}

}  // namespace lorvex
