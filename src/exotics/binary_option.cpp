#include "exotics/binary_option.h"

#include <cmath>

#include "exotics/exotic_inputs.h"
#include "market/normal.h"

namespace lorvex {

double BinaryOption(double spot, double strike, double rate, double dividendYield, double sigma, double years,
                    double cashAmount, bool cashOrNothing, OptionType type) {
  const bool isCall = type == OptionType::Call;
  const double t = PositiveExoticYears(years);
  const double spotQ = spot * std::exp(-dividendYield * t);
  const double discount = std::exp(-rate * t);
  const double v = sigma * std::sqrt(t);
  const double d1 = std::log(spotQ / (strike * discount)) / v + v / 2.0;
  const double d2 = d1 - v;
  const double phi = isCall ? 1.0 : -1.0;
  if (cashOrNothing) return cashAmount * discount * NormalCdf(phi * d2);
  return spotQ * NormalCdf(phi * d1);
}

}  // namespace lorvex
