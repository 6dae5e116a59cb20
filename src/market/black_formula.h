// Black's formula for a lognormal forward, shared by the Black pricers and
// the closed-form stock options (which pass the discounted spot and strike
// as forward and strike with a discount of 1).
#pragma once

namespace lorvex {

// A lognormal forward or strike has no room for a rate at or below 0; the
// Black rate pricers price such a rate as this.
inline constexpr double kLowestLognormalRate = 1e-6;

// d1 = ln(F/K)/s + s/2 for a total standard deviation s.
double BlackD1(double forward, double strike, double stdDev);

// F N(d1) - K N(d2) for a call, K N(-d2) - F N(-d1) for a put, d2 = d1 - s,
// undiscounted, for a d1 the caller has formed; N is the library's
// NormalCdf.
double BlackFromD1(double forward, double strike, double d1, double stdDev, bool isCall);

// discount * (F N(d1) - K N(d2)) for a call, discount * (K N(-d2) - F N(-d1))
// for a put, with d1 = (ln(F/K) + s^2/2) / s, d2 = d1 - s, s = stdDev > 0.
// F and K must be positive.
double BlackFormula(double forward, double strike, double stdDev, double discount, bool isPut);

}  // namespace lorvex
