// Cox-Ross-Rubinstein lattice of a stock with a continuous dividend yield and
// discrete cash dividends (Cox, Ross & Rubinstein 1979; Hull, "Options,
// Futures and Other Derivatives", ch. 21, for the known-dividend add-on).
//
// The lattice moves only the dividend-free part of the stock price, which
// starts at the spot S: node (k, m) of level k = 0..N, m = 0..k (lowest price
// first) is at S * u^(2m - k). To each level's prices is added the present
// value, at the level's time, of the cash dividends falling within the option
// life T after that time. Times are in years, rates continuously compounded
// per year.
#pragma once

#include <cstdint>

#include "market/option_terms.h"

namespace lorvex {

class ZeroCurve;

// Trade and model terms shared by the pricing path and the full tree.
struct EquityOptionTerms {
  double spot;        // dividend-free part of the stock price today
  double strike;
  double rate;        // continuously compounded, per year
  double expiry;      // years
  double yield;       // continuous dividend yield, per year
  double volatility;  // per square-root year
  int steps;          // N
  Exercise exercise;
  OptionType type;
  bool useDividends;  // apply the cash dividends of the list

  EquityOptionTerms() = default;
  EquityOptionTerms(double spot_, double strike_, double rate_, double expiry_, double yield_,
                    double volatility_, int steps_, Exercise exercise_, OptionType type_, bool useDividends_)
      : spot(spot_),
        strike(strike_),
        rate(rate_),
        expiry(expiry_),
        yield(yield_),
        volatility(volatility_),
        steps(steps_),
        exercise(exercise_),
        type(type_),
        useDividends(useDividends_) {}
};

// Largest number of steps accepted. At 100,000 steps the discretisation error
// of an at-the-money option is already near 1e-5 on a price of 6, while the
// work grows as N^2 (100,000 steps take seconds); a mistyped 1e9 would
// otherwise run for days.
inline constexpr int kMaxEquitySteps = 100000;

// True when the terms describe a lattice this library builds: every number
// finite, 2 <= N <= kMaxEquitySteps (the Greeks read levels 1 and 2),
// T > 0, sigma > 0, spot and strike not below 0.
bool EquityTermsAccepted(const EquityOptionTerms& terms);

struct EquityLattice {
  double dt;        // years per step, T / N
  double up;        // u = exp(sigma sqrt(dt))
  double down;      // d = 1 / u
  double discount;  // exp(-r dt) per step
  double growth;    // exp((r - q) dt) per step
  double pUp;       // (growth - d) / (u - d); not clamped to [0, 1]
  double pDown;     // 1 - pUp, kept rather than recomputed at each node
  double highestPrice;  // S u^N, the dividend-free price of the top node at expiry

  // False when the numbers cannot carry a tree: a non-finite parameter, or
  // u and d equal in double precision (sigma sqrt(dt) below about 1e-16).
  // A top node whose price overflows still prices (a put is worth 0 there,
  // and the root value is checked); only a displayed tree refuses it.
  bool Usable() const;
};

EquityLattice MakeEquityLattice(const EquityOptionTerms& terms);

// Present value at levelTime of the dividends (x = years from today,
// y = cash amount) with 0 <= x - levelTime <= window, summed in ascending x.
// The window is the whole option life T at every level, so late levels also
// count dividends paid after expiry, up to T beyond the level's time.
double DividendAddOn(const ZeroCurve& dividends, double levelTime, double rate, double window);

}  // namespace lorvex
