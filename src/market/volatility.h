// The one floor every pricer puts under a volatility.
#pragma once

namespace lorvex {

// Volatility (per square-root year, or a total standard deviation) put in
// place of one that is not above 0.
inline constexpr double kVolatilityFloor = 1e-6;

// A volatility not above 0 - a NaN included - becomes kVolatilityFloor, so
// that a zero volatility prices the (discounted) intrinsic value instead of
// dividing by zero.
inline double FlooredVolatility(double volatility) {
  return volatility > 0.0 ? volatility : kVolatilityFloor;
}

}  // namespace lorvex
