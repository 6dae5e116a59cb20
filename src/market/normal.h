// Standard normal cumulative distribution, five-term polynomial
// (Abramowitz & Stegun 26.2.17) with the density constant cut to seven
// digits. Absolute error below about 8.3e-8; NormalCdf(0) = 0.49999997596,
// not 0.5. Every closed-form pricer uses this one function, so all their
// results carry its error.
#pragma once

namespace lorvex {

double NormalCdf(double x);

}  // namespace lorvex
