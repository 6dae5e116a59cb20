#include "exotics/compound_option.h"

#include <cmath>
#include <limits>

#include "exotics/bivariate_normal.h"
#include "exotics/exotic_inputs.h"
#include "market/black_formula.h"
#include "market/iteration.h"
#include "market/normal.h"

namespace lorvex {
namespace {

constexpr int kMaximumNewtonPasses = 27;
constexpr double kResidualTolerance = 0.000001;
constexpr double kLowestCriticalPrice = 0.01;
// Keeps the Newton step finite where the underlying's delta vanishes.
constexpr double kDeltaFloor = 0.00001;

// Stock price at T1 at which the underlying option (time tau left, forward
// factors g = e^(-q tau), hd = X2 e^(-r tau), f = sigma sqrt(tau)) is worth
// the compound strike. The step is applied even on the pass whose residual
// is already within tolerance.
double CriticalPrice(double spot, double compoundStrike, double g, double hd, double f,
                     bool underlyingIsCall) {
  const IterationResult search = Iterate(spot, kMaximumNewtonPasses, [&](double price) {
    const double d1 = std::log(g * price / hd) / f + f / 2.0;
    // The underlying's value at T1 less X1, and its delta kept off 0.
    const double residual = BlackFromD1(price * g, hd, d1, f, underlyingIsCall) - compoundStrike;
    double next = underlyingIsCall ? price - residual / (g * NormalCdf(d1) + kDeltaFloor)
                                   : price + residual / (g * NormalCdf(-d1) + kDeltaFloor);
    if (next < kLowestCriticalPrice) next = kLowestCriticalPrice;
    return IterationStep{
        next, std::fabs(residual) <= kResidualTolerance ? IterationStep::kDone : IterationStep::kContinue};
  });
  return search.point;
}

// Black-Scholes put with a dividend yield.
double EuropeanPut(double spot, double strike, double rate, double dividendYield, double sigma,
                   double years) {
  const double v = sigma * std::sqrt(years);
  const double d1 =
      (std::log(spot / strike) + (rate - dividendYield) * years) / v + v / 2.0;
  return BlackFromD1(spot * std::exp(-dividendYield * years), strike * std::exp(-rate * years), d1, v, false);
}

}  // namespace

CompoundValue CompoundOption(double spot, double compoundStrike, double underlyingStrike, double rate,
                             double dividendYield, double sigma, double t1, double t2, int underlyingKind,
                             OptionType type) {
  const bool isCall = type == OptionType::Call;
  if (t2 - t1 <= 0.0) t2 = t1 + kExoticSeparation;
  const double tau = t2 - t1;
  const double g = std::exp(-dividendYield * tau);
  const double hd = underlyingStrike * std::exp(-rate * tau);
  const double f = sigma * std::sqrt(tau);
  const bool underlyingIsCall = underlyingKind == kUnderlyingCall;

  // A put is worth at most its strike discounted to T1. When that is below
  // X1 nobody pays X1 for it, and selling it for X1 is certain: the put on
  // the put is then a forward sale, X1 at T1 against the put today.
  if (underlyingKind == kUnderlyingPut && hd < compoundStrike) {
    const double noSearch = std::numeric_limits<double>::quiet_NaN();
    if (isCall) return {0.0, noSearch};
    return {compoundStrike * std::exp(-rate * t1) -
                EuropeanPut(spot, underlyingStrike, rate, dividendYield, sigma, t2),
            noSearch};
  }

  const double critical = CriticalPrice(spot, compoundStrike, g, hd, f, underlyingIsCall);

  const double root1 = sigma * std::sqrt(t1);
  const double root2 = sigma * std::sqrt(t2);
  const double drift = rate - dividendYield + sigma * sigma / 2.0;
  const double y1 = (std::log(spot / critical) + drift * t1) / root1;
  const double y2 = y1 - root1;
  const double z1 = (std::log(spot / underlyingStrike) + drift * t2) / root2;
  const double z2 = z1 - root2;
  const double rho = std::sqrt(t1 / t2);

  const double spotQ = spot * std::exp(-dividendYield * t2);
  const double strikeR2 = underlyingStrike * std::exp(-rate * t2);
  const double strikeR1 = compoundStrike * std::exp(-rate * t1);

  double value = 0.0;
  if (underlyingIsCall && isCall) {
    value = spotQ * BivariateNormal(y1, z1, rho) - strikeR2 * BivariateNormal(y2, z2, rho) -
            strikeR1 * NormalCdf(y2);
  } else if (underlyingIsCall) {
    value = strikeR2 * BivariateNormal(-y2, z2, -rho) - spotQ * BivariateNormal(-y1, z1, -rho) +
            strikeR1 * NormalCdf(-y2);
  } else if (isCall) {
    value = strikeR2 * BivariateNormal(-y2, -z2, rho) - spotQ * BivariateNormal(-y1, -z1, rho) -
            strikeR1 * NormalCdf(-y2);
  } else {
    value = spotQ * BivariateNormal(y1, -z1, -rho) - strikeR2 * BivariateNormal(y2, -z2, -rho) +
            strikeR1 * NormalCdf(y2);
  }
  return {value, critical};
}

}  // namespace lorvex
