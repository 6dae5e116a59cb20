// Cumulative bivariate standard normal distribution: the probability that
// two standard normal variables with correlation rho are at most a and b.
//
// Drezner (1978), "Computation of the bivariate normal integral", Math. Comp.
// 32: a 4 x 4-point Gauss-Hermite-type sum for a, b, rho all <= 0, and the
// usual reductions of the other sign cases to that one (Hull, Options,
// Futures and Other Derivatives, appendix on the bivariate normal). The
// one-dimensional terms use NormalCdf, so its 8.3e-8 error carries over.
// Measured against numerical integration of the exact distribution: within
// 8.2e-6 in absolute terms for |a|, |b| <= 3 at every correlation tried, from
// 0 to +-0.99999. Most of it is the four-point rule itself (the bare sum is
// 4.1e-6 from N(a) N(b) at rho = 0); the reductions add up to two sums.
#pragma once

namespace lorvex {

double BivariateNormal(double a, double b, double rho);

// The raw Drezner sum, valid for a <= 0, b <= 0, rho <= 0 only (exposed for
// tests: BivariateNormal(0, 0, 0) is (sum of the weights)^2 / pi).
double DreznerSum(double a, double b, double rho);

}  // namespace lorvex
