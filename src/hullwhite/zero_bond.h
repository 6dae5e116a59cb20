// Closed-form building blocks of the one-factor Hull-White short-rate model
// dr = (theta(t) - a r) dt + sigma dW, with theta fitted so that the model
// reproduces today's zero curve exactly (Hull & White 1990; Hull, "Options,
// Futures and Other Derivatives", the chapter on short-rate models: the
// bond price P(t,T) = A(t,T) exp(-B(t,T) r(t)) and the zero-bond option).
//
// Dates are Julian days carried as doubles; every year fraction is a day
// count times 1/365 measured from the valuation date t0, at which the curve
// is observed. R(x) is the curve's zero rate at date x (continuously
// compounded, actual/365), so the market discount factor to T is
// P_M(T) = exp(-R(T) (T - t0)/365). sigma is the absolute volatility of the
// short rate per square-root year, a the mean-reversion speed per year.
// Nothing here validates sigma or a: callers do.
#pragma once

#include "market/constants.h"  // kYearsPerDay: every day count becomes years through it

namespace lorvex {

class ZeroCurve;

// Mean reversion below which B and the variance term of A take their a -> 0
// limits (the general forms lose digits to cancellation there).
inline constexpr double kSmallMeanReversion = 0.0001;

// B(t,T) = (1 - exp(-a (T - t))) / a, or (T - t) in years when |a| < 1e-4.
double HullWhiteB(double t, double T, double a);

// A(t,T) of the fitted model, in the form that needs only the zero curve:
//   ln A = ln(P_M(T)/P_M(t)) + B(t,T) f(t) - sigma^2/(4a^3) (1-e^{-a(T-t)})^2 (1-e^{-2a t})
// with t, T in years from t0 and f(t) the instantaneous forward rate
// R(t) + t R'(t). The slope R' is a difference quotient over the days
// t-h .. t+1, h = one day (or t - t0 when that is shorter). For |a| < 1e-4
// the variance term is its limit sigma^2 (T-t)^2 t / 2.
double HullWhiteA(double t0, double t, double T, const ZeroCurve& curve, double sigma, double a);

// Price at date t of one unit paid at T when the short rate at t is r:
// A exp(-B r). At t = t0 the market discount factor P_M(T), whatever r is.
double HullWhiteZeroBondPrice(double r, double t0, double t, double T, const ZeroCurve& curve,
                              double sigma, double a);

// Value at t0 of a European option expiring at tc on the zero bond maturing
// at T, strike X per unit face (Jamshidian 1989):
//   call = P_M(T) N(d1) - X P_M(tc) N(d1 - sp),  d1 = ln(P_M(T)/(X P_M(tc)))/sp + sp/2,
//   put  = call + X P_M(tc) - P_M(T)   (put-call parity),
// with the bond-price volatility
//   sp = sigma sqrt((1 - e^{-2a tc})/(2a)) (1 - e^{-a(T - tc)})/a,  or sigma sqrt(tc) (T - tc) at a = 0.
// X = 0 gives P_M(T) for the call and 0 for the put; sp <= 1e-6 gives the
// intrinsic value max(+-(P_M(T) - X P_M(tc)), 0). isPut nonzero selects the put.
// N is NormalCdf, so values carry its absolute error of about 1e-7.
double HullWhiteZeroBondOption(double t0, double tc, double T, double X, const ZeroCurve& curve,
                               double sigma, double a, int isPut);

}  // namespace lorvex
