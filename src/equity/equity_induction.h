// The per-level arithmetic of the equity lattice, shared by the full tree
// (kept for display) and the pricing path that keeps one row of values.
// Both run these same functions on the same numbers, so their results agree
// to the last bit.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

#include "equity/equity_lattice.h"
#include "market/zero_curve.h"

namespace lorvex::detail {

// u^j for j = -N..N, each from the power function once: 2N + 1 calls instead
// of one per node, with the very same numbers. At(j) is u^j.
class UpPowers {
 public:
  UpPowers(double up, int steps) : steps_(steps) {
    const std::size_t count = 2 * static_cast<std::size_t>(steps) + 1;
    powers_.reset(new (std::nothrow) double[count]);
    if (!powers_) return;
    for (int j = -steps; j <= steps; ++j) powers_[static_cast<std::size_t>(j + steps)] = std::pow(up, j);
  }
  bool ok() const { return powers_ != nullptr; }
  // Pointer p with p[j] = u^j for -N <= j <= N.
  const double* Centre() const { return powers_.get() + steps_; }

 private:
  int steps_;
  std::unique_ptr<double[]> powers_;
};

struct LevelInputs {
  const EquityOptionTerms* terms;
  const EquityLattice* lattice;
  const double* upPower;  // UpPowers::Centre()
  double addOn;           // dividend add-on of this level
};

// Prices and exercise flags of a level are written only when kKeep is set.
template <bool kCall, bool kKeep>
void ExpiryLevel(int k, const LevelInputs& in, double* value, double* price,
                 std::uint8_t* exercised) {
  const double spot = in.terms->spot;
  const double strike = in.terms->strike;
  for (int m = 0; m <= k; ++m) {
    const double s = spot * in.upPower[2 * m - k] + in.addOn;
    double payoff = kCall ? s - strike : strike - s;
    if (payoff < 0.0) payoff = 0.0;
    value[m] = payoff;
    if constexpr (kKeep) {
      price[m] = s;
      exercised[m] = payoff > 0.0 ? 1 : 0;
    }
  }
}

// One step of backward induction: value[m] from next[m] (down) and
// next[m + 1] (up). value may be next itself: next[m] is read before
// value[m] is written and next[m + 1] is not yet overwritten.
template <bool kCall, bool kAmerican, bool kKeep>
void RollBackLevel(int k, const LevelInputs& in, const double* next, double* value, double* price,
                   std::uint8_t* exercised) {
  const double spot = in.terms->spot;
  const double strike = in.terms->strike;
  const double discount = in.lattice->discount;
  const double pUp = in.lattice->pUp;
  const double pDown = in.lattice->pDown;
  for (int m = 0; m <= k; ++m) {
    const double s = spot * in.upPower[2 * m - k] + in.addOn;
    const double continuation = discount * (pDown * next[m] + pUp * next[m + 1]);
    double v = continuation;
    std::uint8_t flag = 0;
    if constexpr (kAmerican) {
      double payoff = kCall ? s - strike : strike - s;
      if (payoff < 0.0) payoff = 0.0;
      // Early exercise only where it pays strictly more than holding on.
      if (payoff > continuation) {
        v = payoff;
        flag = 1;
      }
    }
    value[m] = v;
    if constexpr (kKeep) {
      price[m] = s;
      exercised[m] = flag;
    }
  }
}

// Sweeps the levels from expiry back to today. Rows supplies, per level k,
// Value(k) (k + 1 doubles), Next(k) (the k + 2 values of level k + 1),
// Keep(k), and Price(k), Exercised(k) where Keep(k) holds.
template <bool kCall, bool kAmerican, class Rows>
void Induct(const EquityOptionTerms& terms, const EquityLattice& lattice, const double* upPower,
            const ZeroCurve& dividends, Rows& rows) {
  const int n = terms.steps;
  LevelInputs in{&terms, &lattice, upPower, 0.0};
  for (int k = n; k >= 0; --k) {
    const double levelTime = static_cast<double>(k) * lattice.dt;
    in.addOn = terms.useDividends ? DividendAddOn(dividends, levelTime, terms.rate, terms.expiry) : 0.0;
    rows.SetAddOn(k, in.addOn);
    if (k == n) {
      if (rows.Keep(k)) {
        ExpiryLevel<kCall, true>(k, in, rows.Value(k), rows.Price(k), rows.Exercised(k));
      } else {
        ExpiryLevel<kCall, false>(k, in, rows.Value(k), nullptr, nullptr);
      }
    } else if (rows.Keep(k)) {
      RollBackLevel<kCall, kAmerican, true>(k, in, rows.Next(k), rows.Value(k), rows.Price(k),
                                            rows.Exercised(k));
    } else {
      RollBackLevel<kCall, kAmerican, false>(k, in, rows.Next(k), rows.Value(k), nullptr, nullptr);
    }
  }
}

template <class Rows>
void InductAny(const EquityOptionTerms& terms, const EquityLattice& lattice, const double* upPower,
               const ZeroCurve& dividends, Rows& rows) {
  const bool isAmerican = terms.exercise == Exercise::American;
  if (terms.type == OptionType::Call) {
    if (isAmerican) {
      Induct<true, true>(terms, lattice, upPower, dividends, rows);
    } else {
      Induct<true, false>(terms, lattice, upPower, dividends, rows);
    }
  } else if (isAmerican) {
    Induct<false, true>(terms, lattice, upPower, dividends, rows);
  } else {
    Induct<false, false>(terms, lattice, upPower, dividends, rows);
  }
}

}  // namespace lorvex::detail
