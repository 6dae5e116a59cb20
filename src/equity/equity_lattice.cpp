#include "equity/equity_lattice.h"

#include <algorithm>
#include <cmath>

#include "market/zero_curve.h"

namespace lorvex {

bool EquityTermsAccepted(const EquityOptionTerms& t) {
  for (double v : {t.spot, t.strike, t.rate, t.expiry, t.yield, t.volatility}) {
    if (!std::isfinite(v)) return false;
  }
  // A stock price or a strike below 0 has no meaning: the exotics refuse
  // them too.
  return t.steps >= 2 && t.steps <= kMaxEquitySteps && t.expiry > 0.0 && t.volatility > 0.0 &&
         t.spot >= 0.0 && t.strike >= 0.0;
}

bool EquityLattice::Usable() const {
  for (double v : {dt, up, down, discount, growth, pUp, pDown}) {
    if (!std::isfinite(v)) return false;
  }
  return up > down;
}

EquityLattice MakeEquityLattice(const EquityOptionTerms& t) {
  EquityLattice l{};
  l.dt = t.expiry / t.steps;
  l.up = std::exp(t.volatility * std::sqrt(l.dt));
  l.down = 1.0 / l.up;
  l.discount = std::exp(-t.rate * l.dt);
  l.growth = std::exp((t.rate - t.yield) * l.dt);
  l.pUp = (l.growth - l.down) / (l.up - l.down);
  l.pDown = 1.0 - l.pUp;
  // The product the tree forms for its top node (UpPowers takes the same
  // power), so that a lattice whose prices overflow is refused before it is
  // built.
  l.highestPrice = t.spot * std::pow(l.up, t.steps);
  return l;
}

double DividendAddOn(const ZeroCurve& dividends, double levelTime, double rate, double window) {
  // The points are sorted by x and x - levelTime rounds monotonically in x,
  // so the dividends inside the window are one contiguous run: start at the
  // first with x - levelTime >= 0 and stop after the last within the window.
  // The sum and its order are those of a walk over the whole list.
  const CurvePoint* first = std::lower_bound(
      dividends.begin(), dividends.end(), levelTime,
      [](const CurvePoint& p, double t) { return p.x - t < 0.0; });
  double addOn = 0.0;
  for (const CurvePoint* p = first; p != dividends.end(); ++p) {
    const double tau = p->x - levelTime;
    if (tau > window) break;
    addOn += p->y * std::exp(-rate * tau);
  }
  return addOn;
}

}  // namespace lorvex
