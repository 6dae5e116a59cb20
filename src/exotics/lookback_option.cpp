#include "exotics/lookback_option.h"

#include <cmath>

#include "exotics/exotic_inputs.h"
#include "market/normal.h"

namespace lorvex {

double LookbackOption(double spot, double rate, double dividendYield, double sigma, double years,
                      double observedMax, double observedMin, OptionType type) {
  const bool isCall = type == OptionType::Call;
  if (rate == dividendYield) rate += kExoticSeparation;
  const double b = rate - dividendYield;
  const double v = sigma * std::sqrt(years);
  const double spotQ = spot * std::exp(-dividendYield * years);
  const double discount = std::exp(-rate * years);
  const double sigma2 = sigma * sigma;
  const double weight = sigma2 / (2.0 * b);

  if (isCall) {
    const double l = std::log(spot / observedMin);
    const double a1 = (l + b * years) / v + v / 2.0;
    const double reflection = std::pow(spot / observedMin, -2.0 * (b - sigma2 / 2.0) / sigma2);
    return spotQ * NormalCdf(a1) - observedMin * discount * NormalCdf(a1 - v) +
           weight * (observedMin * discount * reflection *
                         NormalCdf(-((l - b * years) / v + v / 2.0)) -
                     spotQ * NormalCdf(-a1));
  }
  const double l = std::log(observedMax / spot);
  const double e1 = (l - b * years) / v + v / 2.0;
  const double reflection = std::pow(observedMax / spot, 2.0 * (b - sigma2 / 2.0) / sigma2);
  return observedMax * discount * NormalCdf(e1) - spotQ * NormalCdf(e1 - v) +
         weight * (spotQ * NormalCdf(v - e1) -
                   observedMax * discount * reflection * NormalCdf(-((l + b * years) / v - v / 2.0)));
}

}  // namespace lorvex
