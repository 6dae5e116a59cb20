// Black's formula for a lognormal forward, shared by the Black pricers.
#pragma once

namespace lorvex {

// A volatility (annual, or total as sigma * sqrt(T)) that is not above 0 -
// a NaN included - is replaced by 1e-6, so that a zero volatility prices
// the discounted intrinsic value instead of dividing by zero.
double FlooredVolatility(double volatility);

// discount * (F N(d1) - K N(d2)) for a call, discount * (K N(-d2) - F N(-d1))
// for a put, with d1 = (ln(F/K) + s^2/2) / s, d2 = d1 - s, s = stdDev > 0 and
// N the library's NormalCdf. F and K must be positive.
double BlackFormula(double forward, double strike, double stdDev, double discount, bool isPut);

}  // namespace lorvex
