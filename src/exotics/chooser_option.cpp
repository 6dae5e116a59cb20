#include "exotics/chooser_option.h"

#include <cmath>

#include "market/normal.h"

namespace lorvex {

double ChooserOption(double spot, double strike, double rate, double dividendYield, double sigma,
                     double years, double chooseYears) {
  const double spotQ = spot * std::exp(-dividendYield * years);
  const double strikeR = strike * std::exp(-rate * years);
  const double v = sigma * std::sqrt(years);
  const double d1 = std::log(spotQ / strikeR) / v + v / 2.0;
  const double call = spotQ * NormalCdf(d1) - strikeR * NormalCdf(d1 - v);

  const double left = years - chooseYears;
  const double spotC = spot * std::exp(-dividendYield * chooseYears);
  const double strikeC =
      strike * std::exp(-(rate - dividendYield) * left) * std::exp(-rate * chooseYears);
  const double w = sigma * std::sqrt(chooseYears);
  const double y = std::log(spotC / strikeC) / w + w / 2.0;
  const double put =
      (strikeC * NormalCdf(w - y) - spotC * NormalCdf(-y)) * std::exp(-dividendYield * left);
  return call + put;
}

}  // namespace lorvex
