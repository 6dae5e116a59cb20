#include "exotics/average_price_option.h"

#include <cmath>

#include "exotics/exotic_inputs.h"
#include "market/black_formula.h"

namespace lorvex {
namespace {

// (e^x - 1) / x, 1 at x = 0, without the cancellation of the plain quotient
// for small x.
double GrowthFactor(double x) { return x == 0.0 ? 1.0 : std::expm1(x) / x; }

}  // namespace

double AveragePriceOption(double spot, double strike, double rate, double dividendYield, double sigma,
                          double remainingYears, double observedAverage, double elapsedYears,
                          OptionType type) {
  const bool isCall = type == OptionType::Call;
  const double t2 = remainingYears;
  const double wholePeriod = elapsedYears + t2;
  // Strike the remaining average has to beat for the whole average to beat X.
  const double adjustedStrike = (strike * wholePeriod - elapsedYears * observedAverage) / t2;

  if (adjustedStrike <= 0.0) {
    if (!isCall) return 0.0;
    // Expected integral of the price over the remaining period; at r = q it
    // is S T2, the limit of the general expression.
    const double expectedSum = spot * t2 * GrowthFactor((rate - dividendYield) * t2);
    return std::exp(-rate * t2) *
           ((expectedSum + elapsedYears * observedAverage) / wholePeriod - strike);
  }

  // The moment formulas divide by b.
  if (rate == dividendYield) dividendYield += kExoticSeparation;
  const double b = rate - dividendYield;
  const double sigma2 = sigma * sigma;
  const double m1 = (std::exp(b * t2) - 1.0) / (b * t2);
  const double m2 = 2.0 * std::exp((2.0 * b + sigma2) * t2) /
                        ((2.0 * b + sigma2) * (b + sigma2) * t2 * t2) +
                    (2.0 / (b * t2 * t2)) *
                        (1.0 / (2.0 * b + sigma2) - std::exp(b * t2) / (b + sigma2));
  const double carryA = std::log(m1) / t2;
  const double yieldA = rate - carryA;
  const double sigmaA = std::sqrt(std::log(m2) / t2 - 2.0 * carryA);

  const double root = sigmaA * std::sqrt(t2);
  const double d1 =
      (std::log(spot / adjustedStrike) + (carryA + sigmaA * sigmaA / 2.0) * t2) / root;
  const double spotA = spot * std::exp(-yieldA * t2);
  const double strikeR = adjustedStrike * std::exp(-rate * t2);
  const double share = t2 / wholePeriod;
  return share * BlackFromD1(spotA, strikeR, d1, root, isCall);
}

}  // namespace lorvex
