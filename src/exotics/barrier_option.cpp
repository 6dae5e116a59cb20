#include "exotics/barrier_option.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "exotics/exotic_inputs.h"
#include "market/normal.h"

namespace lorvex {
namespace {

// The powers (H/S)^(2 lambda) overflow for tiny volatilities; 500 keeps them
// finite for any barrier within a factor of about 2 of the spot.
constexpr double kMaximumLambda = 500.0;

struct BarrierTerms {
  double a, b, c, d;
};

BarrierTerms Terms(double spot, double strike, double rate, double years, double dividendYield,
                   double barrier, double sigma, bool isDown, bool isCall) {
  // Discounting uses the time as given; only the diffusion terms need a
  // positive time.
  const double spotQ = spot * std::exp(-dividendYield * years);
  const double strikeR = strike * std::exp(-rate * years);
  const double t = PositiveExoticYears(years);

  const double v = sigma * std::sqrt(t);
  const double carry = rate - dividendYield;
  const double mu = (carry - sigma * sigma / 2.0) / (sigma * sigma);
  const double lambda = mu + 1.0;

  const double x1 = std::log(spotQ / strikeR) / v + v / 2.0;
  const double x2 = std::log(spot / barrier) / v + lambda * v;
  const double y1 = std::log(barrier * barrier / (spot * strike)) / v + lambda * v;
  const double y2 = std::log(barrier / spot) / v + lambda * v;

  const double phi = isCall ? 1.0 : -1.0;
  const double eta = isDown ? 1.0 : -1.0;
  const double k = std::min(lambda, kMaximumLambda);
  const double ratio = barrier / spot;
  const double powerS = std::pow(ratio, 2.0 * k);
  const double powerX = std::pow(ratio, 2.0 * k - 2.0);

  // A and B are Black-Scholes forms in the discounted spot and strike (B's
  // d1 measured from the barrier), written phi (...): a worthless put is
  // -0 here, where BlackFromD1 gives +0, and the terms are returned as they
  // are.
  const auto plain = [&](double x) {
    return phi * (spotQ * NormalCdf(phi * x) - strikeR * NormalCdf(phi * (x - v)));
  };
  const auto reflected = [&](double y) {
    return phi * (spotQ * powerS * NormalCdf(eta * y) - strikeR * powerX * NormalCdf(eta * (y - v)));
  };
  return {plain(x1), plain(x2), reflected(y1), reflected(y2)};
}

}  // namespace

double BarrierOption(double spot, double strike, double rate, double years, double dividendYield,
                     double barrier, double sigma, int barrierType, OptionType type) {
  const bool isCall = type == OptionType::Call;
  if (barrierType < kUpAndIn || barrierType > kDownAndOut) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  const bool isDown = barrierType == kDownAndIn || barrierType == kDownAndOut;
  const BarrierTerms t =
      Terms(spot, strike, rate, years, dividendYield, barrier, sigma, isDown, isCall);
  // A spot at or beyond the barrier on its side has already touched it.
  const bool belowUp = spot < barrier;
  const bool aboveDown = spot > barrier;

  if (isCall) {
    if (barrier < strike) {
      switch (barrierType) {
        case kUpAndIn: return t.a;
        case kUpAndOut: return 0.0;
        case kDownAndIn: return aboveDown ? t.c : t.a;
        default: return aboveDown ? t.a - t.c : 0.0;
      }
    }
    switch (barrierType) {
      case kUpAndIn: return belowUp ? t.b - t.c + t.d : t.a;
      case kUpAndOut: return belowUp ? t.a - t.b + t.c - t.d : 0.0;
      case kDownAndIn: return aboveDown ? t.a - t.b + t.d : t.a;
      default: return aboveDown ? t.b - t.d : 0.0;
    }
  }
  if (barrier > strike) {
    switch (barrierType) {
      case kUpAndIn: return belowUp ? t.c : t.a;
      case kUpAndOut: return belowUp ? t.a - t.c : 0.0;
      case kDownAndIn: return t.a;
      default: return 0.0;
    }
  }
  switch (barrierType) {
    case kUpAndIn: return belowUp ? t.a - t.b + t.d : t.a;
    case kUpAndOut: return belowUp ? t.b - t.d : 0.0;
    case kDownAndIn: return aboveDown ? t.b - t.c + t.d : t.a;
    default: return aboveDown ? t.a - t.b + t.c - t.d : 0.0;
  }
}

}  // namespace lorvex
