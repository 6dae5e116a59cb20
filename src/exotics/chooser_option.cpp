#include "exotics/chooser_option.h"

#include <cmath>

#include "market/black_formula.h"

namespace lorvex {

double ChooserOption(double spot, double strike, double rate, double dividendYield, double sigma,
                     double years, double chooseYears) {
  const double spotQ = spot * std::exp(-dividendYield * years);
  const double strikeR = strike * std::exp(-rate * years);
  const double v = sigma * std::sqrt(years);
  const double call = BlackFromD1(spotQ, strikeR, BlackD1(spotQ, strikeR, v), v, true);

  const double left = years - chooseYears;
  const double spotC = spot * std::exp(-dividendYield * chooseYears);
  const double strikeC =
      strike * std::exp(-(rate - dividendYield) * left) * std::exp(-rate * chooseYears);
  const double w = sigma * std::sqrt(chooseYears);
  const double put =
      BlackFromD1(spotC, strikeC, BlackD1(spotC, strikeC, w), w, false) * std::exp(-dividendYield * left);
  return call + put;
}

}  // namespace lorvex
